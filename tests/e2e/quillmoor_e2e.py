"""Drives the built viewer as a user would: a private copy of the run directory, the real program
under the X display, keys and clicks through xdotool, screenshots through ImageMagick's import, and a
polite close through a WM_DELETE_WINDOW message."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

RUN_DIR = os.environ.get("QUILLMOOR_RUN_DIR", os.getcwd())
CLOSE_WINDOW = os.environ.get("QUILLMOOR_CLOSE_WINDOW", "close_window")
TITLE = "Quillmoor - Orvenkast"
SKY = (0.5 * 255, 0.8 * 255, 0.92 * 255)


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

    def difference(self, other):
        """Mean absolute difference per channel, 0 to 255."""
        total = sum(abs(a - b) for a, b in zip(self.pixels, other.pixels))
        return total / float(len(self.pixels))


def close_to(colour, expected, tolerance=6):
    return all(abs(c - e) <= tolerance for c, e in zip(colour, expected))


def is_sky(colour):
    return close_to(colour, SKY)


class RunningProgram:
    """The viewer started in a private copy of the run directory."""

    def __init__(self, prepare=None, stdin=subprocess.DEVNULL):
        self.directory = tempfile.mkdtemp(prefix="quillmoor-e2e-")
        for entry in os.listdir(RUN_DIR):
            source = os.path.join(RUN_DIR, entry)
            target = os.path.join(self.directory, entry)
            if os.path.isdir(source):
                shutil.copytree(source, target)
            else:
                shutil.copy2(source, target)
        if prepare is not None:
            prepare(self.directory)
        self.stdout_path = os.path.join(self.directory, "stdout.txt")
        self.stderr_path = os.path.join(self.directory, "stderr.txt")
        environment = dict(os.environ, ALSOFT_DRIVERS="null")
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.process = subprocess.Popen(["./quillmoor"], cwd=self.directory, stdin=stdin,
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

    # --- input ---------------------------------------------------------------------------
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

    def cleanup(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.process.stdin is not None:
            self.process.stdin.close()
        shutil.rmtree(self.directory, ignore_errors=True)


class ProgramTestCase(unittest.TestCase):
    def start(self, prepare=None, stdin=subprocess.DEVNULL):
        program = RunningProgram(prepare, stdin)
        self.addCleanup(program.cleanup)
        return program
