"""A short scripted flight of the whole program, meant for a ThreadSanitizer build: it waits for
the initial build, strafes back and forth across the fine ring's cell boundary at x = 0 (the start
position sits on it), flies forward and back across z = 0 and turns the view with the right button
held, so that the Terrain thread runs several streaming passes while the main thread uploads and
draws. It checks that every leg ran a pass that rebuilt blocks, that the program ends with exit
status 0 when closed, and (through the harness) that it wrote no sanitizer report."""

import os
import time
import unittest

from quillmoor_e2e import ProgramTestCase

# The fine ring's cells are 100 world units and the camera flies 10 units a second from
# (0, 10, 10), on the cell boundary x = 0 and 10 units from z = 0: each leg below crosses one
# boundary (A leaves cell x = 0, D comes back, W crosses z = 0 forward and down, S back again).
# The view turns before W, 18 degrees right (0.15 degrees a pixel), so W still crosses z = 0.
LEGS = [("a", 1.5), ("d", 3.0), ("turn", 0.0), ("w", 3.0), ("s", 3.0)]
# Time allowed for a streaming pass to end (seconds); it waits for the main thread to upload every
# block it rebuilds.
PASS_TIMEOUT = 300
# A new thread seen in two samples 0.05 s apart ran while blocks were rebuilt (seconds): a pass
# that rebuilds 25 blocks lives 0.2 to 0.7 s under ThreadSanitizer here, and so may a block's own
# thread, while a pass with nothing to rebuild ends within a millisecond and starts no block.
REBUILDING_PASS_SECONDS = 0.04


class ThreadedFlight(ProgramTestCase):
    @staticmethod
    def tasks(program):
        try:
            return set(os.listdir("/proc/%d/task" % program.process.pid))
        except FileNotFoundError:
            return set()

    def watch(self, program, lifetimes, seconds=None, settled_count=None):
        """Records in lifetimes (thread id -> first and last time seen) the threads seen while
        watching: for `seconds`, or until the thread count has been back at `settled_count` for
        two seconds (the pass has ended)."""
        begun = time.time()
        settled_since = None
        while time.time() - begun < (seconds if seconds is not None else PASS_TIMEOUT):
            if program.process.poll() is not None:
                self.fail("the program ended during the flight, exit status %s"
                          % program.process.returncode)
            now = self.tasks(program)
            moment = time.time()
            for task in now:
                lifetimes[task] = (lifetimes.get(task, (moment, moment))[0], moment)
            if seconds is None:
                if len(now) != settled_count:
                    settled_since = None
                elif settled_since is None:
                    settled_since = moment
                elif moment - settled_since > 2.0:
                    return
            time.sleep(0.05)
        if seconds is None:
            self.fail("the threads did not settle within %d s" % PASS_TIMEOUT)

    def test_flight_across_cells_streams_the_rings(self):
        program = self.start()
        program.wait_for_window(timeout=300)
        program.wait_for_terrain(timeout=600)
        settled = program.wait_for_steady_thread_count(timeout=600)
        for key, seconds in LEGS:
            if key == "turn":
                program.drag_look(20, -5)
                continue
            before = self.tasks(program)
            lifetimes = {}
            program.key_down(key)
            try:
                self.watch(program, lifetimes, seconds=seconds)
            finally:
                program.key_up(key)
            self.watch(program, lifetimes, settled_count=settled)
            # Any move starts a pass on a new Terrain thread, which ends at once when the rings
            # still surround the camera. A pass that rebuilds blocks lives on while it waits for
            # each rebuilt block's upload.
            started = {task: last - first for task, (first, last) in lifetimes.items()
                       if task not in before}
            longest = max(started.values(), default=0.0)
            print("%s held %.1f s: %d threads started, the longest seen for %.1f s"
                  % (key, seconds, len(started), longest), flush=True)
            self.assertGreater(longest, REBUILDING_PASS_SECONDS,
                               "crossing a cell with %s rebuilt no blocks" % key)
        program.close()
        self.assertEqual(program.wait_for_exit(timeout=300), 0)


if __name__ == "__main__":
    unittest.main()
