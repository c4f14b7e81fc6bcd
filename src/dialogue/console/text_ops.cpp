#include "dialogue/console/text_ops.h"

#include <cstddef>

namespace kolm::console {

int text_length(std::string_view t) { return static_cast<int>(t.size()); }

std::string trim_leading_spaces(std::string_view t) {
    const std::size_t first = t.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(t.substr(first));
}

std::string trim_spaces(std::string_view t) {
    const std::size_t first = t.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = t.find_last_not_of(' ');
    return std::string(t.substr(first, last - first + 1));
}

std::string to_upper(std::string_view t) {
    std::string out(t);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::string mid_text(std::string_view t, int start, int count) {
    if (t.empty() || start < 1 || static_cast<std::size_t>(start) > t.size() || count == 0) return {};
    const std::size_t from = static_cast<std::size_t>(start) - 1;
    const std::size_t length = count < 0 ? std::string_view::npos : static_cast<std::size_t>(count);
    return std::string(t.substr(from, length));
}

int find_text(int start, std::string_view t, std::string_view pattern) {
    if (t.empty() || pattern.empty() || start < 1 || static_cast<std::size_t>(start) > t.size() ||
        pattern.size() > t.size()) {
        return 0;
    }
    const std::size_t at = t.find(pattern, static_cast<std::size_t>(start) - 1);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

int char_code(std::string_view t, int position) {
    if (position < 1 || static_cast<std::size_t>(position) > t.size()) return 0;
    return static_cast<unsigned char>(t[static_cast<std::size_t>(position) - 1]);
}

std::string char_text(int code) { return std::string(1, static_cast<char>(code & 0xFF)); }

std::string integer_text(std::int32_t n) { return std::to_string(n); }

}  // namespace kolm::console
