"""What the Debian package holds and says about itself, and what Debian's own checkers make of it:
control fields, the file list against the build's run directory, lintian, the desktop entry, the
AppStream metadata, the icons and the man page."""

import configparser
import os
import re
import shutil
import subprocess
import tarfile
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

from package_support import RELEASE_DIR, control_field, debian_package, only, project_version, unpack

APP_ID = "org.quillmoor.Quillmoor"
ICON_SIZES = (48, 128, 256)


def package_files():
    """Paths of the regular files and links in the package, without the leading './'."""
    listing = subprocess.run(["dpkg-deb", "--contents", debian_package()], check=True, capture_output=True,
                             text=True).stdout
    return {line.split()[-1][2:] for line in listing.splitlines() if not line.startswith("d")}


def depends_packages():
    """Package names in Depends, alternatives included, without version constraints."""
    return {re.sub(r"\s*\(.*\)", "", choice).strip()
            for entry in control_field("Depends").split(",") for choice in entry.split("|")}


def owning_package(soname):
    """The installed Debian package that provides the shared library soname."""
    cache = subprocess.run(["ldconfig", "-p"], check=True, capture_output=True, text=True).stdout
    paths = [line.split(" => ")[-1] for line in cache.splitlines() if line.strip().startswith(soname + " ")]
    for path in paths:
        for candidate in (path, os.path.realpath(path)):
            found = subprocess.run(["dpkg", "-S", candidate], capture_output=True, text=True)
            if found.returncode == 0:
                return found.stdout.split(":")[0]
    raise AssertionError("no installed package provides " + soname)


def setUpModule():
    global ROOT
    ROOT = unpack(tempfile.mkdtemp(prefix="quillmoor-contents-"))


def tearDownModule():
    shutil.rmtree(ROOT, ignore_errors=True)


