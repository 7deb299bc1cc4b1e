"""The in-window menu as a user meets it: Escape opens it over an opaque gradient, the pages are
walked with clicks and Escape, "Return to Program" closes it, "Play/Pause" starts the music and
"Exit Program" ends the program. Every step is judged from the screenshot or the process."""

import os
import tempfile
import unittest

from quillmoor_e2e import (ABOUT_PAGE, CREATOR_PAGE, MAIN_PAGE, TOP_ROW, ProgramTestCase, Rect,
                           has_button_body, is_sky, is_white, menu_background_error, page_layout,
                           shown_page, top_row_layout, white_box)

SCREENSHOT_DIR = os.environ.get("QUILLMOOR_SCREENSHOT_DIR", tempfile.gettempdir())


def menu_closed(shot):
    """The scene is back: no page shows and the top row hangs from the top edge."""
    return (shown_page(shot) is None and
            all(has_button_body(shot, rect) for rect in top_row_layout(len(TOP_ROW), shot.width)))


class Menu(ProgramTestCase):
    def save(self, program, name):
        path = os.path.join(SCREENSHOT_DIR, "quillmoor-menu-%s.png" % name)
        program.save_screenshot(path)
        return path

    def assert_labels_centred(self, shot, entries):
        for kind, rect in zip(entries, page_layout(entries, shot.width, shot.height)):
            if kind != "button":
                continue
            box = white_box(shot, rect)
            self.assertIsNotNone(box, "no label on the button at %r" % rect)
            left, top, right, bottom = box
            self.assertGreater(left, rect.left)
            self.assertLess(right, rect.right)
            self.assertLessEqual(abs((left + right) / 2.0 - (rect.left + rect.right) / 2.0), 3.0, rect)
            self.assertLessEqual(abs((top + bottom) / 2.0 - (rect.top + rect.bottom) / 2.0), 4.0, rect)

    def assert_title_centred_above(self, shot, entries):
        highest = page_layout(entries, shot.width, shot.height)[-1]
        # The title stands above the page's top entry, clear of it.
        box = white_box(shot, Rect(0, 0, shot.width, highest.top - 2))
        self.assertIsNotNone(box, "no title above the page")
        left, top, right, bottom = box
        # The glyph box is centred from the pen position, so the ink sits right of the centre by
        # the first glyph's left bearing: a few pixels at the title size.
        self.assertLessEqual(abs((left + right) / 2.0 - shot.width / 2.0), 0.03 * (right - left))
        self.assertLess(bottom, highest.top)
        self.assertGreater(bottom - top, 30)  # the large title face, not the small one

    def assert_opaque_menu(self, shot):
        self.assertEqual(shot.fraction(is_sky), 0.0, "the scene shows through the menu")
        self.assertLess(menu_background_error(shot), 6.0)
        self.assertLessEqual(max(shot.pixel(20, 0)), 3)  # black at the top
        # The frame-rate text in the bottom-left corner is covered.
        self.assertEqual(shot.fraction(is_white, 8, shot.height - 30, 150, 22), 0.0)

    def test_walk_the_menu_and_leave(self):
        program = self.start()
        program.wait_for_window()
        program.wait_for_terrain()
        width, height = program.geometry()
        main = page_layout(MAIN_PAGE, width, height)
        about = page_layout(ABOUT_PAGE, width, height)
        top_row = top_row_layout(len(TOP_ROW), width)

        program.key("Escape")
        shot = program.wait_for_picture(lambda s: shown_page(s) == "main")
        self.assert_opaque_menu(shot)
        self.assert_labels_centred(shot, MAIN_PAGE)
        self.assert_title_centred_above(shot, MAIN_PAGE)
        self.assertFalse(any(has_button_body(shot, rect) for rect in top_row))  # hidden while open
        self.save(program, "main")

        program.click(*main[1].centre())  # "About"
        shot = program.wait_for_picture(lambda s: shown_page(s) == "about")
        self.assert_opaque_menu(shot)
        self.assert_labels_centred(shot, ABOUT_PAGE)
        self.assert_title_centred_above(shot, ABOUT_PAGE)
        self.save(program, "about")

        program.click(*about[1].centre())  # "About the Creator"
        shot = program.wait_for_picture(lambda s: shown_page(s) == "creator")
        self.assert_labels_centred(shot, CREATOR_PAGE)
        self.assert_title_centred_above(shot, CREATOR_PAGE)
        self.save(program, "creator")

        program.key("Escape")
        program.wait_for_picture(lambda s: shown_page(s) == "about")
        program.key("Escape")
        program.wait_for_picture(lambda s: shown_page(s) == "main")

        program.click(*main[2].centre())  # "Return to Program"
        shot = program.wait_for_picture(menu_closed)
        self.assertGreater(menu_background_error(shot), 6.0)  # the scene, not the gradient
        self.save(program, "closed")

        # Play/Pause starts the stream: the audio library adds its streaming thread.
        threads = program.wait_for_steady_thread_count()
        program.click(*top_row[1].centre())
        self.assertTrue(program.wait_for_thread_count(threads + 1),
                        "no streaming thread after Play: %d threads" % program.thread_count())

        program.key("Escape")
        program.wait_for_picture(lambda s: shown_page(s) == "main")
        program.click(*main[0].centre())  # "Exit Program"
        self.assertEqual(program.wait_for_exit(), 0)
        self.assertNotIn("Game could not start", program.stdout())


if __name__ == "__main__":
    unittest.main()
