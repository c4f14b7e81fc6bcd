"""The Windows program under Wine, end to end: with its keys through a pipe,
and in a real console (Wine inside tmux) where keys arrive as console events.

Wine brings its own cmd.exe, dir, copy and find.exe but no sort.exe, so a run
stages the tools, passes the cmd check and stops at the sort check.

Run as `wine_test.py --binary kolm_subtotal.exe --wine RUNNER --build-dir DIR`,
where RUNNER runs a Windows program under Wine (the build's wine-run.sh) and
DIR is the build, whose .zip package is made and tried.
"""

import os
import shlex
import subprocess
import sys
import tempfile
import time
import uuid
import zipfile

import kolm_e2e as e2e
from kolm_e2e import BANNER, CRLF, TERMS_OPTIONS, WARNING, WARNING_OPTIONS, lines

WINE = None
BUILD_DIR = None

OPENING = BANNER + TERMS_OPTIONS + WARNING + WARNING_OPTIONS + CRLF
HEADING = lines(b"-" * 30,
                b"Checking the presence of vital assistance programs of MS Windows system:",
                b"- cmd.exe, sort.exe, find.exe",
                b"")
CHECKS = lines(b"",
               b"Checking the presence of vital assistance programs of MS Windows system:",
               b"cmd",
               b"sort")
SORT_FAILED = lines(b"Check availability sort.exe.",
                    b"Most likely it is necessary to updated the system path variable.",
                    b"<9> konec")
ENDED_MESSAGE = b"kolm_subtotal: the input ended before the dialogue was complete."

# Keys the "<9> konec" prompt must drop, as bytes of a pipe.
NOT_NINE = b"1278x\x1b\r"


def listed_size(listing, name):
    """The size that a `dir` listing shows for `name`, as an integer."""
    for line in listing.splitlines():
        fields = line.split()
        if fields and fields[-1] == name:
            return int(fields[-2].replace(b",", b"").replace(b".", b""))
    return None


class Piped(e2e.ScratchTestCase):
    def run_wine(self, keys):
        proc = subprocess.run([WINE, e2e.BINARY], input=keys, cwd=self.dir,
                              capture_output=True, timeout=300)
        return proc.returncode, proc.stdout, proc.stderr

    def split_staging(self, out):
        """Checks the program's own lines around the staging and returns what
        the copy commands printed in between."""
        self.assertTrue(out.startswith(OPENING + HEADING), out[:2000])
        start = len(OPENING + HEADING)
        end = out.find(CHECKS, start)
        self.assertNotEqual(end, -1, out[start:])
        return out[start:end], out[end + len(CHECKS):]

    def test_refused_terms_touch_nothing(self):
        status, out, err = self.run_wine(b"2")
        self.assertEqual((status, out), (0, BANNER + TERMS_OPTIONS))
        self.assertNotIn(ENDED_MESSAGE, err)
        self.assertEqual(self.files(), [])

    def test_tools_staged_cmd_passes_sort_fails_and_only_nine_ends(self):
        status, out, err = self.run_wine(b"11" + NOT_NINE + b"9" + b"1")
        self.assertEqual(status, 0, err)
        self.assertNotIn(ENDED_MESSAGE, err)
        copy_reports, rest = self.split_staging(out)
        # What copy says about each file is Wine's business; it is all it says.
        for report in copy_reports.splitlines():
            self.assertRegex(report, rb"(?i)cop(y|ied)")
        self.assertEqual(rest, SORT_FAILED)

        self.assertEqual(self.files(),
                         ["check_01.txt", "cmd.exe", "find.exe", "out_null.txt", "stm_01.txt"])
        listing = self.read("stm_01.txt")
        self.assertIsNone(listed_size(listing, b"sort.exe"))
        for tool in (b"cmd.exe", b"find.exe"):
            copy = self.read(tool.decode())
            self.assertEqual(copy[:2], b"MZ")
            self.assertEqual(len(copy), listed_size(listing, tool))
        # The sort check's own listing of this directory, left for the user.
        self.assertEqual(listed_size(self.read("check_01.txt"), b"cmd.exe"), len(self.read("cmd.exe")))
        self.assertEqual(self.read("out_null.txt"), b"")

    def test_keys_other_than_nine_leave_the_prompt_waiting(self):
        status, out, err = self.run_wine(b"11" + NOT_NINE)
        _, rest = self.split_staging(out)
        self.assertEqual(rest, SORT_FAILED)
        # The input ran out while the prompt still waited for its key.
        self.assertEqual(status, 1)
        self.assertIn(ENDED_MESSAGE + CRLF, err)