class ControlFields(unittest.TestCase):
    def test_metadata_as_debian_users_expect(self):
        self.assertEqual(control_field("Package"), "quillmoor")
        self.assertEqual(control_field("Version"), project_version())
        self.assertIn(control_field("Section"), ("graphics", "games"))
        self.assertIn("Quillmoor", control_field("Maintainer"))
        summary, _, long_description = control_field("Description").partition("\n")
        self.assertIn("landscape", summary)
        self.assertGreater(len(long_description.split()), 20)

    def test_depends_names_every_runtime_library_the_executable_needs(self):
        depends = depends_packages()
        for expected in ("libsfml-graphics2.5", "libsfml-window2.5", "libsfml-audio2.5", "libsfml-system2.5",
                         "libftgl2", "libglew2.2", "libnoise0", "libglu1-mesa", "libopengl0"):
            self.assertIn(expected, depends)
        # Whatever the executable is linked against (Imath only if it is more than inline code) must
        # come with the package: each needed library's package is in Depends.
        dynamic = subprocess.run(["readelf", "-d", os.path.join(ROOT, "usr/libexec/quillmoor/quillmoor")],
                                 check=True, capture_output=True, text=True).stdout
        needed = re.findall(r"\(NEEDED\)\s+Shared library: \[(.+?)\]", dynamic)
        self.assertIn("libsfml-graphics.so.2.5", needed)
        for soname in needed:
            self.assertIn(owning_package(soname), depends, soname)


    def test_apt_would_install_it_with_this_machines_libraries(self):
        # A simulation: it resolves Depends as a real install would, without changing the machine.
        result = subprocess.run(["apt-get", "install", "--simulate", debian_package()], capture_output=True,
                                text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("Inst quillmoor (%s" % project_version(), result.stdout)


class Files(unittest.TestCase):
    def test_package_holds_launcher_program_resources_and_desktop_files(self):
        files = package_files()
        expected = {"usr/bin/quillmoor", "usr/libexec/quillmoor/quillmoor",
                    "usr/share/applications/%s.desktop" % APP_ID,
                    "usr/share/metainfo/%s.metainfo.xml" % APP_ID,
                    "usr/share/man/man6/quillmoor.6.gz",
                    "usr/share/doc/quillmoor/copyright", "usr/share/doc/quillmoor/changelog.gz"}
        expected |= {"usr/share/icons/hicolor/%dx%d/apps/%s.png" % (size, size, APP_ID) for size in ICON_SIZES}
        # Every resource the build placed in the run directory, at the same relative path.
        run = os.path.join(RELEASE_DIR, "run")
        resources = {os.path.relpath(os.path.join(folder, name), run)
                     for top in ("resources", "Resources")
                     for folder, _, names in os.walk(os.path.join(run, top)) for name in names}
        self.assertEqual(len(resources), 8)
        expected |= {"usr/share/quillmoor/" + resource for resource in resources}
        self.assertEqual(expected - files, set())
        for program in ("usr/bin/quillmoor", "usr/libexec/quillmoor/quillmoor"):
            self.assertTrue(os.access(os.path.join(ROOT, program), os.X_OK), program)

    def test_tarball_holds_the_same_tree(self):
        with tarfile.open(only("quillmoor-*.tar.gz")) as archive:
            members = {member.name.split("/", 1)[1] for member in archive.getmembers()
                       if not member.isdir() and "/" in member.name}
        self.assertEqual(members, {name[len("usr/"):] for name in package_files()})


class Checkers(unittest.TestCase):
    def test_lintian_reports_no_errors(self):
        result = subprocess.run(["lintian", debian_package()], capture_output=True, text=True)
        errors = [line for line in result.stdout.splitlines() if line.startswith("E:")]
        self.assertEqual(errors, [])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_desktop_entry_is_valid_and_starts_the_launcher_with_an_installed_icon(self):
        path = os.path.join(ROOT, "usr/share/applications/%s.desktop" % APP_ID)
        result = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True)
        self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""))
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(path)
        section = entry["Desktop Entry"]
        self.assertEqual(section["Name"], "Quillmoor")
        self.assertEqual(section["Exec"], "quillmoor")
        self.assertEqual(section["Icon"], APP_ID)
        self.assertTrue(section["Comment"])
        self.assertIn("Graphics", section["Categories"].split(";"))

    def test_icons_are_square_pngs_of_their_size(self):
        for size in ICON_SIZES:
            path = os.path.join(ROOT, "usr/share/icons/hicolor/%dx%d/apps/%s.png" % (size, size, APP_ID))
            shape = subprocess.run(["identify", "-format", "%m %w %h", path], check=True, capture_output=True,
                                   text=True).stdout
            self.assertEqual(shape, "PNG %d %d" % (size, size))

    def test_metainfo_is_valid_with_description_screenshot_and_launchable(self):
        path = os.path.join(ROOT, "usr/share/metainfo/%s.metainfo.xml" % APP_ID)
        result = subprocess.run(["appstreamcli", "validate", "--no-net", path], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        component = ElementTree.parse(path).getroot()
        self.assertEqual(component.findtext("id"), APP_ID)
        self.assertEqual(component.findtext("launchable"), APP_ID + ".desktop")
        self.assertTrue(component.find("description/p").text.strip())
        self.assertTrue(component.findtext("screenshots/screenshot/image").startswith("https://"))
        self.assertEqual(component.find("releases/release").get("version"), project_version())

    def test_man_page_renders_without_warnings_and_covers_controls_settings_and_files(self):
        path = os.path.join(ROOT, "usr/share/man/man6/quillmoor.6.gz")
        for width in ("80", "120"):
            result = subprocess.run(["man", "--warnings", "-l", path], capture_output=True, text=True,
                                    env=dict(os.environ, MANWIDTH=width, LC_ALL="C.UTF-8"))
            self.assertEqual((result.returncode, result.stderr), (0, ""))
        page = re.sub(r"\s+", " ", result.stdout)
        for text in ("CONTROLS", "SETTINGS", "FILES", "Page Down", "F12", "Escape", "windowed_width",
                     "fullscreen_height", "AA_level", "framerate_limit", "$HOME/.local/share}/quillmoor/",
                     "XDG_DATA_HOME"):
            self.assertIn(text, page)


if __name__ == "__main__":
    unittest.main()
