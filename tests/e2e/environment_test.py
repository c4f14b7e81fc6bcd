"""The environment stages end to end: the utilities staged from the system
directory and checked, the code page menu, "chcp" switching the terminal's
translation, and a missing or broken utility ending the program."""

import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import kolm_e2e as e2e  # noqa: E402
from kolm_e2e import BANNER, CRLF, KEY_ENTER, TERMS_OPTIONS, WARNING, WARNING_OPTIONS, lines  # noqa: E402

UTILITIES = [b"cmd.exe", b"sort.exe", b"find.exe"]
PRESENCE = b"Checking the presence of vital assistance programs of MS Windows system:"
HEADING = lines(b"-" * 30, PRESENCE, b"- cmd.exe, sort.exe, find.exe", b"")
COPIED = lines(b"        1 file(s) copied.")
CHECK_HEADING = lines(b"", PRESENCE)
MENU = lines(b"-" * 31, b"<1> list        Windows code page",
             b"<2> list/select Windows code page - increment", b"<8> exit, end")
STEP_PROMPT = lines(b"any key to continue, <3> select, <8> exit")

CODE_PAGES = [
    (b"Windows-1250", b"Central Europe languages: Albanian, Croatian, Czech, Hungarian, Polish, Romanian, "
                      b"Serbian (Latin), Slovak, Slovenian"),
    (b"Windows-1251", b"Cyrillic languages: Azeri, Belarusian, Bulgarian, Macedonian, Kazakh, Kyrgyz, Mongolian, "
                      b"Russian, Serbian, Tatar, Ukrainian, Uzbek"),
    (b"Windows-1252", b"Latin 1 languages: Afrikaans, Basque, Catalan, Danish, Dutch, English, Faroese, Finnish, "
                      b"French, Galician, German, Icelandic, Indonesian, Italian, Malay, Norwegian, Portuguese, "
                      b"Spanish, Swahili, Swedish"),
    (b"Windows-1253", b"Greek"),
    (b"Windows-1254", b"Turkic languages: Azeri (Latin), Turkish, Uzbek (Latin)"),
    (b"Windows-1255", b"Hebrew"),
    (b"Windows-1256", b"Arabic, Farsi, Urdu"),
    (b"Windows-1257", b"Baltic languages: Estonian, Latvian, Lithuanian"),
    (b"Windows-1258", b"Vietnamese"),
    (b"Windows-54936", b"China"),
]

FAILURE_LINE = b"Most likely it is necessary to updated the system path variable."
KONEC = lines(b"<9> konec")
NOT_RECOGNIZED = b"'%s' is not recognized as an internal or external command,\r\noperable program or batch file.\r\n"
CANNOT_RUN = b"The system cannot execute the specified program.\r\n"

FIRST_QUESTION = b"Column name         for start sort  = ? "
REPORT_LINE = b"Column name                  for start sort = "
SEPARATOR_OPTIONS_END = b"2 decimal separator = , \r\n"

# A listing line: date, time, then <DIR> or the size, then the name.
LISTING_ENTRY = re.compile(rb"\d\d/\d\d/\d{4}  \d\d:\d\d [AP]M(?:    <DIR>          |[ \d,]{18} )(.+)")


def entry(number):
    """The two lines that show one code page: number, next print zone, name;
    then its languages."""
    name, languages = CODE_PAGES[number - 1]
    number_text = b" %d" % number
    return number_text + b" " * (14 - len(number_text)) + name + CRLF + languages + CRLF


def step(number):
    return CRLF + entry(number) + STEP_PROMPT


def selection(number):
    name = CODE_PAGES[number - 1][0]
    return (lines(b"-" * 31) + entry(number) + lines(b"Windows code page = " + name)
            + lines(b"Active code page: " + name[len(b"Windows-"):]) + CRLF + lines(b"-" * 30))


def up_to_the_menu(copied=3):
    """Everything after the warning's prompt when every check passes."""
    return (CRLF + HEADING + COPIED * copied + CHECK_HEADING + lines(b"cmd", b"sort", b"find")
            + CRLF + MENU)


def listed_names(content):
    return [m.group(1) for m in map(LISTING_ENTRY.fullmatch, content.split(CRLF)) if m]


def build_system_dir():
    return os.path.join(os.path.dirname(os.path.dirname(e2e.BINARY)), "lib", "kolm_subtotal", "system32")


