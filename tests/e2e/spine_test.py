"""The opening of the dialogue: banner, terms, the separate-directory warning,
the refusals, typed-ahead keys and the terminal left as it was found."""

import os
import signal
import time

import kolm_e2e as e2e
from kolm_e2e import BANNER, TERMS_OPTIONS, WARNING, WARNING_OPTIONS

# Keys no opening prompt accepts: other digits, Esc, F1, arrows, a letter,
# Enter and an Alt combination.
IGNORED_KEYS = [b"3", b"9", e2e.KEY_ESC, e2e.KEY_F1, e2e.KEY_UP, e2e.KEY_DOWN,
                e2e.KEY_LEFT, e2e.KEY_RIGHT, b"a", b"\r", b"\x1bx"]


def stat_fields(pid):
    """The fields of /proc/PID/stat after the command name."""
    with open("/proc/%s/stat" % pid) as f:
        return f.read().rsplit(")", 1)[1].split()


def cpu_seconds(pid):
    fields = stat_fields(pid)
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def child_pid_of(parent):
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            fields = stat_fields(entry)
        except OSError:
            continue
        if int(fields[1]) == parent:
            return int(entry)
    return None


class InTerminal(e2e.ScratchTestCase):
    def test_banner_bytes_and_refused_warning(self):
        child = self.spawn()
        self.expect_exact_bytes(child, BANNER + TERMS_OPTIONS)
        self.expect_keys_ignored(child, IGNORED_KEYS)
        child.send(b"1")
        self.expect_exact_bytes(child, WARNING + WARNING_OPTIONS)
        self.expect_keys_ignored(child, IGNORED_KEYS)
        child.send(b"2")
        status, signal_status, rest = self.wait_exit(child)
        self.assertEqual((status, signal_status, rest), (0, None, b""))
        self.assertEqual(self.files(), [])

    def test_refused_terms_end_at_once(self):
        child = self.spawn()
        self.expect_exact_bytes(child, BANNER + TERMS_OPTIONS)
        child.send(b"2")
        status, _, rest = self.wait_exit(child)
        self.assertEqual((status, rest), (0, b""))
        self.assertEqual(self.files(), [])

    def test_keys_typed_during_the_banner_accept_both_prompts(self):
        # The keys are in the terminal before the program has printed anything;
        # the terminal itself echoes them, since the program has not started yet.
        child = self.spawn(command="sleep 0.3; exec %s" % e2e.shell_quote(e2e.BINARY))
        child.send(b"11")
        self.expect_exact_bytes(child, b"11" + BANNER + TERMS_OPTIONS + WARNING + WARNING_OPTIONS + b"\r\n")

    def test_terminal_modes_restored_after_normal_end_and_signals(self):
        program = e2e.shell_quote(e2e.BINARY)
        script = 'stty -g; %s; echo "status=$?"; stty -g' % program
        for how in ("refusal", "SIGINT", "SIGTERM", "SIGHUP", "SIGQUIT"):
            with self.subTest(how=how):
                child = self.spawn(command=script)
                child.expect(rb"([0-9a-f:]+)\r\n")
                before = child.match.group(1)
                child.expect_exact(TERMS_OPTIONS)
                if how == "refusal":
                    child.send(b"2")
                    expected_status = b"0"
                else:
                    number = getattr(signal, how)
                    os.kill(child_pid_of(child.pid), number)
                    expected_status = str(128 + number).encode()
                child.expect(rb"status=(\d+)\r\n([0-9a-f:]+)\r\n")
                self.assertEqual(child.match.group(1), expected_status)
                self.assertEqual(child.match.group(2), before)

    def test_ctrl_c_ends_the_program_through_the_system(self):
        child = self.spawn()
        child.expect_exact(TERMS_OPTIONS)
        child.send(b"\x03")
        status, signal_status, _ = self.wait_exit(child)
        self.assertEqual((status, signal_status), (None, signal.SIGINT))

    def test_waiting_at_a_prompt_uses_no_processor(self):
        child = self.spawn()
        child.expect_exact(TERMS_OPTIONS)
        before = cpu_seconds(child.pid)
        time.sleep(1.0)
        self.assertLessEqual(cpu_seconds(child.pid) - before, 0.02)


class ThroughAPipe(e2e.ScratchTestCase):
    def test_accept_terms_refuse_warning(self):
        keys = b"".join(IGNORED_KEYS) + b"1" + b"".join(IGNORED_KEYS) + b"2"
        status, out, err = self.run_piped(keys)
        self.assertEqual(out, BANNER + TERMS_OPTIONS + WARNING + WARNING_OPTIONS)
        self.assertEqual((status, err), (0, b""))
        self.assertEqual(self.files(), [])

    def test_refuse_terms(self):
        status, out, err = self.run_piped(b"2")
        self.assertEqual((status, out, err), (0, BANNER + TERMS_OPTIONS, b""))

    def test_input_that_ends_before_the_dialogue(self):
        for keys in (b"", b"1", b"39\x1b"):
            with self.subTest(keys=keys):
                status, out, err = self.run_piped(keys)
                self.assertEqual(status, 1)
                self.assertTrue(out.startswith(BANNER + TERMS_OPTIONS))
                self.assertEqual(err.count(b"\n"), 1, err)
                self.assertIn(b"input ended before the dialogue was complete", err)
                self.assertEqual(self.files(), [])


if __name__ == "__main__":
    e2e.main()
