#pragma once

#include <string_view>

namespace kolm::subtotal {

// Asks the five layout questions, writes both reports and ends the program.
[[noreturn]] void run_subtotal_wizard(std::string_view program_name, std::string_view argument_separator);

}  // namespace kolm::subtotal
