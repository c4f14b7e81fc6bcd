"""Faults that must end in a defined way: a read-only folder, reports that
cannot be written, signals at the prompts and in the line editor, and
oversized or arbitrary input through a pipe and in a terminal."""

import io
import os
import re
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import kolm_e2e as e2e  # noqa: E402
from kolm_e2e import BANNER, CRLF, KEY_ENTER, TERMS_OPTIONS, WARNING, WARNING_OPTIONS, lines  # noqa: E402
from spine_test import child_pid_of  # noqa: E402
from wizard_test import expected_reports, keys_to_wizard, typed, wizard_transcript  # noqa: E402

TXT = "kolm_subtotal.txt"
HTM = "kolm_subtotal.htm"
WORKED = (b"A", b"2", b"F", b"2", b"H")

PRESENCE = b"Checking the presence of vital assistance programs of MS Windows system:"
FAILED_CMD_CHECK = (lines(b"-" * 30, PRESENCE, b"- cmd.exe, sort.exe, find.exe", b"")
                    + lines(b"", PRESENCE, b"cmd", b"Check availability cmd.exe.",
                            b"Most likely it is necessary to updated the system path variable.", b"<9> konec"))
STEP_PROMPT = b"any key to continue, <3> select, <8> exit\r\n"
FIRST_QUESTION = b"Column name         for start sort  = ? "
SECOND_QUESTION = b"Numeber columns in group  for sort  = ? "
SHOW_CURSOR, HIDE_CURSOR = b"\x1b[?25h", b"\x1b[?25l"

# Keys up to the code page step view: the terms, the warning, then "2".
KEYS_TO_STEP_VIEW = b"1" + b"1" + b"2"

# Runs a command in its folder with that folder mounted read-only, in a mount
# namespace of its own, so that even root cannot write there.
READ_ONLY_MOUNT = ["unshare", "--mount", "--propagation", "private", "/bin/sh", "-c",
                   'mount --bind "$0" "$0" && mount -o remount,bind,ro "$0" && cd "$0" && exec "$@"']


def read_only_runner(directory):
    """A command prefix that runs a program in `directory` unable to write
    there, or None when this machine offers no way to."""
    if os.geteuid() != 0:
        os.chmod(directory, 0o555)
        return []
    probe = subprocess.run(READ_ONLY_MOUNT + [directory, "/bin/sh", "-c", "! touch probe 2>/dev/null"],
                           cwd=directory, capture_output=True)
    if probe.returncode == 0:
        return READ_ONLY_MOUNT + [directory]
    # No mount namespace: run as an unprivileged user in a folder root owns
    # (its parent, the temporary folder, is open to every user).
    os.chmod(directory, 0o555)
    as_nobody = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
    probe = subprocess.run(as_nobody + ["/bin/sh", "-c", 'test -x "$0" && ! touch probe 2>/dev/null', e2e.BINARY],
                           cwd=directory, capture_output=True)
    return as_nobody if probe.returncode == 0 else None


# ---- What a piped key stream types into the line editor ----

def alt_gives_a_character(byte):
    """Esc and a byte the keyboard table has no Alt code for: the byte."""
    return not (bytes([byte]).isalnum() or byte in b"-=[];'`\\,./\x1b\x08\x7f\t\r\n"
                or 1 <= byte <= 26)


def edited_line(keys):
    """The line the editor ends with for `keys` (no arrows, Home, End or
    Delete among them), and the keys after its Enter."""
    line = bytearray()
    i = 0
    while i < len(keys):
        byte = keys[i]
        i += 1
        if byte == 0x1B:
            nxt = keys[i]
            assert nxt not in b"[O\x1b", "the model knows no escape sequences"
            i += 1
            if not alt_gives_a_character(nxt):
                continue
            byte = nxt
        if byte in (13, 10):
            return bytes(line), keys[i:]
        if byte in (8, 127):
            del line[-1:]
        elif byte == 9:
            line += b" " * (8 - len(line) % 8)
        elif byte >= 32:
            line.append(byte)
    raise AssertionError("no Enter")


