"""The installed and the packaged program: `cmake --install` into a temporary
prefix, the .tar.gz and the .deb unpacked, each run through a whole dialogue
through a pipe, exactly as the program of the build tree runs it.

Run as `install_test.py --binary BUILT_PROGRAM --build-dir BUILD_DIR`.
"""

import glob
import os
import subprocess
import sys
import tarfile
import tempfile

import kolm_e2e as e2e

BUILD_DIR = None

# Terms, warning, the code page step view with its first page chosen, the
# decimal point, then the five answers of the worked example.
WHOLE_DIALOGUE = b"1" + b"1" + b"2" + b"3" + b"1" + b"A\r2\rF\r2\rH\r"
REPORTS = ["kolm_subtotal.htm", "kolm_subtotal.txt"]
UTILITIES = ["cmd.exe", "find.exe", "sort.exe"]
PROGRAM = "bin/kolm_subtotal"
SYSTEM_DIR = "lib/kolm_subtotal/system32"
README = "share/doc/kolm_subtotal/README.md"


def run(command, **kwargs):
    return subprocess.run(command, check=True, capture_output=True, timeout=600, **kwargs)


def read(path):
    with open(path, "rb") as f:
        return f.read()


class Installed(e2e.ScratchTestCase):
    @classmethod
    def setUpClass(cls):
        cls._work = tempfile.TemporaryDirectory(prefix="kolm_install_")
        cls.work = cls._work.name
        cls.reference = cls.run_dialogue_in(e2e.BINARY, os.path.join(cls.work, "reference"))

    @classmethod
    def tearDownClass(cls):
        cls._work.cleanup()

    @staticmethod
    def run_dialogue_in(program, directory):
        """Runs the whole dialogue in a fresh `directory`; returns the status,
        the console bytes, the reports and the names of the files left."""
        os.makedirs(directory)
        proc = subprocess.run([program], input=WHOLE_DIALOGUE, cwd=directory, capture_output=True,
                              timeout=120, env={"PATH": "/usr/bin:/bin"})
        reports = {name: read(os.path.join(directory, name)) for name in REPORTS
                   if os.path.exists(os.path.join(directory, name))}
        return proc.returncode, proc.stdout, reports, sorted(os.listdir(directory))

    def assert_runs_like_the_build(self, root):
        """`root` holds the installed layout."""
        self.assertTrue(os.path.isfile(os.path.join(root, README)))
        # Marks the installed tools, so that the staged copies show which
        # tools the program found: its own, beside it, not the build tree's.
        for name in UTILITIES:
            with open(os.path.join(root, SYSTEM_DIR, name), "ab") as f:
                f.write(b"\0installed copy\0")
        status, out, reports, files = self.run_dialogue_in(os.path.join(root, PROGRAM), self.dir + "/run")
        self.assertEqual(self.reference[0], 0)
        self.assertEqual(sorted(self.reference[2]), REPORTS)
        self.assertEqual((status, out, reports, files), self.reference)
        for name in UTILITIES:
            staged = read(os.path.join(self.dir, "run", name))
            self.assertTrue(staged == read(os.path.join(root, SYSTEM_DIR, name)), name)

    def package(self, generator):
        out = os.path.join(self.dir, "package")
        run(["cpack", "-G", generator, "--config", os.path.join(BUILD_DIR, "CPackConfig.cmake"), "-B", out])
        return out

    def test_cmake_install_into_a_prefix(self):
        prefix = os.path.join(self.dir, "prefix")
        run(["cmake", "--install", BUILD_DIR, "--prefix", prefix])
        self.assert_runs_like_the_build(prefix)

    def test_tar_gz(self):
        [archive] = glob.glob(os.path.join(self.package("TGZ"), "*.tar.gz"))
        with tarfile.open(archive) as tar:
            roots = {member.name.split("/")[0] for member in tar.getmembers()}
            self.assertEqual(len(roots), 1)
            tar.extractall(os.path.join(self.dir, "unpacked"))
        self.assert_runs_like_the_build(os.path.join(self.dir, "unpacked", roots.pop()))

    def test_deb(self):
        [deb] = glob.glob(os.path.join(self.package("DEB"), "*.deb"))
        fields = run(["dpkg-deb", "--field", deb, "Package", "Version", "Depends"]).stdout
        self.assertIn(b"Package: kolm_subtotal\n", fields)
        self.assertIn(b"libc6", fields)
        root = os.path.join(self.dir, "unpacked")
        run(["dpkg-deb", "-x", deb, root])
        self.assert_runs_like_the_build(os.path.join(root, "usr"))


if __name__ == "__main__":
    if "--build-dir" in sys.argv:
        i = sys.argv.index("--build-dir")
        BUILD_DIR = os.path.abspath(sys.argv[i + 1])
        del sys.argv[i:i + 2]
    e2e.main()
