// Typed answers: a prompt with "? ", one line edited in place, and the
// fields taken from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kolm::console {

void prompt_line(std::string_view prompt);
std::string read_text_field();
std::int32_t read_integer_field();

}  // namespace kolm::console
