"""The application shell as a user meets it: start, window, first frames, F12, flying, closing,
and the start-up failures."""

import os
import subprocess
import time
import unittest

from quillmoor_e2e import ProgramTestCase, is_sky


class StartAndClose(ProgramTestCase):
    def test_window_opens_with_settings_size_shows_sky_and_closes_cleanly(self):
        program = self.start()
        program.wait_for_window()
        self.assertTrue(program.wait_for_output("OpenGL Ver.: "))
        self.assertEqual(program.geometry(), (1024, 768))  # the committed settings file
        # The start view looks steeply down; turned up with the right button held, the sky colour
        # fills the top of the picture above the scene.
        time.sleep(0.5)
        program.drag_look(0, -80)
        shot = program.wait_for_picture(lambda s: s.fraction(is_sky, 0, 0, s.width, 100) > 0.9)
        self.assertLess(shot.fraction(is_sky, 0, shot.height - 150, shot.width, 100), 0.9)
        program.close()
        self.assertEqual(program.wait_for_exit(), 0)
        self.assertNotIn("Game could not start", program.stdout())

    def test_missing_settings_file_gives_default_window(self):
        program = self.start(lambda d: os.remove(os.path.join(d, "resources/config/settings.ini")))
        program.wait_for_window()
        self.assertTrue(program.wait_for_output("OpenGL Ver.: "))
        self.assertIn('Could not open "settings.ini"! Reverting to default settings.\n', program.stdout())
        self.assertEqual(program.geometry(), (800, 600))
        program.close()
        self.assertEqual(program.wait_for_exit(), 0)

    def test_unopenable_window_size_falls_back_with_one_line(self):
        def zero_width(directory):
            with open(os.path.join(directory, "resources/config/settings.ini"), "w") as f:
                f.write("[settings]\nwindowed_width 0\nwindowed_height -20\n")
        program = self.start(zero_width)
        program.wait_for_window()
        self.assertTrue(program.wait_for_output("OpenGL Ver.: "))
        self.assertIn("Window size 0 by -20 cannot be opened; using 800 by 600.\n", program.stdout())
        self.assertEqual(program.geometry(), (800, 600))
        program.close()
        self.assertEqual(program.wait_for_exit(), 0)


class Controls(ProgramTestCase):
    def test_f12_hides_and_shows_the_frame_rate_text(self):
        program = self.start()
        program.wait_for_window()
        program.toggle_frame_rate_text_twice()
        program.close()
        self.assertEqual(program.wait_for_exit(), 0)

    def test_holding_w_flies_the_camera(self):
        program = self.start()
        program.wait_for_window()
        time.sleep(1.0)
        before = program.screenshot()
        program.key_down("w")
        time.sleep(1.5)
        program.key_up("w")
        # Flying changes the view (terrain or sky cube edges move); poll until the picture differs.
        program.wait_for_picture(lambda s: s.difference(before) > 1.0, timeout=30)
        program.close()
        self.assertEqual(program.wait_for_exit(), 0)


class FailedStart(ProgramTestCase):
    def test_missing_fonts_report_once_and_exit_zero_without_waiting(self):
        def remove_fonts(directory):
            os.remove(os.path.join(directory, "resources/fonts/lacuna/LACURG__.TTF"))
            os.remove(os.path.join(directory, "resources/fonts/echolot/ECHOLOT_.TTF"))
        # Standard input is a pipe that stays open: only a terminal may make the program wait.
        program = self.start(remove_fonts, stdin=subprocess.PIPE)
        self.assertEqual(program.wait_for_exit(timeout=60), 0)
        output = program.stdout()
        self.assertEqual(output.count("Error: Could not initialize fonts!\n"), 1)
        self.assertIn("OpenGL Ver.: ", output)
        self.assertTrue(output.endswith("Game could not start...\n"), output)
        self.assertLess(output.index("Error: Could not initialize fonts!"), output.index("OpenGL Ver.: "))

    def test_no_display_reports_and_exits_zero(self):
        program = start_without_display(self)
        self.assertEqual(program.wait_for_exit(timeout=60), 0)
        output = program.stdout()
        self.assertIn("Error: Could not open a window: no display is available!\n", output)
        self.assertTrue(output.endswith("Game could not start...\n"), output)


def start_without_display(test):
    saved = os.environ.pop("DISPLAY", None)
    try:
        program = test.start()
    finally:
        if saved is not None:
            os.environ["DISPLAY"] = saved
    return program


if __name__ == "__main__":
    unittest.main()
