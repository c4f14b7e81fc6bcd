#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kolm::environment {

// Copies cmd.exe, sort.exe and find.exe from the system directory and checks
// that each runs; on a failed check it ends the program after "<9> konec".
void prepare_utilities();

// The copy commands one line of the system directory's listing calls for:
// one per utility name the line contains, in table order.
std::vector<std::string> copy_commands_for_line(std::string_view listing_line);

// Lines of the file that are not empty once their leading spaces are gone.
int count_nonblank_lines(std::string_view file_name);

}  // namespace kolm::environment
