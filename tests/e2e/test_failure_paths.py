"""Start-up failures that the program survives: missing terrain images, a missing music track,
bad settings files, and a display server that resets between clients. Each gives its message,
the program still runs, and it ends with exit code 0. (No display and missing fonts are covered
with the application shell.)"""

import os
import subprocess
import time
import unittest

from quillmoor_e2e import TOP_ROW, ProgramTestCase, shown_page, top_row_layout

TERRAIN_IMAGES = ("snow.jpg", "rock.jpg", "grass.jpg", "dirt.jpg")
LOAD_MESSAGE = "Error loading image data!\n"
SIZE_MESSAGE = "Error loading textures for 3d texture! Different sizes!\n"
SETTINGS = "resources/config/settings.ini"


def removing(*paths):
    def prepare(directory):
        for path in paths:
            os.remove(os.path.join(directory, path))
    return prepare


def writing_settings(content):
    def prepare(directory):
        with open(os.path.join(directory, SETTINGS), "wb") as f:
            f.write(content)
    return prepare


class FailurePathCase(ProgramTestCase):
    def run_and_close(self, program):
        """The program runs: its window shows land, and the menu still opens and closes."""
        program.wait_for_window()
        program.wait_for_terrain()
        program.key("Escape")
        program.wait_for_picture(lambda s: shown_page(s) == "main")
        program.key("Escape")
        program.wait_for_picture(lambda s: shown_page(s) is None)
        program.close()
        self.assertEqual(program.wait_for_exit(), 0)
        self.assertNotIn("Game could not start", program.stdout())


class MissingTerrainImages(FailurePathCase):
    def test_each_missing_image_is_reported_and_the_land_is_still_drawn(self):
        # Any one file missing counts as 0 by 0, which no longer matches the others' size.
        for image in TERRAIN_IMAGES:
            with self.subTest(missing=image):
                program = self.start(removing("Resources/Textures/Terrain/" + image))
                self.run_and_close(program)
                output = program.stdout()
                self.assertEqual(output.count(LOAD_MESSAGE), 1, output)
                self.assertEqual(output.count(SIZE_MESSAGE), 1, output)
                self.assertLess(output.index(LOAD_MESSAGE), output.index(SIZE_MESSAGE))

    def test_all_images_missing_give_four_messages_and_no_size_message(self):
        program = self.start(removing(*["Resources/Textures/Terrain/" + i for i in TERRAIN_IMAGES]))
        self.run_and_close(program)
        output = program.stdout()
        self.assertEqual(output.count(LOAD_MESSAGE), 4, output)
        self.assertNotIn(SIZE_MESSAGE, output)


class MissingMusic(FailurePathCase):
    def test_missing_track_is_reported_and_play_pause_does_no_harm(self):
        program = self.start(removing("resources/music/mainmusic.ogg"))
        program.wait_for_window()
        program.wait_for_terrain()
        self.assertEqual(program.stdout().count("Error opening background music!\n"), 1)
        threads = program.wait_for_steady_thread_count()
        play_pause = top_row_layout(len(TOP_ROW), program.geometry()[0])[1]
        for _ in range(3):
            program.click(*play_pause.centre())
        # Nothing to stream: no streaming thread starts, and the program goes on working.
        self.assertEqual(program.wait_for_steady_thread_count(), threads)
        self.run_and_close(program)


class BadSettings(FailurePathCase):
    CASES = [
        # (what, file content, expected message or None, expected window size)
        ("garbage bytes", bytes(range(256)) * 8, "Invalid header", (800, 600)),
        ("wrong header, keys still read", b"[Settings]\nwindowed_width 1024\nwindowed_height 768\n",
         "Invalid header", (1024, 768)),
        ("number beyond 32 bits stops the reading",
         b"[settings]\nwindowed_width 99999999999\nwindowed_height 700\n", None, (800, 600)),
        ("huge sizes, antialiasing and frame-rate limit",
         b"[settings]\nwindowed_width 2000000000\nwindowed_height 2000000000\n"
         b"AA_level 2000000000\nframerate_limit 2000000000\n",
         "Window size 2000000000 by 2000000000 cannot be opened; using 800 by 600.\n", (800, 600)),
    ]

    def test_bad_files_give_their_message_and_a_window(self):
        for what, content, message, size in self.CASES:
            with self.subTest(what):
                program = self.start(writing_settings(content))
                program.wait_for_window()
                self.assertTrue(program.wait_for_output("OpenGL Ver.: "))
                self.assertEqual(program.geometry(), size)
                output = program.stdout()
                if message is None:
                    self.assertNotIn("settings.ini", output)
                else:
                    self.assertEqual(output.count(message), 1, output)
                self.run_and_close(program)


class ResettingDisplayServer(ProgramTestCase):
    """A display server whose only client leaves resets itself and refuses connections for a
    moment; the program must not lose the display between its own check and its window."""

    def start_server(self):
        for number in range(141, 190):
            if os.path.exists("/tmp/.X%d-lock" % number):
                continue
            server = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1280x1024x24",
                                       "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
            display = ":%d" % number
            for _ in range(100):
                if server.poll() is not None:
                    break
                if subprocess.run(["xdpyinfo", "-display", display], capture_output=True).returncode == 0:
                    self.addCleanup(lambda: (server.kill(), server.wait()))
                    return display
                time.sleep(0.1)
            if server.poll() is None:
                server.kill()
            server.wait()
        self.skipTest("no free display number for a private server")

    def test_start_right_after_another_client_left(self):
        display = self.start_server()
        saved = os.environ.get("DISPLAY")
        os.environ["DISPLAY"] = display
        try:
            for _ in range(3):
                # The probe is the server's only client; its leaving starts a reset.
                subprocess.run(["xdpyinfo"], capture_output=True, check=True)
                program = self.start()
                program.wait_for_window()
                self.assertTrue(program.wait_for_output("OpenGL Ver.: "))
                program.close()
                self.assertEqual(program.wait_for_exit(), 0, program.stderr())
                program.cleanup()
        finally:
            if saved is None:
                del os.environ["DISPLAY"]
            else:
                os.environ["DISPLAY"] = saved


if __name__ == "__main__":
    unittest.main()
