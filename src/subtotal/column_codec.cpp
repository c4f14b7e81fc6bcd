#include "subtotal/column_codec.h"

#include <algorithm>
#include <cstdint>

namespace kolm::subtotal {

namespace {

int code_of(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') ? byte - ('a' - 'A') : byte;
}

// The first character of a two-character result runs on past Z in code
// order; from 4992 up its code would leave the byte range, so it stops at
// 255. Those names are not columns anyway, and the result stays text.
char lead_byte(std::int64_t code) {
    return static_cast<char>(static_cast<unsigned char>(std::min<std::int64_t>(code, 255)));
}

}  // namespace

std::int32_t column_to_number(std::string_view name) {
    const auto first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) return -64;  // an empty name counts as code 0
    const auto last = name.find_last_not_of(' ');
    const std::string_view trimmed = name.substr(first, last - first + 1);
    if (trimmed.size() == 2) return (code_of(trimmed[0]) - 64) * 26 + (code_of(trimmed[1]) - 64);
    return code_of(trimmed[0]) - 64;
}

std::string number_to_column(std::int32_t number) {
    const std::int64_t n = number;
    // Floor division, also for negative numbers, so that 0 <= r <= 25.
    std::int64_t b = n / 26;
    if (n % 26 < 0) --b;
    const std::int64_t r = n - 26 * b;

    if (b < 1) return std::string(1, static_cast<char>(64 + r));
    if (b == 1 && r == 0) return "Z";
    if (r > 0) return {lead_byte(64 + b), static_cast<char>(64 + r)};
    return {lead_byte(63 + b), 'Z'};
}

std::string column_at(std::int32_t number, std::int32_t offset) {
    const std::int64_t sum = std::int64_t{number} + offset;
    const std::int64_t clamped = std::clamp<std::int64_t>(sum, INT32_MIN, INT32_MAX);
    return number_to_column(static_cast<std::int32_t>(clamped));
}

std::string offset_column(std::string_view name, std::int32_t offset) {
    return column_at(column_to_number(name), offset);
}

}  // namespace kolm::subtotal