class ReadOnlyFolder(e2e.ScratchTestCase):
    def test_checks_fail_and_the_program_ends_at_nine(self):
        runner = read_only_runner(self.dir)
        if runner is None:
            self.skipTest("no mount namespace and no unprivileged user to run as")
        # Keys the failed check ignores come first; only "9" ends it.
        proc = subprocess.run(runner + [e2e.BINARY], input=b"11" + b"12388" + b"9", cwd=self.dir,
                              capture_output=True, timeout=60)
        self.assertEqual(proc.returncode, 0, proc.stderr)
        self.assertEqual(proc.stdout, BANNER + TERMS_OPTIONS + WARNING + WARNING_OPTIONS + CRLF + FAILED_CMD_CHECK)
        self.assertEqual(self.files(), [])


class ReportsThatCannotBeWritten(e2e.ScratchTestCase):
    def run_wizard(self, answers):
        return self.run_piped(keys_to_wizard() + typed(*answers))

    def test_failures_are_reported_with_status_1(self):
        many_levels = (b"A", b"40", b"F", b"2", b"H")  # more than one buffer's worth
        cases = [
            ("text report on a full device", WORKED, {TXT: "/dev/full"},
             [b"Report not written: kolm_subtotal.txt (write: No space left on device)"]),
            ("long text report on a full device", many_levels, {TXT: "/dev/full"},
             [b"Report not written: kolm_subtotal.txt (write: No space left on device)"]),
            ("both reports are folders", WORKED, {TXT: None, HTM: None},
             [b"Report not written: kolm_subtotal.txt (open: Is a directory)",
              b"Report not written: kolm_subtotal.htm (open: Is a directory)"]),
        ]
        for name, answers, blocked, failures in cases:
            with self.subTest(name):
                for entry in os.listdir(self.dir):
                    path = os.path.join(self.dir, entry)
                    os.rmdir(path) if os.path.isdir(path) and not os.path.islink(path) else os.remove(path)
                for report, target in blocked.items():
                    if target is None:
                        os.mkdir(os.path.join(self.dir, report))
                    else:
                        os.symlink(target, os.path.join(self.dir, report))
                status, out, err = self.run_wizard(answers)
                self.assertEqual((status, err), (1, b""))
                self.assertTrue(out.endswith(wizard_transcript(answers, failures=failures)), out[-600:])
                for report, content in zip((TXT, HTM), expected_reports(answers)):
                    if report not in blocked:
                        self.assertEqual(self.read(report), content)


