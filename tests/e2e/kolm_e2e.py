"""Shared helpers for the end-to-end tests.

Every test drives the real program in a scratch directory, either through a
pipe (its standard input is the key stream) or in a pseudo-terminal through
pexpect, and compares console bytes and the files it leaves byte for byte.
A test script is run as `python3 foo_test.py --binary PATH`.
"""

import os
import shlex
import subprocess
import sys
import tempfile
import time
import unittest

import pexpect

BINARY = None

CRLF = b"\r\n"

# Keys as a terminal sends them.
KEY_ESC = b"\x1b"
KEY_F1 = b"\x1bOP"
KEY_UP = b"\x1b[A"
KEY_DOWN = b"\x1b[B"
KEY_RIGHT = b"\x1b[C"
KEY_LEFT = b"\x1b[D"
KEY_HOME = b"\x1b[H"
KEY_END = b"\x1b[F"
KEY_DELETE = b"\x1b[3~"
KEY_BACKSPACE = b"\x7f"
KEY_ENTER = b"\r"

WEB_ADDRESS = b"https://quorvex.example/kolm_subtotal"

BANNER = CRLF.join([
    b"=" * 58,
    b"",
    b"Quorvex",
    b"Program for creating multilevel subtotal() formulas in MS Excel compatible tables",
    b"",
    b"Program name: kolm_subtotal_01_110.exe",
    b"",
    b"Terms of use:",
    b"Author of the program is not responsible for any consequences resulting from errors in the program.",
    b"Users respect this risk and take the program on their own responsibility.",
    b"",
    b"",
    b"",
    b"",
    b"",
    b"",
    b"More information: " + WEB_ADDRESS,
    b"=" * 58,
    b"Do you accept terms of service ?",
    b"",
]) + CRLF

TERMS_OPTIONS = b"<1> yes and continue\r\n<2> no and end\r\n"

WARNING = CRLF.join([
    b"",
    b"--------- PROGRAM MUST RUN IN SEPARATE DIRECTORY ---------",
    b"",
    b"Program must run in separate directory.",
    b"During execution it will delete most *.txt, and other files.",
    b"",
    b"-" * 58,
    b"",
]) + CRLF

WARNING_OPTIONS = b"<1> yes and continue\r\n<2> no  and end\r\n"


def lines(*texts):
    """CR LF terminated lines from byte strings."""
    return b"".join(t + CRLF for t in texts)


class ScratchTestCase(unittest.TestCase):
    """A test case with a fresh scratch directory as `self.dir`."""

    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory(prefix="kolm_e2e_")
        self.dir = self._tmp.name
        # Cleanups run last-registered first: the programs a test started are
        # closed before their scratch directory goes.
        self.addCleanup(self._tmp.cleanup)

    def files(self):
        return sorted(os.listdir(self.dir))

    def read(self, name):
        with open(os.path.join(self.dir, name), "rb") as f:
            return f.read()

    def run_piped(self, keys, timeout=60, env=None):
        """Runs the program with `keys` as its standard input.

        Returns (status, stdout bytes, stderr bytes)."""
        proc = subprocess.run([BINARY], input=keys, cwd=self.dir, capture_output=True,
                              timeout=timeout, env=env)
        return proc.returncode, proc.stdout, proc.stderr

    def spawn(self, rows=24, cols=80, env=None, command=None):
        """Starts the program (or `command`, a shell line) in a pseudo-terminal."""
        full_env = dict(os.environ)
        full_env.setdefault("TERM", "xterm")
        full_env["LANG"] = full_env.get("LANG", "C.UTF-8")
        if env:
            full_env.update(env)
        if command is None:
            child = pexpect.spawn(BINARY, [], cwd=self.dir, env=full_env,
                                  dimensions=(rows, cols), timeout=20)
        else:
            child = pexpect.spawn("/bin/sh", ["-c", command], cwd=self.dir, env=full_env,
                                  dimensions=(rows, cols), timeout=20)
        self.addCleanup(child.close, True)
        return child

    def expect_exact_bytes(self, child, data, timeout=20):
        """Waits for `data` and checks that it is exactly what came next."""
        child.expect_exact(data, timeout=timeout)
        self.assertEqual(child.before, b"", "unexpected bytes before %r: %r" % (data[:40], child.before))

    def expect_quiet(self, child, seconds=0.4):
        """Checks that the program prints nothing for a while."""
        try:
            child.expect(pexpect.TIMEOUT, timeout=seconds)
        except pexpect.EOF:
            self.fail("program ended unexpectedly; output: %r" % child.before)
        self.assertEqual(child.before, b"", "unexpected output: %r" % child.before)

    def expect_keys_ignored(self, child, keys):
        """Sends keys one by one and checks that the program prints nothing."""
        for key in keys:
            child.send(key)
            time.sleep(0.08)  # a lone Esc needs its pause
        self.expect_quiet(child)

    def wait_exit(self, child, timeout=20):
        """Reads to the end of the output and returns (exit status, rest of output)."""
        child.expect(pexpect.EOF, timeout=timeout)
        rest = child.before
        child.close()
        return child.exitstatus, child.signalstatus, rest


def shell_quote(path):
    return shlex.quote(path)


def main():
    global BINARY
    argv = list(sys.argv)
    if "--binary" in argv:
        i = argv.index("--binary")
        BINARY = os.path.abspath(argv[i + 1])
        del argv[i:i + 2]
    else:
        BINARY = os.path.abspath(os.environ.get("KOLM_BINARY", "build/bin/kolm_subtotal"))
    unittest.main(argv=argv, verbosity=2)
