"""The subtotal wizard end to end: the separator choice, the five answers and
the two reports, through a pipe and in a pseudo-terminal."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import html5lib  # noqa: E402

import kolm_e2e  # noqa: E402
from kolm_e2e import CRLF, KEY_ENTER, WEB_ADDRESS, lines  # noqa: E402

FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures")
TXT = "kolm_subtotal.txt"
HTM = "kolm_subtotal.htm"
PROGRAM = b"kolm_subtotal_01_110.exe"
SEPARATOR_KEYS = {b",": b"1", b";": b"2"}


def keys_before_separator():
    """Every key from start-up up to the separator choice: the terms, the
    warning, and the code page menu's step view with its first entry chosen
    (the utility checks take no key when they pass)."""
    return b"1" + b"1" + b"2" + b"3"


def keys_to_wizard(separator=b","):
    return keys_before_separator() + SEPARATOR_KEYS[separator]


def typed(*answers):
    return b"".join(a + KEY_ENTER for a in answers)


# ---- An independent model of the reports, from the documented layouts ----

def column_number(name):
    name = name.strip(b" ").upper()
    if len(name) == 2:
        return (name[0] - 64) * 26 + (name[1] - 64)
    return (name[0] if name else 0) - 64


def column_name(n):
    b, r = divmod(n, 26)
    if b < 1:
        return bytes([64 + r])
    if b == 1 and r == 0:
        return b"Z"
    if r > 0:
        return bytes([min(64 + b, 255), 64 + r])
    return bytes([min(63 + b, 255)]) + b"Z"


def shifted(name, offset):
    return column_name(column_number(name) + offset)


def integer_field(answer):
    """The integer value of the plain decimal answers these tests type."""
    return int(answer)


def formulas(start, levels, data, row, free, sep):
    """(kind, formula) of every step, in step order."""
    r, r1 = str(row).encode(), str(row + 1).encode()
    key = lambda i: shifted(start, i - 1)
    flag = lambda i: shifted(free, i - 1)
    steps = []
    for i in range(1, levels + 1):
        if i == 1:
            f = b"=if(" + start + r + b"<>" + start + r1 + sep + b'row()' + sep + b'"")'
        else:
            tests = sep.join(flag(j) + r + b'<>""' for j in range(1, i))
            f = (b"=if(or(" + key(i) + r + b"<>" + key(i) + r1 + sep + tests + b")" + sep + b"row()" + sep
                 + b'"")')
        steps.append(("flag", f.upper()))
    for i in range(1, levels + 1):
        keys = b"".join(key(j) + b'="&' + key(j) + r + b'&", ' for j in range(1, i + 1))
        g = flag(i)
        label = (b"=if(" + g + r + b'<>""' + sep + b't("subtotal_0' + str(i).encode() + b"(" + keys + data
                 + b')=")' + sep + b'"")')
        total = (b"=if(" + g + r + b'<>""' + sep + b'sum(indirect("' + data + b'"&text((max(' + g + b"$" + r
                 + b':indirect("' + g + b'"&text(row()-1' + sep + b'"#")))+if(row()>' + r + sep + b"1" + sep
                 + b'0))' + sep + b'"#")):indirect("' + data + b'"&text(row()' + sep + b'"#")))' + sep + b'"")')
        steps += [("label", label.upper()), ("sum", total.upper())]
    return steps


def escaped(text):
    return text.replace(b"&", b"&amp;").replace(b"<", b"&lt;").replace(b">", b"&gt;")


def signed(value):
    return (b" " if value >= 0 else b"") + str(value).encode()


BOUND_NOTE = b"Only 702 columns in a group are supported: steps follow for the first 702."


def expected_reports(answers, sep=b","):
    start, count_text, data, row_text, free = answers
    count, row = integer_field(count_text), integer_field(row_text)
    levels = max(0, min(count, 702))
    text = [b" ", b"Quorvex (Excel)",
            b"Program for creating multi-level subtotal() formulas in MS Excel compatible tables", b" ",
            b"Program name: " + PROGRAM, b"More information: " + WEB_ADDRESS, b" ",
            b"Before using formulas, table must be sort on group of columns.",
            b"Column name                  for start sort = " + start,
            b"The number of columns in the group for sort = " + signed(count),
            b"Columns must be arranged in a compact group.", b" ",
            b"Column name with data (subtotal)    = " + data,
            b"Row number (start) with data cell   = " + signed(row),
            b"Column name with start of free area = " + free, b" "]
    html = [b"<html>", b"<body>", b"Quorvex (Excel)", b"<br>",
            b"Program for creating multi-level subtotal() formulas in MS Excel compatible tables", b"<br>",
            b"Program name: " + PROGRAM, b"<br>",
            b'<a href="' + WEB_ADDRESS + b'">More information: ' + WEB_ADDRESS + b"</a>", b"<br>", b"<br>",
            b"Before using formulas, table must be sort on group of columns.", b"<br>",
            b"Column name                  for start sort = " + escaped(start), b"<br>",
            b"The number of columns in the group for sort = " + signed(count), b"<br>",
            b"Columns must be arranged in a compact group.", b"<br>", b"<br>",
            b"Column name with data (subtotal)    = " + escaped(data), b"<br>",
            b"Row number (start) with data cell   = " + signed(row), b"<br>",
            b"Column name with start of free area = " + escaped(free), b"<br>"]
    if count > levels:
        text.append(BOUND_NOTE)
        html.append(BOUND_NOTE + b"<br>")
    copy_down = b"Then copy formula from these cell by the end of the table."
    for k, (kind, f) in enumerate(formulas(start, levels, data, row, free, sep), 1):
        cell = shifted(free, k - 1) + str(row).encode()
        step = b"step = " + str(k).encode()
        text += [b" ", b"-" * 20, step, b" ", f, b"Copy formula in cell " + cell + b".", copy_down]
        html += [b"<br>", b"-" * 20, b"<br>"]
        html += [step + b"<br>"] if kind == "flag" else [step, b"<br>"]
        html += [escaped(f), b"<br>", b"Copy formula in cell " + escaped(cell) + b".", b"<br>", copy_down, b"<br>"]
        if kind == "sum":
            html.append(b"<br>")
    html += [b"<br>", b"<br>", b"</body>", b"</html>"]
    return lines(*text), lines(*html)


def separator_transcript(sep):
    choice = {b",": b"decimal separator = . ", b";": b"decimal separator = , "}[sep]
    return lines(b"", b"Select decimal separator", b"", b"1 decimal separator = . ", b"2 decimal separator = , ",
                 b"", choice)


def wizard_transcript(answers, notes=(), failures=()):
    """The console from the wizard's first line on, for a piped run, where
    each answer shows once, as it was ended."""
    a = answers
    return (lines(b"", b"----- selecting cells for multilevel sum -----",
                  b"Output files = kolm_subtotal.txt, kolm_subtotal.htm", b"",
                  b"Before using formulas, table must be sort on group of columns.", b"",
                  b"Column name         for start sort  = ? " + a[0],
                  b"Numeber columns in group  for sort  = ? " + a[1],
                  b"Columns must be arranged in a compact group.", b"",
                  b"Column name with data (subtotal)    = ? " + a[2],
                  b"Row number (start) with data must be row() > 1",
                  b"Row number (start) with data cell   = ? " + a[3], b"",
                  b"Column name with start of free area = ? " + a[4], b"",
                  *notes, b"", b"-" * 32, b"Output files = kolm_subtotal.txt, kolm_subtotal.htm", b"",
                  *failures))


def visible_text(fragment):
    """The text a browser shows for one line of the HTML report."""
    return "".join(html5lib.parseFragment(fragment.decode("latin-1"), treebuilder="etree").itertext())


WORKED = (b"A", b"2", b"F", b"2", b"H")


class WizardTest(kolm_e2e.ScratchTestCase):

    def run_wizard(self, answers, sep=b",", extra=b""):
        status, out, err = self.run_piped(keys_to_wizard(sep) + typed(*answers) + extra)
        return status, out, err

    def assert_piped_run(self, answers, sep=b",", notes=(), fixture=None):
        status, out, err = self.run_wizard(answers, sep)
        self.assertEqual((status, err), (0, b""))
        at = out.find(separator_transcript(sep)[:30])
        self.assertGreaterEqual(at, 0, out)
        self.assertEqual(out[at:], separator_transcript(sep) + wizard_transcript(answers, notes))
        text, html = expected_reports(answers, sep)
        if fixture:
            with open(os.path.join(FIXTURES, fixture + ".txt"), "rb") as f:
                self.assertEqual(text, f.read(), "the model disagrees with the fixture")
            with open(os.path.join(FIXTURES, fixture + ".htm"), "rb") as f:
                self.assertEqual(html, f.read(), "the model disagrees with the fixture")
        self.assertEqual(self.read(TXT), text)
        self.assertEqual(self.read(HTM), html)
        self.assert_html_shows_text_report()

    def assert_html_shows_text_report(self):
        """A browser shows each formula, cell and answer of the HTML report
        as the text report has it, and finds no markup but the report's own."""
        text, html = self.read(TXT).split(CRLF), self.read(HTM).split(CRLF)
        tags = {el.tag.split("}")[-1] for el in html5lib.parse(b"\r\n".join(html).decode("latin-1")).iter()}
        self.assertLessEqual(tags, {"html", "head", "body", "br", "a"})
        steps_text = [i for i, line in enumerate(text) if line.startswith(b"step = ")]
        steps_html = [i for i, line in enumerate(html) if line.startswith(b"step = ")]
        self.assertEqual(len(steps_text), len(steps_html))
        for t, h in zip(steps_text, steps_html):
            offset = 1 if html[h].endswith(b"<br>") else 2
            self.assertEqual(visible_text(html[h + offset]), text[t + 2].decode("latin-1"))
            self.assertEqual(visible_text(html[h + offset + 2]), text[t + 3].decode("latin-1"))
        for t, h in ((8, 13), (12, 20), (14, 24)):
            self.assertEqual(visible_text(html[h]), text[t].decode("latin-1"))

    def test_worked_example_both_separators(self):
        for sep, fixture in ((b",", "worked_example_point"), (b";", "worked_example_comma")):
            with self.subTest(sep=sep):
                self.assert_piped_run(WORKED, sep, fixture=fixture)

    def test_layouts(self):
        cases = [
            (b"A", b"0", b"F", b"2", b"H"),
            (b"A", b"1", b"F", b"2", b"H"),
            (b"C", b"4", b"AB", b"3", b"K"),
            (b"A", b"12", b"F", b"2", b"H"),
            (b"a", b"2", b"f", b"2", b"h"),       # lower case: same cells and formulas
            (b"A", b"-3", b"F", b"2", b"H"),      # negative count: header only
            (b"A", b"3", b"F", b"1", b"Z"),       # cells run from Z1 into AA1
            (b"LS", b"3", b"<b>&x", b"9", b"GT"),  # LT, GT and an answer that looks like markup
        ]
        for answers in cases:
            for sep in (b",", b";"):
                with self.subTest(answers=answers, sep=sep):
                    self.assert_piped_run(answers, sep)

    def test_report_sizes_and_cells(self):
        """Spot checks of the layout that do not lean on the model."""
        for count, steps, last_cell in ((0, 0, None), (1, 3, b"J2"), (4, 12, b"S2")):
            with self.subTest(count=count):
                self.run_wizard((b"A", str(count).encode(), b"F", b"2", b"H"))
                text, html = self.read(TXT), self.read(HTM)
                self.assertEqual(text.count(b"step = "), steps)
                self.assertEqual(len(text.split(CRLF)) - 1, 16 + 7 * steps)
                self.assertTrue(html.endswith(lines(b"<br>", b"<br>", b"</body>", b"</html>")))
                if count == 0:
                    self.assertEqual(len(html.split(CRLF)) - 1, 30)
                else:
                    self.assertIn(b"Copy formula in cell " + last_cell + b".\r\nThen", text)
                    self.assertNotIn(b"step = %d" % (steps + 1), text)
        self.run_wizard((b"A", b"2", b"F", b"2", b"Z"))
        cells = [line for line in self.read(TXT).split(CRLF) if line.startswith(b"Copy formula")]
        self.assertEqual(cells[:2], [b"Copy formula in cell Z2.", b"Copy formula in cell AA2."])

    def test_group_count_is_bounded(self):
        answers = (b"A", b"100000", b"F", b"2", b"H")
        self.assert_piped_run(answers, notes=(BOUND_NOTE,))
        self.assertEqual(self.read(TXT).count(b"\r\nstep = "), 3 * 702)

    def test_text_report_cannot_be_created(self):
        os.mkdir(os.path.join(self.dir, TXT))
        status, out, _ = self.run_wizard(WORKED)
        self.assertEqual(status, 1)
        self.assertTrue(out.endswith(wizard_transcript(WORKED, failures=(
            b"Report not written: kolm_subtotal.txt (open: Is a directory)",))), out[-400:])
        self.assertEqual(self.read(HTM), expected_reports(WORKED)[1])

    def test_html_report_cannot_be_created(self):
        os.mkdir(os.path.join(self.dir, HTM))
        status, out, _ = self.run_wizard(WORKED)
        self.assertEqual(status, 1)
        self.assertTrue(out.endswith(wizard_transcript(WORKED, failures=(
            b"Report not written: kolm_subtotal.htm (open: Is a directory)",))), out[-400:])
        self.assertEqual(self.read(TXT), expected_reports(WORKED)[0])

    def test_report_that_cannot_be_written(self):
        if not os.path.exists("/dev/full"):
            self.skipTest("no /dev/full to fill")
        os.symlink("/dev/full", os.path.join(self.dir, HTM))
        answers = (b"A", b"40", b"F", b"2", b"H")  # more than one buffer's worth
        status, out, _ = self.run_wizard(answers)
        self.assertEqual(status, 1)
        self.assertTrue(out.endswith(wizard_transcript(answers, failures=(
            b"Report not written: kolm_subtotal.htm (write: No space left on device)",))), out[-400:])
        self.assertEqual(self.read(TXT), expected_reports(answers)[0])

    def test_in_terminal_with_answers_typed_ahead(self):
        child = self.spawn()
        child.send(keys_to_wizard())
        child.expect_exact(b"decimal separator = . \r\n")
        # Everything at once, before the first question shows.
        child.send(typed(b"a", b"2", b"f", b"2", b"h"))
        for prompt in (b"for start sort  = ? ", b"for sort  = ? ", b"(subtotal)    = ? ",
                       b"data cell   = ? ", b"free area = ? "):
            child.expect_exact(prompt)
        child.expect_exact(lines(b"-" * 32, b"Output files = kolm_subtotal.txt, kolm_subtotal.htm", b""))
        status, _, rest = self.wait_exit(child)
        self.assertEqual((status, rest), (0, b""))
        text, html = expected_reports((b"a", b"2", b"f", b"2", b"h"))
        self.assertEqual((self.read(TXT), self.read(HTM)), (text, html))

    def test_in_terminal_typed_one_by_one(self):
        child = self.spawn()
        child.send(keys_to_wizard(b";"))
        for prompt, answer in ((b"for start sort  = ? ", b"A"), (b"for sort  = ? ", b"2"),
                               (b"(subtotal)    = ? ", b"F"), (b"data cell   = ? ", b"2"),
                               (b"free area = ? ", b"H")):
            child.expect_exact(prompt)
            child.send(answer + KEY_ENTER)
        child.expect_exact(b"Output files = kolm_subtotal.txt, kolm_subtotal.htm\r\n\r\n")
        status, _, rest = self.wait_exit(child)
        self.assertEqual((status, rest), (0, b""))
        for name, ext in ((TXT, ".txt"), (HTM, ".htm")):
            with open(os.path.join(FIXTURES, "worked_example_comma" + ext), "rb") as f:
                self.assertEqual(self.read(name), f.read())

    def test_separator_ignores_other_keys(self):
        status, out, _ = self.run_piped(keys_before_separator() + b"3890a\x1b[A" + b"2" + typed(*WORKED))
        self.assertEqual(status, 0)
        at = out.find(separator_transcript(b";")[:30])
        self.assertEqual(out[at:], separator_transcript(b";") + wizard_transcript(WORKED))


if __name__ == "__main__":
    kolm_e2e.main()