class Signals(e2e.ScratchTestCase):
    """The terminal's mode and the cursor are put back, and the process ends
    by the signal. (The terms prompt has the same check in spine_test.)"""

    def reach(self, place, child):
        if place == "code page step view":
            child.send(KEYS_TO_STEP_VIEW)
            child.expect_exact(STEP_PROMPT)
        else:
            child.send(keys_to_wizard())
            child.expect_exact(FIRST_QUESTION)
            child.send(b"AB" + e2e.KEY_LEFT)
            child.expect_exact(b"AB")
            time.sleep(0.2)

    def test_signals_restore_the_terminal(self):
        script = 'stty -g; %s; echo "status=$?"; stty -g' % e2e.shell_quote(e2e.BINARY)
        for place in ("code page step view", "line editor"):
            for name in ("SIGINT", "SIGTERM", "SIGHUP"):
                with self.subTest(place=place, signal=name):
                    child = self.spawn(command=script)
                    child.logfile_read = shown = io.BytesIO()
                    child.expect(rb"([0-9a-f:]+)\r\n")
                    before = child.match.group(1)
                    self.reach(place, child)
                    number = getattr(signal, name)
                    os.kill(child_pid_of(child.pid), number)
                    child.expect(rb"status=(\d+)\r\n([0-9a-f:]+)\r\n")
                    self.assertEqual(child.match.group(1), str(128 + number).encode())
                    self.assertEqual(child.match.group(2), before)
                    output = shown.getvalue()
                    self.assertGreaterEqual(output.rfind(SHOW_CURSOR), output.rfind(HIDE_CURSOR))


    def test_a_closed_output_pipe_restores_the_terminal(self):
        # Keys from the terminal, output into a pipe whose reader has gone:
        # the next write ends the process by SIGPIPE (left at its default, as
        # a shell leaves it), and the terminal must be as it was.
        script = ('stty -g; (env --default-signal=PIPE %s; echo "status=$?" >&2) | head -c 1 >/dev/null; stty -g'
                  % e2e.shell_quote(e2e.BINARY))
        child = self.spawn(command=script)
        child.expect(rb"([0-9a-f:]+)\r\n")
        before = child.match.group(1)
        time.sleep(1)  # the banner is out and the reader has gone
        child.send(b"1")
        child.expect(rb"status=(\d+)\r\n([0-9a-f:]+)\r\n")
        self.assertEqual(child.match.group(1), str(128 + signal.SIGPIPE).encode())
        self.assertEqual(child.match.group(2), before)


    def test_a_file_size_limit_fails_writes_as_a_full_disk_does(self):
        # The staged copies outgrow a 2 KiB limit (SIGXFSZ left at its
        # default, as a shell leaves it): the copies fail, the checks report
        # it, and the program ends at "9" with the terminal as it was.
        script = ('stty -g; ulimit -f 2; env --default-signal=XFSZ %s; echo "status=$?"; stty -g'
                  % e2e.shell_quote(e2e.BINARY))
        child = self.spawn(command=script)
        child.expect(rb"([0-9a-f:]+)\r\n")
        before = child.match.group(1)
        child.send(b"11")
        child.expect_exact(b"<9> konec\r\n")
        child.send(b"9")
        child.expect(rb"status=(\d+)\r\n([0-9a-f:]+)\r\n")
        self.assertEqual((child.match.group(1), child.match.group(2)), (b"0", before))


class SharedTerminal(e2e.ScratchTestCase):
    # Reads the terminal for two seconds beside the program, as a second
    # reader in the foreground would.
    READER = ("import os, select, sys, time\n"
              "fd = os.open('/dev/tty', os.O_RDONLY)\n"
              "os.write(2, b'reader on\\r\\n')\n"
              "end = time.time() + 2\n"
              "while time.time() < end:\n"
              "    if select.select([fd], [], [], 0.05)[0]: os.read(fd, 1)\n"
              "os.write(2, b'reader off\\r\\n')\n")

    def test_a_key_taken_by_another_reader_is_no_hang_up(self):
        # Each key goes to one of the two readers; the other then reads
        # nothing, which must not end the program as a hang-up does.
        child = self.spawn(command="/usr/bin/python3 -c %s & exec %s"
                           % (e2e.shell_quote(self.READER), e2e.shell_quote(e2e.BINARY)))
        seen = set()
        while len(seen) < 2:
            seen.add(child.expect_exact([b"reader on\r\n", TERMS_OPTIONS]))
        for _ in range(20):
            child.send(b"x")
            time.sleep(0.03)
        child.expect_exact(b"reader off\r\n")
        self.assertTrue(child.isalive())
        child.send(b"2")
        status, signal_status, rest = self.wait_exit(child)
        self.assertEqual((status, signal_status, rest), (0, None, b""))


