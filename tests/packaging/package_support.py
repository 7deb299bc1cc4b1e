"""Shared by the package tests: where the package built by test_build.py lies, the project's
version, and unpacking the package into a scratch folder as a user without root would."""

import glob
import os
import re
import subprocess

SOURCE_DIR = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
RELEASE_DIR = os.environ["QUILLMOOR_PACKAGE_BUILD_DIR"]
PACKAGE_DIR = os.path.join(RELEASE_DIR, "packages")


def project_version():
    with open(os.path.join(SOURCE_DIR, "CMakeLists.txt")) as f:
        return re.search(r"project\(Quillmoor VERSION ([0-9.]+)", f.read()).group(1)


def only(pattern):
    """The one file in the package folder that matches pattern."""
    found = glob.glob(os.path.join(PACKAGE_DIR, pattern))
    if len(found) != 1:
        raise AssertionError("expected one %s in %s, found %r" % (pattern, PACKAGE_DIR, found))
    return found[0]


def debian_package():
    return only("*.deb")


def unpack(target):
    """Unpacks the Debian package into target, without installing it; returns target."""
    subprocess.run(["dpkg-deb", "-x", debian_package(), target], check=True)
    return target


def control_field(name):
    return subprocess.run(["dpkg-deb", "-f", debian_package(), name], check=True, capture_output=True,
                          text=True).stdout.strip()
