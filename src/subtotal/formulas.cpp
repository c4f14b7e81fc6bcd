#include "subtotal/formulas.h"

#include <cstdint>

#include "dialogue/console/text_ops.h"
#include "subtotal/column_codec.h"
#include "subtotal/html_text.h"

namespace kolm::subtotal {

namespace {

using console::to_upper;

// Columns past ZZ can come out as lower-case bytes, and the formula is
// upper-cased whole.
std::string key_column(const FormulaSeries& s, std::int32_t level) {
    return to_upper(column_at(s.sort_start_number, level - 1));
}
std::string flag_column(const FormulaSeries& s, std::int32_t level) {
    return to_upper(column_at(s.free_area_number, level - 1));
}

void append_all(FormulaText& out, std::initializer_list<std::string_view> pieces) {
    for (const std::string_view piece : pieces) {
        out.text += piece;
        append_html_escaped(out.html, piece);
    }
}

// The lists are long at high levels; their HTML form is kept, not redone.
void append_list(FormulaText& out, const FormulaText& list) {
    out.text += list.text;
    out.html += list.html;
}

// Brings the flag-test list to the tests of levels 1..levels.
void grow_flag_tests(FormulaSeries& s, std::int32_t levels) {
    if (levels < s.flag_test_levels) {
        s.flag_tests.clear();
        s.flag_test_levels = 0;
    }
    while (s.flag_test_levels < levels) {
        if (s.flag_test_levels > 0) append_all(s.flag_tests, {s.separator});
        ++s.flag_test_levels;
        append_all(s.flag_tests, {flag_column(s, s.flag_test_levels), s.row, "<>\"\""});
    }
}

void append_key_entry(FormulaText& out, std::string_view key, std::string_view row) {
    append_all(out, {key, "=\"&", key, row, "&\", "});
}

// Brings the key list to the entries of levels 1..levels.
void grow_keys(FormulaSeries& s, std::int32_t levels) {
    if (levels < s.key_levels) {
        s.keys.clear();
        s.key_levels = 0;
    }
    while (s.key_levels < levels) {
        ++s.key_levels;
        append_key_entry(s.keys, key_column(s, s.key_levels), s.row);
    }
}

}  // namespace

FormulaSeries start_formula_series(const SubtotalParams& params, std::string_view separator) {
    FormulaSeries s;
    s.separator = to_upper(separator);
    s.start_column = to_upper(params.sort_start_column);
    s.data_column = to_upper(params.data_column);
    s.row = console::integer_text(params.start_row);
    // In 64 bits: the row after the last 32-bit row still has a number.
    s.next_row = std::to_string(std::int64_t{params.start_row} + 1);
    s.sort_start_number = column_to_number(params.sort_start_column);
    s.free_area_number = column_to_number(params.free_area_column);
    return s;
}

void append_break_flag_formula(FormulaSeries& s, std::int32_t level, FormulaText& out) {
    const std::string_view sep = s.separator;
    if (level <= 1) {
        // Level 1 compares the sort start column as it was typed.
        append_all(out, {"=IF(", s.start_column, s.row, "<>", s.start_column, s.next_row, sep, "ROW()", sep, "\"\")"});
        return;
    }
    grow_flag_tests(s, level - 1);
    const std::string key = key_column(s, level);
    append_all(out, {"=IF(OR(", key, s.row, "<>", key, s.next_row, sep});
    append_list(out, s.flag_tests);
    append_all(out, {")", sep, "ROW()", sep, "\"\")"});
}

void append_label_formula(FormulaSeries& s, std::int32_t level, FormulaText& out) {
    const std::string_view sep = s.separator;
    grow_keys(s, level - 1);
    const std::string flag = flag_column(s, level);
    append_all(out, {"=IF(", flag, s.row, "<>\"\"", sep, "T(\"SUBTOTAL_0", console::integer_text(level), "("});
    append_list(out, s.keys);
    append_key_entry(out, key_column(s, level), s.row);
    append_all(out, {s.data_column, ")=\")", sep, "\"\")"});
}

void append_sum_formula(const FormulaSeries& s, std::int32_t level, FormulaText& out) {
    const std::string_view sep = s.separator;
    const std::string flag = flag_column(s, level);
    const std::string_view row = s.row;
    const std::string_view data = s.data_column;
    append_all(out, {"=IF(", flag, row, "<>\"\"", sep});
    append_all(out, {"SUM(INDIRECT(\"", data, "\"&TEXT((MAX(", flag, "$", row, ":INDIRECT(\"", flag,
                     "\"&TEXT(ROW()-1", sep, "\"#\")))+IF(ROW()>", row, sep, "1", sep, "0))", sep, "\"#\")):"});
    append_all(out, {"INDIRECT(\"", data, "\"&TEXT(ROW()", sep, "\"#\")))", sep, "\"\")"});
}

std::string break_flag_formula(const SubtotalParams& params, std::string_view separator, std::int32_t level) {
    FormulaSeries series = start_formula_series(params, separator);
    FormulaText out;
    append_break_flag_formula(series, level, out);
    return out.text;
}

std::string label_formula(const SubtotalParams& params, std::string_view separator, std::int32_t level) {
    FormulaSeries series = start_formula_series(params, separator);
    FormulaText out;
    append_label_formula(series, level, out);
    return out.text;
}

std::string sum_formula(const SubtotalParams& params, std::string_view separator, std::int32_t level) {
    const FormulaSeries series = start_formula_series(params, separator);
    FormulaText out;
    append_sum_formula(series, level, out);
    return out.text;
}

}  // namespace kolm::subtotal
