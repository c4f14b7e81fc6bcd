#include "subtotal/wizard.h"

#include <string>

#include "dialogue/console/commands.h"
#include "dialogue/console/output.h"
#include "dialogue/console/text_files.h"
#include "dialogue/console/typed_answers.h"
#include "subtotal/reports.h"
#include "subtotal/subtotal_params.h"

namespace kolm::subtotal {

namespace {

using console::kConsole;

std::string output_files_line() {
    return "Output files = " + std::string(kTextReportName) + ", " + std::string(kHtmlReportName);
}

void say(std::string_view text) { console::print_text(kConsole, text, console::kLineEnd); }
void blank() { console::print_line_end(kConsole); }

struct Report {
    std::string_view name;
    int number = -1;
    std::string error;  // the first failure, empty while all is well
};

// A report that cannot be created gets no file number at all: its slot stays
// free and the next report would be opened in it, so writing on to that
// number would put one report's lines into the other.
Report open_report(std::string_view name) {
    Report report{name, console::free_file_number(), {}};
    if (report.number == 0) {
        report.error = "open: no free file number";
        report.number = -1;
        return report;
    }
    console::open_text_file(name, console::FileMode::output, report.number);
    report.error = console::file_error(report.number);
    if (!report.error.empty()) report.number = -1;
    return report;
}

void close_report(Report& report) {
    if (report.number < 0) return;
    console::close_file(report.number);
    report.error = console::file_error(report.number);
}

std::string read_text_answer(std::string_view prompt) {
    console::prompt_line(prompt);
    return console::read_text_field();
}

std::int32_t read_integer_answer(std::string_view prompt) {
    console::prompt_line(prompt);
    return console::read_integer_field();
}

SubtotalParams ask_layout() {
    SubtotalParams params;
    say("Before using formulas, table must be sort on group of columns.");
    blank();
    params.sort_start_column = read_text_answer("Column name         for start sort  = ");
    params.group_column_count = read_integer_answer("Numeber columns in group  for sort  = ");
    say("Columns must be arranged in a compact group.");
    blank();
    params.data_column = read_text_answer("Column name with data (subtotal)    = ");
    say("Row number (start) with data must be row() > 1");
    params.start_row = read_integer_answer("Row number (start) with data cell   = ");
    blank();
    params.free_area_column = read_text_answer("Column name with start of free area = ");
    blank();
    return params;
}

}  // namespace

void run_subtotal_wizard(std::string_view program_name, std::string_view argument_separator) {
    blank();
    say("----- selecting cells for multilevel sum -----");
    Report text = open_report(kTextReportName);
    Report html = open_report(kHtmlReportName);
    say(output_files_line());
    blank();

    const SubtotalParams params = ask_layout();
    if (levels_to_write(params.group_column_count) < params.group_column_count) say(level_bound_note());

    write_report_body(ReportFiles{text.number, html.number}, params, argument_separator, program_name);
    close_report(text);
    write_html_footer(html.number);
    close_report(html);

    blank();
    say("--------------------------------");
    say(output_files_line());
    blank();

    // Saying nothing about a missing or short report would pass a failure
    // off as success.
    bool failed = false;
    for (const Report* report : {&text, &html}) {
        if (report->error.empty()) continue;
        failed = true;
        say("Report not written: " + std::string(report->name) + " (" + report->error + ")");
    }
    console::end_program(failed ? 1 : 0);
}

}  // namespace kolm::subtotal