class EnvironmentInTerminal(e2e.ScratchTestCase):

    def reach_menu(self, **spawn_args):
        child = self.spawn(**spawn_args)
        self.expect_exact_bytes(child, BANNER + TERMS_OPTIONS)
        child.send(b"1")
        self.expect_exact_bytes(child, WARNING + WARNING_OPTIONS)
        child.send(b"1")
        return child

    def test_whole_dialogue_to_the_reports_and_the_files_it_leaves(self):
        child = self.reach_menu()
        self.expect_exact_bytes(child, up_to_the_menu())
        child.send(b"2")
        self.expect_exact_bytes(child, step(1))
        child.send(b"3")
        self.expect_exact_bytes(child, selection(1))
        child.send(b"1")
        child.expect_exact(SEPARATOR_OPTIONS_END)
        for prompt, answer in ((b"for start sort  = ? ", b"A"), (b"for sort  = ? ", b"2"),
                               (b"(subtotal)    = ? ", b"F"), (b"data cell   = ? ", b"2"),
                               (b"free area = ? ", b"H")):
            child.expect_exact(prompt)
            child.send(answer + KEY_ENTER)
        status, signal_status, _ = self.wait_exit(child)
        self.assertEqual((status, signal_status), (0, None))

        self.assertEqual(self.files(), sorted([
            "check_01.txt", "check_02.txt", "cmd.exe", "find.exe", "kolm_subtotal.htm", "kolm_subtotal.txt",
            "out_null.txt", "sort.exe", "stm_01.txt"]))
        self.assertIn(b'=IF(A2<>A3,ROW(),"")' + CRLF, self.read("kolm_subtotal.txt"))

        listing = self.read("stm_01.txt")
        self.assertTrue(listing.endswith(CRLF))
        self.assertIn(b" Directory of c:\\windows\\system32" + CRLF, listing)
        self.assertEqual(listed_names(listing), [b"cmd.exe", b"find.exe", b"sort.exe"])
        for name in UTILITIES:
            with open(os.path.join(build_system_dir(), name.decode()), "rb") as f:
                self.assertEqual(self.read(name.decode()), f.read())
            self.assertTrue(os.stat(os.path.join(self.dir, name.decode())).st_mode & stat.S_IXUSR)

        # The last check's listing of this directory, before the reports.
        check_01 = self.read("check_01.txt")
        self.assertEqual(listed_names(check_01), [
            b".", b"..", b"check_01.txt", b"cmd.exe", b"find.exe", b"out_null.txt", b"sort.exe", b"stm_01.txt"])
        found = [line + CRLF for line in check_01.split(CRLF) if b".exe" in line.lower()]
        self.assertEqual(self.read("check_02.txt"), CRLF + b"---------- check_01.txt" + CRLF + b"".join(found))
        self.assertEqual(self.read("out_null.txt"), b"")

    def test_code_page_menu_keys(self):
        child = self.reach_menu()
        self.expect_exact_bytes(child, up_to_the_menu())
        child.send(b"3")  # not a menu key
        self.expect_quiet(child)

        child.send(b"1")
        self.expect_exact_bytes(child, b"".join(entry(n) + CRLF for n in range(1, 11)) + MENU)
        child.send(b"1")
        self.expect_exact_bytes(child, b"".join(entry(n) + CRLF for n in range(1, 11)) + MENU)

        # Any key but 3 and 8 steps on; 8 goes back to the menu.
        child.send(b"2")
        self.expect_exact_bytes(child, step(1))
        for number, key in ((2, b"1"), (3, b"2"), (4, b"9"), (5, e2e.KEY_F1), (6, b"x")):
            child.send(key)
            self.expect_exact_bytes(child, step(number))
        child.send(b"8")
        self.expect_exact_bytes(child, MENU)

        # A fresh step view starts at entry 1; after entry 10 it is back at the menu.
        child.send(b"2")
        self.expect_exact_bytes(child, step(1))
        for number in range(2, 11):
            child.send(b" ")
            self.expect_exact_bytes(child, step(number))
        child.send(b" ")
        self.expect_exact_bytes(child, MENU)

        child.send(b"2")
        self.expect_exact_bytes(child, step(1))
        for number in range(2, 11):
            child.send(b"\r")
            self.expect_exact_bytes(child, step(number))
        child.send(b"3")
        self.expect_exact_bytes(child, selection(10) + lines(b"", b"Select decimal separator", b""))

    def test_eight_at_the_menu_ends_the_program(self):
        child = self.reach_menu()
        self.expect_exact_bytes(child, up_to_the_menu())
        child.send(b"2")
        self.expect_exact_bytes(child, step(1))
        child.send(b"8")
        self.expect_exact_bytes(child, MENU)
        child.send(b"8")
        status, signal_status, rest = self.wait_exit(child)
        self.assertEqual((status, signal_status, rest), (0, None, lines(b"End")))

    def test_a_character_typed_after_chcp_1250_reaches_the_report_as_its_byte(self):
        child = self.reach_menu(env={"LANG": "C.UTF-8"})
        child.expect_exact(MENU)
        child.send(b"23")
        child.expect_exact(selection(1))
        child.send(b"1")
        child.expect_exact(FIRST_QUESTION)
        # Č is byte 200 in code page 1250; the page has no 中.
        child.send("Č中".encode("utf-8") + KEY_ENTER)
        self.expect_exact_bytes(child, "Č?".encode("utf-8") + CRLF)  # the echo, shown in 1250
        child.send(b"2\rF\r2\rH\r")
        status, _, _ = self.wait_exit(child)
        self.assertEqual(status, 0)
        self.assertIn(CRLF + REPORT_LINE + b"\xc8?" + CRLF, self.read("kolm_subtotal.txt"))


