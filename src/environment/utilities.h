#pragma once

#include <string_view>

namespace kolm::environment {

// Copies cmd.exe, sort.exe and find.exe from the system directory and checks
// that each runs; on a failed check it ends the program after "<9> konec".
void prepare_utilities();

// Lines of the file that are not empty once their leading spaces are gone.
int count_nonblank_lines(std::string_view file_name);

}  // namespace kolm::environment
