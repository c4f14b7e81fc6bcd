#pragma once

#include <array>
#include <string>

namespace kolm::environment {

struct CodePageEntry {
    const char* name;
    const char* languages;
};

extern const std::array<CodePageEntry, 10> code_page_table;

// The code page menu; returns once a code page is selected and "chcp" has
// run, or ends the program on "8".
void select_code_page();

}  // namespace kolm::environment
