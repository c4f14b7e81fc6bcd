"""The generated formulas at work: for a few layouts a sorted table with
groups of varied sizes gets the formulas of the text report in their cells,
copied down to the end of the table, and Gnumeric recalculates it. Every
flag, label and sum must match what the groups give when counted here."""

import csv
import itertools
import os
import random
import re
import shutil
import subprocess
import sys
import zipfile
from xml.sax.saxutils import escape, quoteattr

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import kolm_e2e  # noqa: E402
from kolm_e2e import CRLF  # noqa: E402
from wizard_test import column_name, column_number, keys_to_wizard, typed  # noqa: E402

SSCONVERT = shutil.which("ssconvert") or ("/usr/bin/ssconvert" if os.path.exists("/usr/bin/ssconvert") else None)

# (sort start, levels, data column, start row, free area, separator, seed)
LAYOUTS = [
    ("A", 1, "D", 2, "H", ",", 1),
    ("A", 2, "F", 2, "H", ",", 2),
    ("b", 3, "f", 4, "j", ";", 3),
    ("Y", 3, "AC", 3, "AE", ",", 4),
    ("C", 5, "B", 2, "M", ";", 5),
]

REFERENCE = re.compile(r"(?<![A-Za-z0-9_$.\[])(\$?)([A-Z]{1,3})(\$?)([0-9]+)(?![0-9A-Za-z_(])")


def report_steps(text_report):
    """(formula, column, row) of every step of a text report."""
    lines = text_report.split(CRLF)
    steps = []
    for i, line in enumerate(lines):
        if line.startswith(b"step = "):
            formula = lines[i + 2].decode("latin-1")
            cell = re.fullmatch(rb"Copy formula in cell ([A-Z]+)([0-9]+)\.", lines[i + 3])
            steps.append((formula, cell.group(1).decode(), int(cell.group(2))))
    return steps


def outside_quotes(formula, change):
    """Applies `change` to the parts of the formula outside quoted text."""
    parts = formula.split('"')
    return '"'.join(change(p) if i % 2 == 0 else p for i, p in enumerate(parts))


def copied_down(formula, rows):
    """The formula as the spreadsheet has it `rows` rows further down."""
    def move(match):
        col_anchor, col, row_anchor, row = match.groups()
        new_row = int(row) if row_anchor else int(row) + rows
        return col_anchor + col + row_anchor + str(new_row)
    return outside_quotes(formula, lambda part: REFERENCE.sub(move, part))


def make_table(levels, seed):
    """Sorted key tuples with groups of varied sizes, and a value per row.

    An inner key carries on across an outer break (the first inner key of a
    group repeats the last one of the group before), so only the outer flag
    can end the inner group there."""
    rng = random.Random(seed)
    counters = [0] * levels
    sizes = [1, 3]  # the first two innermost groups: one row, then three
    keys = []

    def fill(prefix, level):
        for sibling in range(4 if level == 0 else rng.randint(1, 3)):
            if sibling > 0:
                counters[level] += 1
            # Text keys on even levels, numbers on odd ones.
            key = prefix + ("k%02d" % counters[level] if level % 2 == 0 else counters[level] + 1,)
            if level == levels - 1:
                keys.extend([key] * (sizes.pop(0) if sizes else rng.randint(1, 4)))
            else:
                fill(key, level + 1)

    fill((), 0)
    values = [rng.randint(-50, 500) for _ in keys]
    return keys, values


def expected_cells(layout, keys, values):
    """{(column number, row): shown text} for every generated cell."""
    start, levels, data, first_row, free = layout[:5]
    cells = {}
    n = len(keys)
    for i in range(1, levels + 1):
        flag_col = column_number(free.encode()) + i - 1
        label_col = column_number(free.encode()) + levels + 2 * i - 2
        sum_col = label_col + 1
        total = 0
        for r, key in enumerate(keys):
            row = first_row + r
            total += values[r]
            last = r == n - 1 or keys[r + 1][:i] != key[:i]
            label = ""
            if last:
                names = "".join("%s=%s, " % (column_name(column_number(start.encode()) + j).decode(), key[j])
                                for j in range(i))
                label = "SUBTOTAL_0%d(%s%s)=" % (i, names, data.upper())
            cells[(flag_col, row)] = str(row) if last else ""
            cells[(label_col, row)] = label
            cells[(sum_col, row)] = str(total) if last else ""
            if last:
                total = 0
    return cells


def gnumeric_workbook(cells):
    """A Gnumeric XML workbook; formulas use its own syntax, with commas."""
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<gnm:Workbook xmlns:gnm="http://www.gnumeric.org/v10.dtd">',
           "<gnm:SheetNameIndex><gnm:SheetName>T</gnm:SheetName></gnm:SheetNameIndex>",
           "<gnm:Sheets><gnm:Sheet><gnm:Name>T</gnm:Name>",
           "<gnm:MaxCol>%d</gnm:MaxCol><gnm:MaxRow>%d</gnm:MaxRow><gnm:Cells>"
           % (max(c for c, _ in cells), max(r for _, r in cells))]
    for (col, row), content in sorted(cells.items()):
        if isinstance(content, int):
            out.append('<gnm:Cell Row="%d" Col="%d" ValueType="40">%d</gnm:Cell>' % (row - 1, col - 1, content))
        else:
            value_type = "" if content.startswith("=") else ' ValueType="60"'
            out.append('<gnm:Cell Row="%d" Col="%d"%s>%s</gnm:Cell>' % (row - 1, col - 1, value_type, escape(content)))
    out.append("</gnm:Cells></gnm:Sheet></gnm:Sheets></gnm:Workbook>")
    return "\n".join(out).encode()


