#pragma once

#include <string>

namespace kolm::environment {

// Asks for the decimal separator and returns the formulas' argument
// separator: "," for a decimal point, ";" for a decimal comma.
std::string select_argument_separator();

}  // namespace kolm::environment
