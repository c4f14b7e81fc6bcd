// Running command lines and ending the program.
#pragma once

#include <string_view>

namespace kolm::console {

// Runs the line through the command interpreter and waits for it; an empty
// line runs nothing and gives -1.
int run_command(std::string_view command_line);

// Closes every open file (writing out its buffer), puts the console back as
// it was and ends the process with `status`. The only orderly way out.
[[noreturn]] void end_program(int status);

}  // namespace kolm::console
