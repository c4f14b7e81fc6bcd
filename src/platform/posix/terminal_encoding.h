// What "chcp" means on a UTF-8 terminal: once a code page is active, the
// program's bytes are shown as that code page's characters and typed
// characters reach the program as their code page bytes.
#pragma once

#include <string>
#include <string_view>

namespace kolm::platform::posix {

// Makes `code_page` the console's code page; false (nothing changes) when
// it is not one the console knows.
bool set_console_code_page(int code_page);
int console_code_page();  // 0 until one is set: bytes pass through

std::string encode_for_terminal(std::string_view bytes);
// Terminal bytes to code page bytes. An incomplete character at the end is
// kept in `pending` for the next call.
std::string decode_from_terminal(std::string_view bytes, std::string& pending);

}  // namespace kolm::platform::posix