class BrokenUtilities(e2e.ScratchTestCase):
    """A copy of the build tree whose system directory lacks a utility, or
    holds one that does not run."""

    def tree_with(self, missing=None, broken=None):
        tree = os.path.join(self._tree.name, "tree")
        shutil.rmtree(tree, ignore_errors=True)
        system_dir = os.path.join(tree, "lib", "kolm_subtotal", "system32")
        os.makedirs(os.path.join(tree, "bin"))
        shutil.copytree(build_system_dir(), system_dir)
        program = os.path.join(tree, "bin", "kolm_subtotal")
        shutil.copy2(e2e.BINARY, program)
        if missing:
            os.remove(os.path.join(system_dir, missing))
        if broken:
            with open(os.path.join(system_dir, broken), "wb") as f:
                f.write(b"not a program\n")
        return program

    def setUp(self):
        super().setUp()
        self._tree = tempfile.TemporaryDirectory(prefix="kolm_tree_")
        self.addCleanup(self._tree.cleanup)

    def run_tree(self, program, keys):
        proc = subprocess.run([program], input=keys, cwd=self.dir, capture_output=True, timeout=60)
        return proc.returncode, proc.stdout, proc.stderr

    def test_the_failed_check_names_its_utility_and_only_9_ends(self):
        # (missing, broken, failed check, progress words printed, what the
        #  failing command says, files left)
        cases = [
            ("cmd.exe", None, 1, [b"cmd"], NOT_RECOGNIZED % b"cmd",
             ["check_01.txt", "find.exe", "sort.exe", "stm_01.txt"]),
            (None, "cmd.exe", 1, [b"cmd"], CANNOT_RUN,
             ["check_01.txt", "cmd.exe", "find.exe", "sort.exe", "stm_01.txt"]),
            ("sort.exe", None, 2, [b"cmd", b"sort"], NOT_RECOGNIZED % b"sort",
             ["check_01.txt", "cmd.exe", "find.exe", "out_null.txt", "stm_01.txt"]),
            (None, "sort.exe", 2, [b"cmd", b"sort"], CANNOT_RUN,
             ["check_01.txt", "cmd.exe", "find.exe", "out_null.txt", "sort.exe", "stm_01.txt"]),
            ("find.exe", None, 3, [b"cmd", b"sort", b"find"], NOT_RECOGNIZED % b"find",
             ["check_01.txt", "check_02.txt", "cmd.exe", "out_null.txt", "sort.exe", "stm_01.txt"]),
            (None, "find.exe", 3, [b"cmd", b"sort", b"find"], CANNOT_RUN,
             ["check_01.txt", "check_02.txt", "cmd.exe", "find.exe", "out_null.txt", "sort.exe", "stm_01.txt"]),
        ]
        for missing, broken, check, words, error, files in cases:
            with self.subTest(missing=missing, broken=broken):
                for name in os.listdir(self.dir):
                    os.remove(os.path.join(self.dir, name))
                program = self.tree_with(missing, broken)
                # Keys other than 9 (the menu's and the prompts' among them) do nothing.
                status, out, err = self.run_tree(program, b"11" + b"1238\x1b\r" + b"9" + b"123")
                failed = UTILITIES[check - 1]
                expected = (CRLF + HEADING + COPIED * (3 if broken else 2) + CHECK_HEADING + lines(*words)
                            + lines(b"Check availability " + failed + b".", FAILURE_LINE) + KONEC)
                self.assertEqual(out, BANNER + TERMS_OPTIONS + WARNING + WARNING_OPTIONS + expected)
                self.assertEqual((status, err), (0, error))
                self.assertEqual(self.files(), files)

    def test_at_konec_in_a_terminal_other_keys_change_nothing(self):
        program = self.tree_with(missing="sort.exe")
        child = self.spawn(command=e2e.shell_quote(program))
        child.send(b"11")
        child.expect_exact(lines(b"Check availability sort.exe.", FAILURE_LINE) + KONEC)
        self.expect_keys_ignored(child, (b"1", b"2", b"8", b"3", e2e.KEY_ESC, e2e.KEY_F1, b"\r"))
        child.send(b"9")
        status, signal_status, rest = self.wait_exit(child)
        self.assertEqual((status, signal_status, rest), (0, None, b""))


class EnvironmentThroughAPipe(e2e.ScratchTestCase):

    def test_eight_at_the_menu_after_the_checks(self):
        status, out, err = self.run_piped(b"11" + b"38")
        self.assertEqual(out, BANNER + TERMS_OPTIONS + WARNING + WARNING_OPTIONS + up_to_the_menu()
                         + lines(b"End"))
        self.assertEqual((status, err), (0, b""))
        self.assertEqual(self.files(), sorted([
            "check_01.txt", "check_02.txt", "cmd.exe", "find.exe", "out_null.txt", "sort.exe", "stm_01.txt"]))


if __name__ == "__main__":
    e2e.main()