def ods_workbook(cells):
    """An OpenDocument workbook; its formulas separate arguments with
    semicolons and write references in brackets."""
    max_col = max(c for c, _ in cells)
    rows = []
    for row in range(1, max(r for _, r in cells) + 1):
        row_cells = []
        for col in range(1, max_col + 1):
            content = cells.get((col, row))
            if content is None:
                row_cells.append("<table:table-cell/>")
            elif isinstance(content, int):
                row_cells.append('<table:table-cell office:value-type="float" office:value="%d"/>' % content)
            elif content.startswith("="):
                formula = outside_quotes(content, lambda p: REFERENCE.sub(lambda m: "[." + m.group(0) + "]", p))
                row_cells.append("<table:table-cell table:formula=%s/>" % quoteattr("of:" + formula))
            else:
                row_cells.append('<table:table-cell office:value-type="string"><text:p>%s</text:p>'
                                 "</table:table-cell>" % escape(content))
        rows.append("<table:table-row>%s</table:table-row>" % "".join(row_cells))
    content = ('<?xml version="1.0" encoding="UTF-8"?>'
               '<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"'
               ' xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"'
               ' xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2">'
               '<office:body><office:spreadsheet><table:table table:name="T">%s</table:table>'
               "</office:spreadsheet></office:body></office:document-content>" % "".join(rows))
    manifest = ('<?xml version="1.0" encoding="UTF-8"?>'
                '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"'
                ' manifest:version="1.2">'
                '<manifest:file-entry manifest:full-path="/"'
                ' manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>'
                '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>'
                "</manifest:manifest>")
    return manifest, content


class SpreadsheetTest(kolm_e2e.ScratchTestCase):

    def setUp(self):
        if not SSCONVERT:
            self.skipTest("ssconvert (Gnumeric) is not installed: the formulas cannot be recalculated")
        super().setUp()

    def recalculated(self, cells, sep):
        if sep == ",":
            path = os.path.join(self.dir, "table.gnumeric")
            with open(path, "wb") as f:
                f.write(gnumeric_workbook(cells))
        else:
            path = os.path.join(self.dir, "table.ods")
            manifest, content = ods_workbook(cells)
            with zipfile.ZipFile(path, "w") as z:
                z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet")
                z.writestr("META-INF/manifest.xml", manifest, compress_type=zipfile.ZIP_DEFLATED)
                z.writestr("content.xml", content, compress_type=zipfile.ZIP_DEFLATED)
        out = os.path.join(self.dir, "table.csv")
        proc = subprocess.run([SSCONVERT, "--recalc", path, out], capture_output=True, timeout=120)
        self.assertEqual(proc.returncode, 0, proc.stderr)
        with open(out, newline="", encoding="utf-8") as f:
            return list(csv.reader(f))

    def test_formulas_compute_group_flags_labels_and_sums(self):
        for layout in LAYOUTS:
            start, levels, data, first_row, free, sep, seed = layout
            with self.subTest(layout=layout):
                answers = [a.encode() for a in (start, str(levels), data, str(first_row), free)]
                status, _, err = self.run_piped(keys_to_wizard(sep.encode()) + typed(*answers))
                self.assertEqual((status, err), (0, b""))
                steps = report_steps(self.read("kolm_subtotal.txt"))
                self.assertEqual(len(steps), 3 * levels)

                keys, values = make_table(levels, seed)
                # The table must hold the cases that matter: a group of one
                # row, a long group, and (with more levels) an inner key that
                # stays the same across an outer break.
                sizes = [len(list(g)) for _, g in itertools.groupby(keys)]
                self.assertIn(1, sizes)
                self.assertGreaterEqual(max(sizes), 3)
                if levels > 1:
                    self.assertTrue(any(a[0] != b[0] and a[1] == b[1] for a, b in zip(keys, keys[1:])))
                last_row = first_row + len(keys) - 1
                # The export starts at the first cell in use: keep it at A1.
                cells = {(1, 1): "table"}
                data_col = column_number(data.encode())
                key_cols = [column_number(start.encode()) + j for j in range(levels)]
                for row in range(1, first_row):
                    cells[(data_col, row)] = "heading"
                    for col in key_cols:
                        cells[(col, row)] = "key"
                for r, key in enumerate(keys):
                    for col, value in zip(key_cols, key):
                        cells[(col, first_row + r)] = value
                    cells[(data_col, first_row + r)] = values[r]
                for formula, col_name, row in steps:
                    self.assertEqual(row, first_row)
                    for target in range(first_row, last_row + 1):
                        cells[(column_number(col_name.encode()), target)] = copied_down(formula, target - row)

                sheet = self.recalculated(cells, sep)
                expected = expected_cells(layout, keys, values)
                self.assertEqual(len(expected), 3 * levels * len(keys))
                for (col, row), shown in sorted(expected.items()):
                    got = sheet[row - 1][col - 1] if row <= len(sheet) and col <= len(sheet[row - 1]) else ""
                    self.assertEqual(got, shown, "cell %s%d" % (column_name(col).decode(), row))


if __name__ == "__main__":
    kolm_e2e.main()
