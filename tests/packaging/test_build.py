"""The package builds from a clean tree with one command, which prints the package's path last."""

import os
import shutil
import subprocess
import unittest

from package_support import PACKAGE_DIR, RELEASE_DIR, SOURCE_DIR, only, project_version


class BuildFromCleanTree(unittest.TestCase):
    def test_package_script_builds_the_deb_and_the_tarball(self):
        shutil.rmtree(RELEASE_DIR, ignore_errors=True)
        environment = dict(os.environ, QUILLMOOR_RELEASE_DIR=RELEASE_DIR)
        result = subprocess.run([os.path.join(SOURCE_DIR, "scripts", "package.sh")], env=environment,
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stderr[-3000:])
        last_line = result.stdout.strip().splitlines()[-1]
        version = project_version()
        architecture = subprocess.run(["dpkg", "--print-architecture"], capture_output=True,
                                      text=True).stdout.strip()
        self.assertEqual(last_line, os.path.join(PACKAGE_DIR, "quillmoor_%s_%s.deb" % (version, architecture)))
        self.assertTrue(os.path.isfile(last_line))
        self.assertTrue(only("quillmoor-%s-*.tar.gz" % version))


if __name__ == "__main__":
    unittest.main()