class InConsole(e2e.ScratchTestCase):
    """Wine gives the program a console of its own when it runs in a terminal;
    tmux is that terminal, and its screen is what the user sees."""

    ROWS = 120

    def setUp(self):
        super().setUp()
        self._side = tempfile.TemporaryDirectory(prefix="kolm_wine_side_")
        self.addCleanup(self._side.cleanup)
        self.status_file = os.path.join(self._side.name, "status")
        self.socket = "kolm-wine-%s" % uuid.uuid4().hex
        command = "%s %s; echo $? > %s; exec sleep 600" % (
            shlex.quote(WINE), shlex.quote(e2e.BINARY), shlex.quote(self.status_file))
        self.tmux("new-session", "-d", "-x", "100", "-y", str(self.ROWS), "-c", self.dir, command)
        self.addCleanup(self.tmux, "kill-server")

    def tmux(self, *args):
        return subprocess.run(["tmux", "-L", self.socket, "-f", "/dev/null"] + list(args),
                              check=True, capture_output=True, timeout=30).stdout

    def screen(self):
        text = self.tmux("capture-pane", "-p", "-S", "-%d" % self.ROWS)
        rows = [row.rstrip() for row in text.split(b"\n")]
        while rows and rows[-1] == b"":
            rows.pop()
        return rows

    def wait_for_screen(self, done, timeout=120):
        deadline = time.monotonic() + timeout
        while True:
            rows = self.screen()
            if done(rows) or time.monotonic() > deadline:
                return rows
            time.sleep(0.2)

    def press(self, *keys):
        for key in keys:
            self.tmux("send-keys", "-t", "0", key)
            time.sleep(0.3)  # one key at a time, so none is read as part of another

    def assert_screen_stays(self, rows):
        time.sleep(1.0)
        self.assertEqual(self.screen(), rows)

    def wait_status(self, timeout=60):
        deadline = time.monotonic() + timeout
        while not os.path.exists(self.status_file) and time.monotonic() < deadline:
            time.sleep(0.2)
        with open(self.status_file) as f:
            return int(f.read())

    def test_console_keys_at_the_prompts(self):
        opening = (BANNER + TERMS_OPTIONS).split(CRLF)[:-1]
        rows = self.wait_for_screen(lambda r: r == opening)
        self.assertEqual(rows, opening)

        # Extended keys, Alt with a letter or with the accepted digits, Esc and
        # Enter are all dropped without a trace.
        self.press("Up", "Down", "Left", "Right", "F1", "F12", "M-a", "M-1", "M-2", "Escape", "x", "Enter")
        self.assert_screen_stays(opening)

        self.press("1")
        with_warning = (BANNER + TERMS_OPTIONS + WARNING + WARNING_OPTIONS).split(CRLF)[:-1]
        rows = self.wait_for_screen(lambda r: r == with_warning)
        self.assertEqual(rows, with_warning)
        self.press("F1", "M-2", "M-1")
        self.assert_screen_stays(with_warning)

        self.press("1")
        failed = SORT_FAILED.split(CRLF)[:-1]
        rows = self.wait_for_screen(lambda r: r[-len(failed):] == failed)
        self.assertEqual(rows[-len(failed):], failed)
        # The checks' progress words, in order, above the failure; what the
        # commands print to the console lies around them.
        after_opening = rows[len(with_warning):]
        self.assertIn(b"cmd", after_opening)
        self.assertIn(b"sort", after_opening[after_opening.index(b"cmd"):])

        self.press("8", "M-9", "F9", "Escape")
        self.assert_screen_stays(rows)
        self.assertFalse(os.path.exists(self.status_file))
        self.press("9")
        self.assertEqual(self.wait_status(), 0)


class Package(e2e.ScratchTestCase):
    def test_zip_holds_the_program_and_readme_and_runs(self):
        out = os.path.join(self.dir, "package")
        subprocess.run(["cpack", "-G", "ZIP", "--config", os.path.join(BUILD_DIR, "CPackConfig.cmake"),
                        "-B", out], check=True, capture_output=True, timeout=600)
        [archive] = [name for name in os.listdir(out) if name.endswith(".zip")]
        with zipfile.ZipFile(os.path.join(out, archive)) as package:
            files = sorted(name for name in package.namelist() if not name.endswith("/"))
            top = archive[:-len(".zip")]
            self.assertEqual(files, [top + "/README.md", top + "/bin/kolm_subtotal.exe"])
            package.extractall(self.dir)
        with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "README.md"), "rb") as f:
            self.assertEqual(self.read(top + "/README.md"), f.read())
        program = os.path.join(self.dir, top, "bin", "kolm_subtotal.exe")
        run_dir = os.path.join(self.dir, "run")
        os.mkdir(run_dir)
        proc = subprocess.run([WINE, program], input=b"2", cwd=run_dir, capture_output=True, timeout=300)
        self.assertEqual((proc.returncode, proc.stdout), (0, BANNER + TERMS_OPTIONS))
        self.assertEqual(os.listdir(run_dir), [])


if __name__ == "__main__":
    if "--wine" in sys.argv:
        i = sys.argv.index("--wine")
        WINE = os.path.abspath(sys.argv[i + 1])
        del sys.argv[i:i + 2]
    else:
        WINE = "wine"
    if "--build-dir" in sys.argv:
        i = sys.argv.index("--build-dir")
        BUILD_DIR = os.path.abspath(sys.argv[i + 1])
        del sys.argv[i:i + 2]
    e2e.main()
