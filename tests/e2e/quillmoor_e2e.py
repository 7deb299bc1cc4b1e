"""Drives the built viewer as a user would: a private copy of the run directory, the real program
under the X display, keys and clicks through xdotool, screenshots through ImageMagick's import, and a
polite close through a WM_DELETE_WINDOW message."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

RUN_DIR = os.environ.get("QUILLMOOR_RUN_DIR", os.getcwd())
CLOSE_WINDOW = os.environ.get("QUILLMOOR_CLOSE_WINDOW", "close_window")
TITLE = "Quillmoor - Orvenkast"
SKY = (0.5 * 255, 0.8 * 255, 0.92 * 255)
# The first line of any AddressSanitizer, LeakSanitizer, UndefinedBehaviorSanitizer or
# ThreadSanitizer report.
SANITIZER_REPORT = re.compile(r"^(==\d+==)?(ERROR|WARNING): \w*Sanitizer|runtime error: ", re.MULTILINE)


class Screenshot:
    """An RGB picture of a window, read from a binary PPM."""

    def __init__(self, data):
        parts = []
        index = 0
        while len(parts) < 4:
            while data[index:index + 1].isspace():
                index += 1
            if data[index:index + 1] == b"#":
                index = data.index(b"\n", index)
                continue
            end = index
            while not data[end:end + 1].isspace():
                end += 1
            parts.append(data[index:end])
            index = end
        index += 1
        if parts[0] != b"P6" or int(parts[3]) not in (255, 65535):
            raise ValueError("not a binary PPM of 8 or 16 bits per channel")
        self.width = int(parts[1])
        self.height = int(parts[2])
        count = self.width * self.height * 3
        if int(parts[3]) == 255:
            self.pixels = data[index:index + count]
        else:
            # Big-endian 16-bit samples: keep the high byte of each.
            self.pixels = data[index:index + 2 * count:2]

    def pixel(self, x, y):
        """Colour at (x, y) with y measured from the top edge."""
        offset = (y * self.width + x) * 3
        return tuple(self.pixels[offset:offset + 3])

    def region(self, left, top, width, height):
        return [self.pixel(x, y) for y in range(top, top + height) for x in range(left, left + width)]

    def fraction(self, predicate, left=0, top=0, width=None, height=None):
        width = self.width - left if width is None else width
        height = self.height - top if height is None else height
        pixels = self.region(left, top, width, height)
        return sum(1 for p in pixels if predicate(p)) / float(len(pixels))

    def mean(self, left=0, top=0, width=None, height=None):
        width = self.width - left if width is None else width
        height = self.height - top if height is None else height
        pixels = self.region(left, top, width, height)
        return tuple(sum(p[i] for p in pixels) / float(len(pixels)) for i in range(3))

    def crop(self, left, top, width, height):
        """A new screenshot of the given part of this one."""
        part = Screenshot.__new__(Screenshot)
        part.width, part.height = width, height
        part.pixels = b"".join(self.pixels[((y * self.width) + left) * 3:((y * self.width) + left + width) * 3]
                               for y in range(top, top + height))
        return part

    def difference(self, other):
        """Mean absolute difference per channel, 0 to 255."""
        total = sum(abs(a - b) for a, b in zip(self.pixels, other.pixels))
        return total / float(len(self.pixels))


def is_white(colour):
    """Text colour: labels, titles and the frame-rate text are drawn in white."""
    return min(colour) >= 200


def frame_rate_text_shown(shot):
    """White text in the bottom-left corner, where the frame-rate text sits 10 pixels in."""
    return shot.fraction(is_white, 8, shot.height - 30, 150, 22) > 0.01


def is_button_face(colour):
    """The upper edge of a button body: mid-grey, brighter than any menu background can be."""
    return max(colour) - min(colour) <= 8 and 105 <= colour[0] <= 140


def close_to(colour, expected, tolerance=6):
    return all(abs(c - e) <= tolerance for c, e in zip(colour, expected))


def is_sky(colour):
    return close_to(colour, SKY)


# --- menu layout ------------------------------------------------------------------------------
# Sizes the interface asks of its components, in pixels; a component whose label fits inside keeps
# exactly this size, which is the case for every label of our menu (the checks below would fail
# loudly otherwise: a body found elsewhere than computed).
TOP_ROW_GAP = 5
TOP_ROW_SIZE = (100, 25)
PAGE_BUTTON_SIZE = (200, 30)
PAGE_GAP = 10
TEXT_FIELD_SIZE = (400, 200)

BUTTON = "button"
FIELD = "field"
# Entries from the bottom of the page upwards.
MAIN_PAGE = (BUTTON, BUTTON, BUTTON)   # "Exit Program", "About", "Return to Program"
ABOUT_PAGE = (BUTTON, BUTTON, FIELD)   # "Back", "About the Creator", the credits
CREATOR_PAGE = (BUTTON, FIELD)         # "Back", the author paragraph
PAGES = {"main": MAIN_PAGE, "about": ABOUT_PAGE, "creator": CREATOR_PAGE}
TOP_ROW = ("Vol -", "Play/Pause", "Vol +")


class Rect:
    """A window rectangle in screenshot coordinates: y measured from the top edge."""

    def __init__(self, left, top, width, height):
        self.left, self.top, self.width, self.height = left, top, width, height

    @property
    def right(self):
        return self.left + self.width

    @property
    def bottom(self):
        return self.top + self.height

    def centre(self):
        return self.left + self.width // 2, self.top + self.height // 2

    def __repr__(self):
        return "Rect(%d, %d, %d, %d)" % (self.left, self.top, self.width, self.height)


def page_layout(entries, width, height):
    """Rectangles of a page's entries, in list order: a column centred in the window, stacked from
    the bottom upwards with PAGE_GAP between entries and the whole column centred vertically."""
    sizes = [PAGE_BUTTON_SIZE if kind == BUTTON else TEXT_FIELD_SIZE for kind in entries]
    stack = sum(h for _, h in sizes) + PAGE_GAP * (len(sizes) - 1)
    y = (height - stack) // 2  # from the bottom edge
    rects = []
    for w, h in sizes:
        rects.append(Rect(width // 2 - w // 2, height - y - h, w, h))
        y += h + PAGE_GAP
    return rects


def top_row_layout(count, width):
    """Rectangles of the top row, left to right, centred and hanging TOP_ROW_GAP below the top."""
    w, h = TOP_ROW_SIZE
    row = count * w + TOP_ROW_GAP * (count - 1)
    x = (width - row) // 2
    return [Rect(x + i * (w + TOP_ROW_GAP), TOP_ROW_GAP, w, h) for i in range(count)]


def has_button_body(shot, rect):
    """Whether a button body fills rect: its top rows are the face colour across the width."""
    return shot.fraction(is_button_face, rect.left + 4, rect.top + 1, rect.width - 8, 2) > 0.9


def shown_page(shot):
    """Name of the menu page whose button bodies are all where the layout puts them, or None."""
    found = [name for name, entries in PAGES.items()
             if all(has_button_body(shot, rect)
                    for kind, rect in zip(entries, page_layout(entries, shot.width, shot.height))
                    if kind == BUTTON)]
    return found[0] if len(found) == 1 else None


def white_box(shot, rect):
    """Bounding box (left, top, right, bottom) of the white pixels inside rect, or None."""
    xs, ys = [], []
    for y in range(rect.top, rect.bottom):
        for x in range(rect.left, rect.right):
            if is_white(shot.pixel(x, y)):
                xs.append(x)
                ys.append(y)
    if not xs:
        return None
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def menu_background_error(shot, column=20):
    """How far one column of the picture is from an opaque vertical gradient that runs from a
    colour at the bottom edge to black at the top (largest channel error, 0 to 255)."""
    bottom = shot.pixel(column, shot.height - 1)
    worst = 0.0
    for row in range(0, shot.height, 16):
        expected = [c * (row + 0.5) / (shot.height - 0.5) for c in bottom]
        worst = max(worst, max(abs(a - e) for a, e in zip(shot.pixel(column, row), expected)))
    return worst


class RunningProgram:
    """The viewer started in a private copy of the run directory, or, given a command, that command
    (an installed launcher) started in a working directory of the caller's choosing. Console output
    and screenshots go to a private folder, removed at cleanup."""

    def __init__(self, prepare=None, stdin=subprocess.DEVNULL, command=None, cwd=None, environment=None):
        self.directory = tempfile.mkdtemp(prefix="quillmoor-e2e-")
        if command is None:
            for entry in os.listdir(RUN_DIR):
                source = os.path.join(RUN_DIR, entry)
                target = os.path.join(self.directory, entry)
                if os.path.isdir(source):
                    shutil.copytree(source, target)
                else:
                    shutil.copy2(source, target)
            if prepare is not None:
                prepare(self.directory)
            command, cwd = ["./quillmoor"], self.directory
        self.stdout_path = os.path.join(self.directory, "stdout.txt")
        self.stderr_path = os.path.join(self.directory, "stderr.txt")
        environment = dict(os.environ if environment is None else environment, ALSOFT_DRIVERS="null")
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.process = subprocess.Popen(command, cwd=cwd, stdin=stdin,
                                            stdout=out, stderr=err, env=environment)
        self.window = None

    # --- console -------------------------------------------------------------------------
    def stdout(self):
        with open(self.stdout_path, "r", errors="replace") as f:
            return f.read()

    def stderr(self):
        with open(self.stderr_path, "r", errors="replace") as f:
            return f.read()

    def wait_for_output(self, text, timeout=60):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if text in self.stdout():
                return True
            if self.process.poll() is not None:
                return text in self.stdout()
            time.sleep(0.1)
        return False

    # --- window --------------------------------------------------------------------------
    def wait_for_window(self, timeout=60):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.process.poll() is not None:
                raise AssertionError("the program ended before its window appeared:\n" + self.stdout())
            found = subprocess.run(["xdotool", "search", "--name", "^" + TITLE + "$"],
                                   capture_output=True, text=True)
            ids = found.stdout.split()
            if ids:
                self.window = ids[-1]
                # Keyboard input goes to the focused window; there is no window manager to focus it.
                subprocess.run(["xdotool", "windowfocus", "--sync", self.window], capture_output=True)
                return self.window
            time.sleep(0.2)
        raise AssertionError("no window titled %r appeared" % TITLE)

    def geometry(self):
        info = subprocess.run(["xdotool", "getwindowgeometry", self.window], capture_output=True,
                              text=True).stdout
        size = [line for line in info.splitlines() if "Geometry:" in line][0].split()[-1]
        width, height = size.split("x")
        return int(width), int(height)

    def screenshot(self):
        path = os.path.join(self.directory, "screenshot.ppm")
        subprocess.run(["import", "-silent", "-window", self.window, path], check=True,
                       capture_output=True)
        with open(path, "rb") as f:
            return Screenshot(f.read())

    def save_screenshot(self, path):
        subprocess.run(["import", "-silent", "-window", self.window, path], check=True)

    def wait_for_terrain(self, timeout=120):
        """Waits until the initial build has drawn terrain: the start view looks down, so the
        middle of the picture, sky until then, turns into lit land (neither sky nor the black of a
        window not drawn yet)."""
        def land(colour):
            return max(colour) > 40 and not is_sky(colour)
        return self.wait_for_picture(lambda s: s.fraction(land, 0, s.height // 4, s.width,
                                                          s.height // 2) > 0.5, timeout=timeout)

    def wait_for_still_picture(self, region, timeout=60):
        """Waits until two screenshots in a row agree inside region (left, top, width, height);
        returns the later one."""
        previous = self.screenshot()
        deadline = time.time() + timeout
        while time.time() < deadline:
            time.sleep(0.3)
            current = self.screenshot()
            if current.crop(*region).difference(previous.crop(*region)) < 0.2:
                return current
            previous = current
        raise AssertionError("the picture never settled")

    def wait_for_picture(self, predicate, timeout=60, interval=0.3):
        """Takes screenshots until one satisfies predicate; returns it (or fails)."""
        deadline = time.time() + timeout
        last = None
        while time.time() < deadline:
            last = self.screenshot()
            if predicate(last):
                return last
            time.sleep(interval)
        raise AssertionError("the picture never showed what was expected")

    # --- process -----------------------------------------------------------------------
    def thread_count(self):
        return len(os.listdir("/proc/%d/task" % self.process.pid))

    def wait_for_steady_thread_count(self, timeout=60):
        """The number of threads once it has stayed the same for a second (terrain passes start
        and end threads of their own)."""
        deadline = time.time() + timeout
        samples = []
        while time.time() < deadline:
            samples = (samples + [self.thread_count()])[-5:]
            if len(samples) == 5 and len(set(samples)) == 1:
                return samples[0]
            time.sleep(0.25)
        raise AssertionError("the thread count never settled: %r" % samples)

    def wait_for_thread_count(self, expected, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.thread_count() == expected:
                return True
            time.sleep(0.2)
        return self.thread_count() == expected

    def read_position(self, name):
        """Where the program is reading in the open file whose path ends with name, or None."""
        descriptors = "/proc/%d/fd" % self.process.pid
        for fd in os.listdir(descriptors):
            try:
                target = os.readlink(os.path.join(descriptors, fd))
            except OSError:
                continue
            if target.endswith(name):
                with open("/proc/%d/fdinfo/%s" % (self.process.pid, fd)) as info:
                    for line in info:
                        if line.startswith("pos:"):
                            return int(line.split()[1])
        return None

    # --- input ---------------------------------------------------------------------------
    def toggle_frame_rate_text_twice(self):
        """F12 hides the frame-rate text, F12 again shows it; each step judged from the picture."""
        self.wait_for_picture(frame_rate_text_shown)
        self.key("F12")
        self.wait_for_picture(lambda s: not frame_rate_text_shown(s))
        self.key("F12")
        self.wait_for_picture(frame_rate_text_shown)

    def key(self, *names):
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window], capture_output=True)
        subprocess.run(["xdotool", "key", "--delay", "60"] + list(names), check=True)

    def key_down(self, name):
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window], capture_output=True)
        subprocess.run(["xdotool", "keydown", name], check=True)

    def key_up(self, name):
        subprocess.run(["xdotool", "keyup", name], check=True)

    def move_mouse(self, x, y):
        """Moves the pointer to (x, y) in window coordinates, y measured from the top."""
        subprocess.run(["xdotool", "mousemove", "--window", self.window, str(x), str(y)], check=True)

    def click(self, x, y, button=1):
        self.move_mouse(x, y)
        time.sleep(0.15)
        subprocess.run(["xdotool", "mousedown", str(button)], check=True)
        time.sleep(0.15)
        subprocess.run(["xdotool", "mouseup", str(button)], check=True)
        time.sleep(0.15)

    def drag_look(self, dx, dy, steps=6):
        """Holds the right button over the scene and moves the mouse by (dx, dy) pixels per step
        (y down, as the window system counts), as a person turning the view would."""
        width, height = self.geometry()
        self.move_mouse(width // 2, height // 2)
        time.sleep(0.1)
        subprocess.run(["xdotool", "mousedown", "3"], check=True)
        time.sleep(0.2)
        for _ in range(steps):
            subprocess.run(["xdotool", "mousemove_relative", "--", str(dx), str(dy)], check=True)
            time.sleep(0.15)
        subprocess.run(["xdotool", "mouseup", "3"], check=True)
        time.sleep(0.2)

    # --- ending --------------------------------------------------------------------------
    def close(self):
        subprocess.run([CLOSE_WINDOW, self.window], check=True)

    def wait_for_exit(self, timeout=60):
        return self.process.wait(timeout=timeout)

    def sanitizer_report(self):
        """The first sanitizer report on standard error (from its first line on), or None. Only a
        program built with a sanitizer writes one; every report counts as a failure."""
        text = self.stderr()
        found = SANITIZER_REPORT.search(text)
        return None if found is None else text[found.start():]

    def cleanup(self):
        """Ends the program if it still runs, removes its directory, and fails when the program
        wrote a sanitizer report. Safe to call more than once."""
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.process.stdin is not None:
            self.process.stdin.close()
        if self.directory is None:
            return
        try:
            report = self.sanitizer_report()
        finally:
            shutil.rmtree(self.directory, ignore_errors=True)
            self.directory = None
        if report is not None:
            raise AssertionError("sanitizer report from the program (exit status %s):\n%s"
                                 % (self.process.returncode, report))


class ProgramTestCase(unittest.TestCase):
    def start(self, prepare=None, stdin=subprocess.DEVNULL, **launch):
        program = RunningProgram(prepare, stdin, **launch)
        self.addCleanup(program.cleanup)
        return program
