"""A bounded storm of random input against the running viewer: bound and unbound keys, held keys,
clicks (often on where the menu's buttons, text fields and the top row are laid out), right-button
drags, wheel turns and window resizes down to 1 by 1 pixel. When a click on Exit Program ends the
program, it is started again. Fails on a start that never shows a window, an exit status other
than 0, a program that does not end when asked, or a sanitizer report on its standard error.

The seed is printed first; the same seed replays the same sequence of actions:
    python3 storm.py [--seconds 60] [--seed N]
(with QUILLMOOR_RUN_DIR and QUILLMOOR_CLOSE_WINDOW set as for the end-to-end tests)."""

import argparse
import random
import subprocess
import sys
import time

from quillmoor_e2e import (ABOUT_PAGE, CLOSE_WINDOW, CREATOR_PAGE, MAIN_PAGE, TOP_ROW,
                           RunningProgram, page_layout, top_row_layout)

# Keys the program acts on (flying, lights, wire-frame, frame-rate text, menu, typing), and keys
# it has no use for.
BOUND_KEYS = ["w", "s", "a", "d", "Next", "Prior", "F4", "F12", "Escape", "BackSpace"]
UNBOUND_KEYS = ["q", "z", "1", "KP_5", "space", "Return", "Tab", "F1", "F11", "Home", "Up",
                "shift+a", "ctrl+c", "alt+x", "Delete", "comma", "Menu"]
FLIGHT_KEYS = ["w", "s", "a", "d"]
# Window sizes the storm picks from besides random ones: the smallest, thin and flat ones.
EDGE_SIZES = [(1, 1), (1, 600), (800, 1), (2, 2), (10, 10), (1280, 1024)]


class Storm:
    def __init__(self, rng, log):
        self.rng = rng
        self.log = log
        self.program = None
        self.starts = 0
        self.actions = {}

    # --- the program ---------------------------------------------------------------------
    def start(self):
        self.program = RunningProgram()
        self.starts += 1
        self.program.wait_for_window(timeout=120)
        self.log("start %d: window %s" % (self.starts, self.program.window))

    def running(self):
        return self.program.process.poll() is None

    def finish(self, closed):
        """Checks how the program ended (cleanup raises on a sanitizer report)."""
        status = self.program.process.returncode
        self.program.cleanup()
        if status != 0:
            raise AssertionError("the program %s with exit status %s"
                                 % ("was closed and ended" if closed else "ended by itself", status))
        self.log("exit status 0 (%s)" % ("closed" if closed else "Exit Program"))

    def close(self):
        # The window is gone once the program has left its loop; a failed close is then harmless.
        subprocess.run([CLOSE_WINDOW, self.program.window], capture_output=True)
        try:
            self.program.wait_for_exit(timeout=120)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end within 120 s of being closed")
        self.finish(closed=True)

    # --- input -------------------------------------------------------------------------------
    def xdotool(self, *arguments):
        # The window may vanish between two commands (Exit Program); the caller checks the process.
        subprocess.run(["xdotool"] + [str(a) for a in arguments], capture_output=True)

    def size(self):
        try:
            return self.program.geometry()
        except (IndexError, ValueError):
            return 800, 600

    def target_point(self):
        """A point on a laid-out component of some page or the top row, or anywhere in the window."""
        width, height = self.size()
        rects = top_row_layout(len(TOP_ROW), width)
        for entries in (MAIN_PAGE, ABOUT_PAGE, CREATOR_PAGE):
            rects += page_layout(entries, width, height)
        if self.rng.random() < 0.7:
            rect = self.rng.choice(rects)
            return (rect.left + self.rng.randrange(max(rect.width, 1)),
                    rect.top + self.rng.randrange(max(rect.height, 1)))
        return self.rng.randrange(-5, width + 5), self.rng.randrange(-5, height + 5)

    def act(self):
        window = self.program.window
        kind = self.rng.choices(
            ["key", "hold", "click", "drag", "wheel", "resize", "menu"],
            weights=[30, 8, 30, 8, 8, 8, 8])[0]
        self.actions[kind] = self.actions.get(kind, 0) + 1
        if kind == "key":
            keys = BOUND_KEYS if self.rng.random() < 0.6 else UNBOUND_KEYS
            self.xdotool("key", "--delay", 20, self.rng.choice(keys))
        elif kind == "hold":
            key = self.rng.choice(FLIGHT_KEYS)
            self.xdotool("keydown", key)
            time.sleep(self.rng.uniform(0.1, 1.0))
            self.xdotool("keyup", key)
        elif kind == "click":
            x, y = self.target_point()
            button = self.rng.choice([1, 1, 1, 2, 3])
            self.xdotool("mousemove", "--window", window, x, y)
            self.xdotool("click", button)
        elif kind == "drag":
            x, y = self.target_point()
            self.xdotool("mousemove", "--window", window, x, y)
            self.xdotool("mousedown", 3)
            for _ in range(self.rng.randrange(1, 8)):
                self.xdotool("mousemove_relative", "--", self.rng.randrange(-60, 61),
                             self.rng.randrange(-60, 61))
                time.sleep(0.03)
            self.xdotool("mouseup", 3)
        elif kind == "wheel":
            x, y = self.target_point()
            self.xdotool("mousemove", "--window", window, x, y)
            self.xdotool("click", "--repeat", self.rng.randrange(1, 6), self.rng.choice([4, 5, 6, 7]))
        elif kind == "resize":
            if self.rng.random() < 0.5:
                width, height = self.rng.choice(EDGE_SIZES)
            else:
                width, height = self.rng.randrange(1, 1281), self.rng.randrange(1, 1025)
            self.xdotool("windowsize", window, width, height)
        else:
            # Escape opens the menu (or goes back); the click then lands on a page's entry,
            # Exit Program among them.
            self.xdotool("key", "Escape")
            time.sleep(0.1)
            x, y = self.target_point()
            self.xdotool("mousemove", "--window", window, x, y)
            self.xdotool("click", 1)
        time.sleep(self.rng.uniform(0.0, 0.15))

    def run(self, seconds):
        deadline = time.time() + seconds
        self.start()
        while time.time() < deadline:
            if not self.running():
                self.finish(closed=False)
                self.start()
                continue
            self.xdotool("windowfocus", self.program.window)
            self.act()
        if self.running():
            self.close()
        else:
            self.finish(closed=False)

    def release(self):
        """Lets go of any key or button a failure left held, and ends the program."""
        for key in FLIGHT_KEYS:
            self.xdotool("keyup", key)
        self.xdotool("mouseup", 3)
        if self.program is not None:
            try:
                self.program.cleanup()
            except AssertionError as error:
                print(error, file=sys.stderr)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seconds", type=float, default=60.0)
    parser.add_argument("--seed", type=int, default=None)
    options = parser.parse_args()
    seed = options.seed if options.seed is not None else random.SystemRandom().randrange(2 ** 32)
    print("storm seed %d (replay with --seed %d)" % (seed, seed), flush=True)
    begun = time.time()

    def log(text):
        print("[%6.1f s] %s" % (time.time() - begun, text), flush=True)

    storm = Storm(random.Random(seed), log)
    try:
        storm.run(options.seconds)
    except AssertionError as error:
        storm.release()
        print("storm FAILED (seed %d): %s" % (seed, error), flush=True)
        return 1
    print("storm passed (seed %d): %d starts, actions %s"
          % (seed, storm.starts, dict(sorted(storm.actions.items()))), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