class OversizedAndArbitraryInput(e2e.ScratchTestCase):
    def test_megabyte_answers_through_a_pipe(self):
        # A pipe is read only as fast as keys are taken, so no byte is lost:
        # each whole line is echoed once, and each field takes what it may.
        answers = [letter * (1 << 20) for letter in (b"B", b"1", b"C", b"2", b"D")]
        status, out, err = self.run_piped(keys_to_wizard() + typed(*answers), timeout=300)
        self.assertEqual((status, err), (0, b""))
        self.assertTrue(out.endswith(wizard_transcript(answers)))
        # Text fields stop at 4096 bytes; integer fields read 67 digits,
        # a magnitude past 32 bits, which reads as -1.
        fields = (b"B" * 4096, b"-1", b"C" * 4096, b"-1", b"D" * 4096)
        self.assertEqual((self.read(TXT), self.read(HTM)), expected_reports(fields))

    def test_a_non_blocking_output_read_slowly_loses_nothing(self):
        # Standard output handed over non-blocking: the long echo of an
        # answer meets a full pipe, and must wait for room, not drop bytes.
        answers = [b"B" * 300000, b"1", b"C", b"2", b"D"]
        read_end, write_end = os.pipe()
        os.set_blocking(write_end, False)
        proc = subprocess.Popen([e2e.BINARY], stdin=subprocess.PIPE, stdout=write_end,
                                stderr=subprocess.DEVNULL, cwd=self.dir)
        os.close(write_end)
        proc.stdin.write(keys_to_wizard() + typed(*answers))
        proc.stdin.close()
        time.sleep(0.5)  # the pipe fills up
        out = b""
        with os.fdopen(read_end, "rb") as reader:
            while chunk := reader.read(65536):
                out += chunk
        self.assertEqual(proc.wait(timeout=60), 0)
        self.assertTrue(out.endswith(wizard_transcript(answers)), len(out))

    def test_a_burst_of_keys_larger_than_the_queue_loses_none(self):
        # Everything arrives at once while the terms prompt already waits:
        # more keys than the queue holds, and the pipe keeps the rest.
        proc = subprocess.Popen([e2e.BINARY], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, cwd=self.dir)
        time.sleep(0.3)
        out, err = proc.communicate(b"1" + b"2" + b"3" * 1000, timeout=60)
        self.assertEqual((proc.returncode, err), (0, b""))
        self.assertEqual(out, BANNER + TERMS_OPTIONS + WARNING + WARNING_OPTIONS)

    def test_every_byte_in_every_answer_through_a_pipe(self):
        every_byte = bytes(b for b in range(256) if b not in (10, 13))
        keys = typed(*[every_byte] * 5)
        status, out, err = self.run_piped(keys_to_wizard() + keys)
        self.assertEqual((status, err), (0, b""))
        typed_lines = []
        rest = keys
        while rest:
            line, rest = edited_line(rest)
            typed_lines.append(line)
        self.assertTrue(out.endswith(wizard_transcript(typed_lines)), out[-800:])
        # No double quote leads the line and no field reaches its maximum:
        # a field is what the line holds from its first non-blank byte up to
        # a comma (a blank also ends an integer field).
        text = typed_lines[0].lstrip(b" \t").split(b",")[0]
        number = re.split(rb"[ \t,]", typed_lines[1].lstrip(b" \t"))[0]
        self.assertFalse(text.startswith(b'"') or number[:1].isdigit() or number[:1] in b"+-.&")
        fields = (text, b"0", text, b"0", text)  # no digit leads: the integers are 0
        self.assertEqual((self.read(TXT), self.read(HTM)), expected_reports(fields))

    def test_hundred_thousand_keys_typed_at_a_prompt(self):
        child = self.spawn()
        self.expect_exact_bytes(child, BANNER + TERMS_OPTIONS)
        child.send(b"3" * 100000 + b"1" + b"2")
        self.expect_exact_bytes(child, WARNING + WARNING_OPTIONS)
        status, signal_status, rest = self.wait_exit(child)
        self.assertEqual((status, signal_status, rest), (0, None, b""))

    def test_a_terminal_keeps_the_newest_511_keys_typed_ahead(self):
        child = self.spawn(cols=200)
        child.send(keys_to_wizard())
        child.expect_exact(FIRST_QUESTION)
        # Stopped, the program reads nothing; the terminal holds the keys,
        # and the program then takes them all in one read.
        program = child.pid
        os.kill(program, signal.SIGSTOP)
        typed_ahead = bytes(b"0123456789"[i % 10] for i in range(1000)) + KEY_ENTER
        child.send(typed_ahead)
        time.sleep(0.5)
        os.kill(program, signal.SIGCONT)
        child.expect_exact(SECOND_QUESTION)
        child.send(typed(b"1", b"F", b"2", b"H"))
        status, _, _ = self.wait_exit(child)
        self.assertEqual(status, 0)
        kept = typed_ahead[-511:-1]
        self.assertEqual(self.read(TXT), expected_reports((kept, b"1", b"F", b"2", b"H"))[0])


if __name__ == "__main__":
    e2e.main()
