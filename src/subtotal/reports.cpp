#include "subtotal/reports.h"

#include <algorithm>
#include <string>

#include "dialogue/console/output.h"
#include "dialogue/console/text_ops.h"
#include "dialogue/program_identity.h"
#include "subtotal/column_codec.h"
#include "subtotal/formulas.h"
#include "subtotal/html_text.h"

namespace kolm::subtotal {

namespace {

using console::kLineEnd;
using console::kNoEnding;
using console::print_integer;
using console::print_text;

constexpr std::string_view kTitle = "Quorvex (Excel)";
constexpr std::string_view kPurpose =
    "Program for creating multi-level subtotal() formulas in MS Excel compatible tables";
constexpr std::string_view kSortFirst = "Before using formulas, table must be sort on group of columns.";
constexpr std::string_view kStartColumnLabel = "Column name                  for start sort = ";
constexpr std::string_view kCountLabel = "The number of columns in the group for sort = ";
constexpr std::string_view kCompactGroup = "Columns must be arranged in a compact group.";
constexpr std::string_view kDataColumnLabel = "Column name with data (subtotal)    = ";
constexpr std::string_view kStartRowLabel = "Row number (start) with data cell   = ";
constexpr std::string_view kFreeAreaLabel = "Column name with start of free area = ";
constexpr std::string_view kStepRule = "--------------------";
constexpr std::string_view kCopyInCell = "Copy formula in cell ";
constexpr std::string_view kCopyDown = "Then copy formula from these cell by the end of the table.";
constexpr std::string_view kBreak = "<br>";

enum class StepKind { break_flag, label, sum };

void line(int file, std::string_view text) { print_text(file, text, kLineEnd); }

void line(int file, std::string_view first, std::string_view second) {
    print_text(file, first, kNoEnding);
    print_text(file, second, kLineEnd);
}

void number_line(int file, std::string_view label, std::int32_t value) {
    print_text(file, label, kNoEnding);
    print_integer(file, value, kLineEnd);
}

void copy_in_cell_line(int file, std::string_view cell) {
    print_text(file, kCopyInCell, kNoEnding);
    print_text(file, cell, kNoEnding);
    print_text(file, ".", kLineEnd);
}

void write_text_header(int file, const SubtotalParams& params, std::string_view program_name) {
    line(file, " ");
    line(file, kTitle);
    line(file, kPurpose);
    line(file, " ");
    line(file, "Program name: ", program_name);
    line(file, "More information: ", dialogue::kMakerWebAddress);
    line(file, " ");
    line(file, kSortFirst);
    line(file, kStartColumnLabel, params.sort_start_column);
    number_line(file, kCountLabel, params.group_column_count);
    line(file, kCompactGroup);
    line(file, " ");
    line(file, kDataColumnLabel, params.data_column);
    number_line(file, kStartRowLabel, params.start_row);
    line(file, kFreeAreaLabel, params.free_area_column);
    line(file, " ");
}

void write_html_header(int file, const SubtotalParams& params, std::string_view program_name) {
    const std::string address = html_escaped(dialogue::kMakerWebAddress);
    line(file, "<html>");
    line(file, "<body>");
    line(file, kTitle);
    line(file, kBreak);
    line(file, kPurpose);
    line(file, kBreak);
    line(file, "Program name: ", html_escaped(program_name));
    line(file, kBreak);
    line(file, "<a href=\"" + address + "\">More information: " + address + "</a>");
    line(file, kBreak);
    line(file, kBreak);
    line(file, kSortFirst);
    line(file, kBreak);
    line(file, kStartColumnLabel, html_escaped(params.sort_start_column));
    line(file, kBreak);
    number_line(file, kCountLabel, params.group_column_count);
    line(file, kBreak);
    line(file, kCompactGroup);
    line(file, kBreak);
    line(file, kBreak);
    line(file, kDataColumnLabel, html_escaped(params.data_column));
    line(file, kBreak);
    number_line(file, kStartRowLabel, params.start_row);
    line(file, kBreak);
    line(file, kFreeAreaLabel, html_escaped(params.free_area_column));
    line(file, kBreak);
}

void write_text_step(int file, std::int32_t step, std::string_view formula, std::string_view cell) {
    line(file, " ");
    line(file, kStepRule);
    line(file, "step = ", console::integer_text(step));
    line(file, " ");
    line(file, formula);
    copy_in_cell_line(file, cell);
    line(file, kCopyDown);
}

// The HTML block differs by kind only in where its line breaks fall.
void write_html_step(int file, StepKind kind, std::int32_t step, std::string_view formula, std::string_view cell) {
    const bool break_flag = kind == StepKind::break_flag;
    line(file, kBreak);
    line(file, kStepRule);
    line(file, kBreak);
    print_text(file, "step = ", kNoEnding);
    // A break flag's "<br>" closes its step line; the others get a line of their own.
    print_text(file, console::integer_text(step), break_flag ? kNoEnding : kLineEnd);
    line(file, kBreak);
    line(file, formula);
    line(file, kBreak);
    copy_in_cell_line(file, cell);
    line(file, kBreak);
    line(file, kCopyDown);
    line(file, kBreak);
    if (kind == StepKind::sum) line(file, kBreak);
}

// Buffers reused from step to step: at hundreds of levels the formulas run
// to kilobytes each.
struct StepWriter {
    const ReportFiles& files;
    std::string row;
    std::int32_t free_area_number = 0;
    FormulaText formula;
    std::string cell;
    std::string cell_html;

    void write(StepKind kind, std::int32_t step) {
        cell = column_at(free_area_number, step - 1);
        cell += row;
        cell_html.clear();
        append_html_escaped(cell_html, cell);
        write_text_step(files.text, step, formula.text, cell);
        write_html_step(files.html, kind, step, formula.html, cell_html);
    }
};

}  // namespace

std::int32_t levels_to_write(std::int32_t group_column_count) {
    return std::clamp(group_column_count, std::int32_t{0}, kMaxLevels);
}

std::string_view level_bound_note() {
    return "Only 702 columns in a group are supported: steps follow for the first 702.";
}

void write_report_body(const ReportFiles& files, const SubtotalParams& params, std::string_view separator,
                       std::string_view program_name) {
    write_text_header(files.text, params, program_name);
    write_html_header(files.html, params, program_name);

    const std::int32_t levels = levels_to_write(params.group_column_count);
    if (levels < params.group_column_count) {
        line(files.text, level_bound_note());
        line(files.html, level_bound_note(), kBreak);
    }

    FormulaSeries series = start_formula_series(params, separator);
    StepWriter writer{files, console::integer_text(params.start_row), column_to_number(params.free_area_column), {}, {},
                      {}};
    for (std::int32_t level = 1; level <= levels; ++level) {
        writer.formula.clear();
        append_break_flag_formula(series, level, writer.formula);
        writer.write(StepKind::break_flag, level);
    }
    for (std::int32_t level = 1; level <= levels; ++level) {
        writer.formula.clear();
        append_label_formula(series, level, writer.formula);
        writer.write(StepKind::label, levels + 2 * level - 1);
        writer.formula.clear();
        append_sum_formula(series, level, writer.formula);
        writer.write(StepKind::sum, levels + 2 * level);
    }
}

void write_html_footer(int html_file) {
    line(html_file, kBreak);
    line(html_file, kBreak);
    line(html_file, "</body>");
    line(html_file, "</html>");
}

}  // namespace kolm::subtotal
