"""The line editor of the typed answers, driven with the keys a terminal
sends at the wizard's first question; the answer is read back from the text
report, and the console bytes of plain typing are compared exactly."""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import kolm_e2e as e2e  # noqa: E402
from kolm_e2e import (CRLF, KEY_BACKSPACE, KEY_DELETE, KEY_DOWN, KEY_END, KEY_ENTER, KEY_ESC,  # noqa: E402
                      KEY_HOME, KEY_LEFT, KEY_RIGHT, KEY_UP)

FIRST_QUESTION = b"Column name         for start sort  = ? "
SECOND_QUESTION = b"Numeber columns in group  for sort  = ? "
REPORT_LINE = b"Column name                  for start sort = "
KEY_TAB = b"\t"
KEY_CTRL_ENTER = b"\n"
REST_OF_ANSWERS = b"2\rF\r2\rH\r"

# What each stage before the wizard shows last, and the key that takes the
# dialogue on towards the wizard.
ON_THE_WAY = [
    (b"<2> no and end\r\n", b"1"),
    (b"<2> no  and end\r\n", b"1"),
    (b"<8> exit, end\r\n", b"2"),
    (b"any key to continue, <3> select, <8> exit", b"3"),
    (b"2 decimal separator = , \r\n", b"1"),
]


def clear_directory(path):
    for name in os.listdir(path):
        full = os.path.join(path, name)
        if os.path.isdir(full) and not os.path.islink(full):
            shutil.rmtree(full)
        else:
            os.remove(full)


def typed(text):
    return [bytes([c]) for c in text]


