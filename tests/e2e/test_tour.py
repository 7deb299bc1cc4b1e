"""The whole program toured as a user would, one control after another: flying, turning the view,
the lights, wire-frame, the frame-rate text, the menu, the music buttons and leaving. Each step is
judged from the screenshot's pixels or from the process, never from waiting alone."""

import time
import unittest

from quillmoor_e2e import (ABOUT_PAGE, MAIN_PAGE, TOP_ROW, ProgramTestCase, is_sky,
                           page_layout, shown_page, top_row_layout)


def scene_region(shot):
    """The middle of the picture: clear of the top row and of the frame-rate text."""
    return (0, 60, shot.width, shot.height - 120)


def brightness(shot):
    red, green, blue = shot.mean(*scene_region(shot))
    return (red + green + blue) / 3.0


def bluer_than(shot, reference):
    """Whether the blue channel grew by a larger factor than the red one since reference."""
    red, _, blue = shot.mean(*scene_region(shot))
    red0, _, blue0 = reference.mean(*scene_region(reference))
    return blue / max(blue0, 1.0) > red / max(red0, 1.0) + 0.2


def glow_around(shot, rect):
    """How blue the strip just below a button is: the hover glow is light blue."""
    red, green, blue = shot.mean(rect.left, rect.bottom + 1, rect.width, 4)
    return blue - red


class Tour(ProgramTestCase):
    def fly(self, program, key):
        region = scene_region(program.screenshot())
        before = program.wait_for_still_picture(region)
        program.key_down(key)
        try:
            program.wait_for_picture(
                lambda s: s.crop(*region).difference(before.crop(*region)) > 2.0, timeout=30)
        finally:
            program.key_up(key)

    def test_every_control(self):
        program = self.start()
        program.wait_for_window()
        start = program.wait_for_terrain()
        width, height = start.width, start.height
        region = scene_region(start)

        # W, S, A, D fly: the picture moves while each is held.
        for key in ("w", "s", "a", "d"):
            self.fly(program, key)

        # The right button held over the scene turns the view.
        before = program.wait_for_still_picture(region)
        program.drag_look(40, 0)
        program.wait_for_picture(lambda s: s.crop(*region).difference(before.crop(*region)) > 2.0)

        # Lights: Page Down leaves only the ambient light, Page Up adds the dim blue light,
        # and both pressed again bring the start lighting back.
        lit = program.wait_for_still_picture(region)
        program.key("Next")
        dark = program.wait_for_picture(lambda s: brightness(s) < 0.6 * brightness(lit))
        program.key("Prior")
        blue = program.wait_for_picture(
            lambda s: brightness(s) > 1.2 * brightness(dark) and bluer_than(s, dark))
        self.assertLess(brightness(blue), 0.6 * brightness(lit))
        program.key("Next")
        program.wait_for_picture(lambda s: brightness(s) > brightness(blue) + 10.0)
        program.key("Prior")
        program.wait_for_picture(lambda s: abs(brightness(s) - brightness(lit)) < 3.0)

        # F4: wire-frame shows the sky between the lines; again, the land is filled.
        filled_sky = lit.fraction(is_sky, *region)
        program.key("F4")
        program.wait_for_picture(lambda s: s.fraction(is_sky, *region) > filled_sky + 0.5)
        program.key("F4")
        program.wait_for_picture(lambda s: s.fraction(is_sky, *region) < filled_sky + 0.05)

        # F12 hides and shows the frame-rate text in the bottom-left corner.
        program.toggle_frame_rate_text_twice()

        # Escape walks the menu: open, About, About the Creator, back twice, Return to Program.
        main = page_layout(MAIN_PAGE, width, height)
        about = page_layout(ABOUT_PAGE, width, height)
        program.key("Escape")
        program.wait_for_picture(lambda s: shown_page(s) == "main")
        program.click(*main[1].centre())
        program.wait_for_picture(lambda s: shown_page(s) == "about")
        program.click(*about[1].centre())
        program.wait_for_picture(lambda s: shown_page(s) == "creator")
        program.key("Escape")
        program.wait_for_picture(lambda s: shown_page(s) == "about")
        program.key("Escape")
        program.wait_for_picture(lambda s: shown_page(s) == "main")
        program.click(*main[2].centre())
        program.wait_for_picture(lambda s: shown_page(s) is None and brightness(s) > 0.8 * brightness(lit))

        # The music buttons: Play starts the stream (its thread appears and the track is read),
        # Play/Pause again pauses it (reading stops), the volume buttons take their clicks.
        volume_down, play_pause, volume_up = top_row_layout(len(TOP_ROW), width)
        threads = program.wait_for_steady_thread_count()
        program.click(*play_pause.centre())
        self.assertTrue(program.wait_for_thread_count(threads + 1))
        self.assertTrue(self.track_read_advances(program), "the playing track is not being read")
        program.click(*play_pause.centre())
        self.assertTrue(self.track_read_stops(program), "the paused track is still being read")
        self.assertEqual(program.thread_count(), threads + 1)  # pausing keeps the stream's thread
        program.click(*play_pause.centre())
        self.assertTrue(self.track_read_advances(program), "the resumed track is not being read")
        for button in (volume_down, volume_up):
            program.click(*button.centre())
            program.wait_for_picture(lambda s: glow_around(s, button) > 20)

        # Exit Program ends the program with exit code 0.
        program.key("Escape")
        program.wait_for_picture(lambda s: shown_page(s) == "main")
        program.click(*main[0].centre())
        self.assertEqual(program.wait_for_exit(), 0)
        output = program.stdout()
        self.assertIn("OpenGL Ver.: ", output)
        self.assertNotIn("Error", output)

    @staticmethod
    def track_read_advances(program, timeout=30):
        first = program.read_position("mainmusic.ogg")
        deadline = time.time() + timeout
        while time.time() < deadline:
            time.sleep(0.5)
            if program.read_position("mainmusic.ogg") != first:
                return True
        return False

    @staticmethod
    def track_read_stops(program, timeout=30, quiet=3.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            first = program.read_position("mainmusic.ogg")
            time.sleep(quiet)
            if program.read_position("mainmusic.ogg") == first:
                return True
        return False


if __name__ == "__main__":
    unittest.main()
