// The worksheet formulas of one level: break flag, label and sum. Each is
// returned upper-cased, exactly as the reports print it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "subtotal/subtotal_params.h"

namespace kolm::subtotal {

std::string break_flag_formula(const SubtotalParams& params, std::string_view separator, std::int32_t level);
std::string label_formula(const SubtotalParams& params, std::string_view separator, std::int32_t level);
std::string sum_formula(const SubtotalParams& params, std::string_view separator, std::int32_t level);

// A formula text as the text report prints it, and the same for the HTML
// report (see html_text.h), built side by side.
struct FormulaText {
    std::string text;
    std::string html;

    void clear() {
        text.clear();
        html.clear();
    }
};

// The formulas of a run, level after level. The break flags and labels carry
// lists with one entry per outer level; kept here and grown by one entry per
// level, so a run of n levels costs what it writes rather than n times more.
// All texts are kept upper-cased.
struct FormulaSeries {
    std::string separator;
    std::string start_column;  // the sort start column as typed
    std::string data_column;   // as typed
    std::string row;           // start row
    std::string next_row;      // start row + 1
    std::int32_t sort_start_number = 0;
    std::int32_t free_area_number = 0;
    FormulaText flag_tests;  // tests of levels 1..flag_test_levels
    std::int32_t flag_test_levels = 0;
    FormulaText keys;  // key entries of levels 1..key_levels
    std::int32_t key_levels = 0;
};

FormulaSeries start_formula_series(const SubtotalParams& params, std::string_view separator);

// Each appends the formula of `level` (1 or more) to `out`. The lists grow
// to the level as needed; asked for an earlier level they start again.
void append_break_flag_formula(FormulaSeries& series, std::int32_t level, FormulaText& out);
void append_label_formula(FormulaSeries& series, std::int32_t level, FormulaText& out);
void append_sum_formula(const FormulaSeries& series, std::int32_t level, FormulaText& out);

}  // namespace kolm::subtotal
