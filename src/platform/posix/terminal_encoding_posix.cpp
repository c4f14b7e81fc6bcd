#include "platform/posix/terminal_encoding.h"

namespace kolm::platform::posix {

// Pass-through until code page switching is in.
bool set_console_code_page(int) { return false; }
int console_code_page() { return 0; }
std::string encode_for_terminal(std::string_view bytes) { return std::string(bytes); }
std::string decode_from_terminal(std::string_view bytes, std::string& pending) {
    std::string out = pending + std::string(bytes);
    pending.clear();
    return out;
}

}  // namespace kolm::platform::posix