class LineEditorInTerminal(e2e.ScratchTestCase):

    def reach_first_question(self, cols=80):
        child = self.spawn(cols=cols)
        patterns = [p for p, _ in ON_THE_WAY] + [b"<9> konec", FIRST_QUESTION]
        while True:
            i = child.expect_exact(patterns)
            if patterns[i] == FIRST_QUESTION:
                return child
            self.assertNotEqual(patterns[i], b"<9> konec", "a utility check failed: %r" % child.before)
            child.send(ON_THE_WAY[i][1])

    def send_keys(self, child, keys):
        for key in keys:
            child.send(key)
            # A lone Esc is told from the start of a sequence by a pause.
            time.sleep(0.25 if key == KEY_ESC else 0.02)

    def first_answer(self, child):
        status, signal_status, _ = self.wait_exit(child)
        self.assertEqual((status, signal_status), (0, None))
        for line in self.read("kolm_subtotal.txt").split(CRLF):
            if line.startswith(REPORT_LINE):
                return line[len(REPORT_LINE):]
        self.fail("no start column in the report")

    def test_editing_keys_give_the_answer(self):
        cases = [
            ("insert in the middle", typed(b"ACD") + [KEY_LEFT, KEY_LEFT, b"B"], b"ABCD"),
            ("Backspace, and Backspace at the start",
             typed(b"ABX") + [KEY_BACKSPACE, b"C", KEY_HOME, KEY_BACKSPACE, KEY_BACKSPACE], b"ABC"),
            ("Backspace as byte 8", typed(b"ABX") + [b"\x08", b"C"], b"ABC"),
            ("Delete in the line and at its end", typed(b"XAB") + [KEY_HOME, KEY_DELETE, KEY_END, KEY_DELETE, b"C"],
             b"ABC"),
            ("Home and End", typed(b"BC") + [KEY_HOME, b"A", KEY_END, b"D"], b"ABCD"),
            ("Left and Right, not past either end",
             typed(b"AC") + [KEY_LEFT, KEY_LEFT, KEY_LEFT, KEY_RIGHT, b"B", KEY_END, KEY_RIGHT, b"D"], b"ABCD"),
            ("Esc empties the line", typed(b"WRONG") + [KEY_LEFT, KEY_ESC] + typed(b"AB"), b"AB"),
            ("Tab to the next multiple of 8", typed(b"AB") + [KEY_TAB, b"C", KEY_TAB, b"D"],
             b"AB      C       D"),
            ("keys without an edit are ignored", typed(b"A") + [e2e.KEY_F1, b"\x1b[2~", b"\x01", b"B"], b"AB"),
        ]
        for what, keys, answer in cases:
            with self.subTest(what):
                child = self.reach_first_question()
                self.send_keys(child, keys + [KEY_ENTER])
                child.send(REST_OF_ANSWERS)
                self.assertEqual(self.first_answer(child), answer)
                clear_directory(self.dir)

    def test_ctrl_enter_ends_the_line(self):
        child = self.reach_first_question()
        self.send_keys(child, typed(b"AB") + [KEY_LEFT, KEY_CTRL_ENTER])
        # The line end goes after the whole line, wherever the cursor was.
        self.expect_exact_bytes(child, b"AB\r\x1b[41C\r\x1b[42C" + CRLF + SECOND_QUESTION)
        child.send(REST_OF_ANSWERS)
        self.assertEqual(self.first_answer(child), b"AB")

    def test_delete_at_the_end_beeps(self):
        child = self.reach_first_question()
        self.send_keys(child, [b"A"])
        self.expect_exact_bytes(child, b"A")
        self.send_keys(child, [KEY_DELETE])
        self.expect_exact_bytes(child, b"\x07")
        self.send_keys(child, [KEY_ENTER])
        child.send(REST_OF_ANSWERS)
        self.assertEqual(self.first_answer(child), b"A")

    def test_up_and_down_on_a_wrapped_line(self):
        # 20 columns: the line wraps every 20 bytes, and Up and Down step by 20.
        child = self.reach_first_question(cols=20)
        keys = (typed(b"ABCDEFGHIJKLMNOPQRSTUVWXY") + [KEY_UP, b"1", KEY_DOWN, b"2", KEY_UP, KEY_UP, b"3"]
                + [KEY_HOME, KEY_DOWN, KEY_DOWN, b"4", KEY_HOME, KEY_UP, b"5"])
        self.send_keys(child, keys + [KEY_ENTER])
        child.send(REST_OF_ANSWERS)
        self.assertEqual(self.first_answer(child), b"5ABCDE1F3GHIJKLMNOPQR4STUVWXY2")

    def test_console_bytes_of_typing(self):
        child = self.reach_first_question()
        # The question ends in column 40; each byte typed at the end is echoed alone.
        for key in typed(b"AC"):
            child.send(key)
            self.expect_exact_bytes(child, key)
        # Left moves back a column; a byte inserted there redraws the rest and
        # puts the cursor back after it.
        child.send(KEY_LEFT)
        self.expect_exact_bytes(child, b"\r\x1b[41C")
        child.send(b"B")
        self.expect_exact_bytes(child, b"BC\r\x1b[42C")
        child.send(KEY_BACKSPACE)
        self.expect_exact_bytes(child, b"\r\x1b[41CC\x1b[J\r\x1b[41C")
        child.send(KEY_END + KEY_ENTER)
        self.expect_exact_bytes(child, b"\r\x1b[42C" + CRLF + SECOND_QUESTION)
        child.send(REST_OF_ANSWERS)
        self.assertEqual(self.first_answer(child), b"AC")

    def test_answers_typed_before_the_question(self):
        child = self.spawn()
        patterns = [p for p, _ in ON_THE_WAY]
        while True:
            i = child.expect_exact(patterns)
            child.send(ON_THE_WAY[i][1])
            if i == len(ON_THE_WAY) - 1:
                break
        child.send(b"XY" + KEY_LEFT + KEY_BACKSPACE + b"A\r" + REST_OF_ANSWERS)
        self.assertEqual(self.first_answer(child), b"AY")


class LineEditorThroughAPipe(e2e.ScratchTestCase):

    def test_the_transcript_shows_each_answer_as_ended(self):
        status, out, err = self.run_piped(
            b"11" + self.keys_between_warning_and_wizard() + b"ACD" + KEY_LEFT + KEY_LEFT + b"B" + KEY_END
            + KEY_DELETE + b"\r" + REST_OF_ANSWERS)
        self.assertEqual((status, err), (0, b""))
        self.assertIn(CRLF + FIRST_QUESTION + b"ABCD" + CRLF + SECOND_QUESTION + b"2" + CRLF, out)
        self.assertNotIn(b"\x1b", out[out.find(FIRST_QUESTION):])
        self.assertNotIn(b"\x07", out)

    def keys_between_warning_and_wizard(self):
        """Through a pipe the stages cannot be watched: walk them in a
        terminal first and replay the keys they took."""
        child = self.spawn()
        taken = b""
        patterns = [p for p, _ in ON_THE_WAY] + [FIRST_QUESTION]
        while True:
            i = child.expect_exact(patterns)
            if i == len(ON_THE_WAY):
                break
            child.send(ON_THE_WAY[i][1])
            taken += ON_THE_WAY[i][1]
        child.close(True)
        clear_directory(self.dir)
        return taken[2:]


if __name__ == "__main__":
    e2e.main()
