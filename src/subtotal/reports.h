// The two reports of the subtotal wizard: a plain-text one and an HTML one
// with the same content, written through the file layer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "subtotal/subtotal_params.h"

namespace kolm::subtotal {

inline constexpr std::string_view kTextReportName = "kolm_subtotal.txt";
inline constexpr std::string_view kHtmlReportName = "kolm_subtotal.htm";

// Steps grow with the square of the level count; past the last column the
// codec names, more levels only make the reports huge and useless.
inline constexpr std::int32_t kMaxLevels = 702;

// The levels whose steps are written for a typed group count.
std::int32_t levels_to_write(std::int32_t group_column_count);

// The line that says the group count was cut to kMaxLevels.
std::string_view level_bound_note();

// File numbers of the two reports; a number that names no open file takes
// nothing, so a report that could not be created is simply passed over.
struct ReportFiles {
    int text = -1;
    int html = -1;
};

// Writes both headers, the bound note when the count was cut, and every
// step. Neither report is closed and the HTML footer is not written.
void write_report_body(const ReportFiles& files, const SubtotalParams& params, std::string_view separator,
                       std::string_view program_name);

void write_html_footer(int html_file);

}  // namespace kolm::subtotal
