"""The installed launcher as a user meets it: the package unpacked into a scratch folder (any prefix
must work), `quillmoor` found on PATH and started from an unrelated folder with a scratch HOME, under
the X display. It prepares the per-user run folder, keeps the user's settings, and falls back to a
temporary folder with one line on standard error when the per-user folder cannot be made."""

import os
import shutil
import signal
import subprocess
import tempfile
import unittest

from package_support import unpack
from quillmoor_e2e import TITLE, ProgramTestCase

SETTINGS = "resources/config/settings.ini"
LINKED_FOLDERS = ("resources/fonts", "resources/music", "Resources")


def launcher_lines(text):
    return [line for line in text.splitlines() if line.startswith("quillmoor:")]


class Launcher(ProgramTestCase):
    def setUp(self):
        self.scratch = tempfile.mkdtemp(prefix="quillmoor-launcher-")
        self.addCleanup(shutil.rmtree, self.scratch, ignore_errors=True)
        self.home = self.folder("home")
        self.elsewhere = self.folder("elsewhere")  # the unrelated working directory

    def folder(self, name):
        path = os.path.join(self.scratch, name)
        os.makedirs(path)
        return path

    def environment(self, prefix, **changes):
        environment = dict(os.environ, HOME=self.home,
                           PATH=os.path.join(prefix, "usr/bin") + os.pathsep + os.environ["PATH"])
        environment.pop("XDG_DATA_HOME", None)
        environment.update(changes)
        return {name: value for name, value in environment.items() if value is not None}

    def run_to_close(self, prefix, **changes):
        """Starts `quillmoor` from the unrelated folder, waits for the window and the terrain,
        closes it politely; returns the program (exit status checked) and its window size."""
        program = self.start(command=["quillmoor"], cwd=self.elsewhere,
                             environment=self.environment(prefix, **changes))
        program.wait_for_window()
        program.wait_for_terrain()
        size = program.geometry()
        program.close()
        self.assertEqual(program.wait_for_exit(), 0, program.stdout() + program.stderr())
        return program, size

    def test_per_user_settings_are_made_once_kept_and_used(self):
        first_prefix = unpack(self.folder("first"))
        program, size = self.run_to_close(first_prefix)
        self.assertEqual(size, (1024, 768))  # the shipped settings
        self.assertEqual(launcher_lines(program.stderr()), [])
        user_dir = os.path.join(self.home, ".local/share/quillmoor")
        user_settings = os.path.join(user_dir, SETTINGS)
        with open(user_settings) as mine, open(os.path.join(first_prefix, "usr/share/quillmoor", SETTINGS)) as shipped:
            self.assertEqual(mine.read(), shipped.read())
        self.assertEqual(os.listdir(self.elsewhere), [])  # nothing written where it was started

        # The user edits the file; then the installation moves (an upgrade unpacks a new tree).
        with open(user_settings, "w") as f:
            f.write("[settings]\nwindowed_width 640\nwindowed_height 480\n")
        os.utime(user_settings, (1000000000, 1000000000))
        before = os.stat(user_settings)
        second_prefix = unpack(self.folder("second"))
        shutil.rmtree(first_prefix)
        program, size = self.run_to_close(second_prefix)
        self.assertEqual(size, (640, 480))
        after = os.stat(user_settings)
        self.assertEqual((after.st_mtime, after.st_size, after.st_ino), (before.st_mtime, before.st_size, before.st_ino))
        for folder in LINKED_FOLDERS:
            self.assertEqual(os.readlink(os.path.join(user_dir, folder)),
                             os.path.join(second_prefix, "usr/share/quillmoor", folder))

    def test_home_that_is_a_file_starts_from_a_temporary_folder_with_one_line(self):
        prefix = unpack(self.folder("prefix"))
        home_file = os.path.join(self.scratch, "not-a-folder")
        open(home_file, "w").close()
        temporary = self.folder("tmp")
        program, size = self.run_to_close(prefix, HOME=home_file, TMPDIR=temporary)
        self.assertEqual(size, (1024, 768))
        lines = launcher_lines(program.stderr())
        self.assertEqual(len(lines), 1, program.stderr())
        self.assertIn(home_file + "/.local/share/quillmoor", lines[0])
        self.assertIn("temporary folder", lines[0])
        self.assertEqual(os.listdir(temporary), [])  # the temporary run folder is gone

    def test_stopping_the_launcher_stops_the_program_and_removes_its_temporary_folder(self):
        prefix = unpack(self.folder("prefix"))
        temporary = self.folder("tmp")
        program = self.start(command=["quillmoor"], cwd=self.elsewhere,
                             environment=self.environment(prefix, HOME=None, TMPDIR=temporary))
        program.wait_for_window()
        self.assertEqual(len(os.listdir(temporary)), 1)
        # Without a per-user folder the launcher stays as the program's parent; a stop request to
        # it must reach the program too.
        program.process.send_signal(signal.SIGTERM)
        self.assertEqual(program.wait_for_exit(), 128 + signal.SIGTERM)
        search = subprocess.run(["xdotool", "search", "--name", "^" + TITLE + "$"], capture_output=True, text=True)
        self.assertEqual(search.stdout.split(), [])
        self.assertEqual(os.listdir(temporary), [])


class WhereTheRunFolderGoes(unittest.TestCase):
    """Without a display the program ends at once (exit status 0 after its message), which is
    enough to see where the launcher prepared the run folder."""

    def test_data_home_choice(self):
        scratch = tempfile.mkdtemp(prefix="quillmoor-launcher-")
        self.addCleanup(shutil.rmtree, scratch, ignore_errors=True)
        prefix = unpack(os.path.join(scratch, "prefix"))
        home = os.path.join(scratch, "home")
        data = os.path.join(scratch, "data")
        cases = [
            # (XDG_DATA_HOME, HOME, run folder expected, launcher lines expected)
            (data, home, os.path.join(data, "quillmoor"), 0),
            (None, home, os.path.join(home, ".local/share/quillmoor"), 0),
            ("relative/data", home, os.path.join(home, ".local/share/quillmoor"), 0),  # not absolute: ignored
            (None, None, None, 1),
        ]
        for xdg, home_value, expected, line_count in cases:
            with self.subTest(XDG_DATA_HOME=xdg, HOME=home_value):
                shutil.rmtree(home, ignore_errors=True)
                shutil.rmtree(data, ignore_errors=True)
                temporary = tempfile.mkdtemp(dir=scratch)
                environment = {"PATH": os.environ["PATH"], "TMPDIR": temporary, "ALSOFT_DRIVERS": "null"}
                if xdg is not None:
                    environment["XDG_DATA_HOME"] = xdg
                if home_value is not None:
                    environment["HOME"] = home_value
                result = subprocess.run([os.path.join(prefix, "usr/bin/quillmoor")], cwd=scratch, env=environment,
                                        stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=120)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertIn("no display is available", result.stdout)
                self.assertEqual(len(launcher_lines(result.stderr)), line_count, result.stderr)
                if expected is not None:
                    self.assertTrue(os.path.isfile(os.path.join(expected, SETTINGS)))
                self.assertEqual(os.listdir(temporary), [])


if __name__ == "__main__":
    unittest.main()
