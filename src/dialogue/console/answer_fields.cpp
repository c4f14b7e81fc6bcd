#include "dialogue/console/answer_fields.h"

#include <algorithm>
#include <limits>

namespace kolm::console {

namespace {

enum class FieldKind { kText, kInteger };

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Steps over a '+' or '-' at `i`; true when it was a minus.
bool take_sign(std::string_view f, std::size_t& i) {
    if (i >= f.size() || (f[i] != '+' && f[i] != '-')) return false;
    return f[i++] == '-';
}

std::string next_field(AnswerLine& line, FieldKind kind) {
    const std::string& s = line.text;
    std::size_t& pos = line.position;
    pos = std::min(pos, s.size());
    while (pos < s.size() && is_blank(s[pos])) ++pos;

    std::string field;
    if (pos == s.size()) return field;

    const std::size_t maximum = kind == FieldKind::kText ? kTextFieldMax : kIntegerFieldMax;
    bool quoted = s[pos] == '"';
    if (quoted) ++pos;

    bool separator_consumed = false;  // the field ended at a comma or the line's end
    for (;;) {
        if (pos == s.size()) {
            separator_consumed = true;
            break;
        }
        if (field.size() == maximum) break;
        const char c = s[pos];
        if (quoted) {
            ++pos;
            if (c != '"') {
                field.push_back(c);
                continue;
            }
            if (kind == FieldKind::kText) break;
            quoted = false;  // an integer field goes on after its quoted part
            continue;
        }
        if (c == ',') {
            ++pos;
            separator_consumed = true;
            break;
        }
        if (kind == FieldKind::kInteger && is_blank(c)) break;
        field.push_back(c);
        ++pos;
    }

    if (!separator_consumed) {
        while (pos < s.size() && is_blank(s[pos])) ++pos;
        if (pos < s.size() && s[pos] == ',') ++pos;
    }
    return field;
}

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// Floating text, rounded to the nearest integer with halves to the even
// neighbour. Worked on the decimal digits themselves, so the result never
// depends on binary representation or on the FPU's rounding mode.
std::int32_t floating_value(std::string_view f) {
    std::size_t i = 0;
    const bool negative = take_sign(f, i);

    std::string digits;  // significant digits, without leading zeros
    std::int64_t fraction_digits = 0;
    bool any_digit = false;
    auto take_digit = [&](char c) {
        any_digit = true;
        if (!(digits.empty() && c == '0')) digits.push_back(c);
    };
    while (i < f.size() && is_digit(f[i])) take_digit(f[i++]);
    if (i < f.size() && f[i] == '.') {
        ++i;
        while (i < f.size() && is_digit(f[i])) {
            take_digit(f[i++]);
            ++fraction_digits;
        }
    }
    if (!any_digit) return 0;

    std::int64_t exponent = 0;
    if (i < f.size() && (f[i] == 'e' || f[i] == 'E' || f[i] == 'd' || f[i] == 'D')) {
        std::size_t j = i + 1;
        const bool exponent_negative = take_sign(f, j);
        // Without a digit the exponent is not part of the number.
        constexpr std::int64_t kExponentCap = 1'000'000;  // far beyond any digit count
        while (j < f.size() && is_digit(f[j])) {
            exponent = std::min(exponent * 10 + (f[j] - '0'), kExponentCap);
            ++j;
        }
        if (exponent_negative) exponent = -exponent;
    }
    if (digits.empty()) return 0;

    // value = digits * 10^power; integer_digits of them lie before the point.
    const std::int64_t power = exponent - fraction_digits;
    const std::int64_t integer_digits = static_cast<std::int64_t>(digits.size()) + power;
    constexpr std::int64_t kMostIntegerDigits = 10;  // 2147483648 has 10
    if (integer_digits > kMostIntegerDigits) return static_cast<std::int32_t>(kInt32Min);
    if (integer_digits < 0) return 0;  // below 0.1 in magnitude

    std::int64_t magnitude = 0;
    for (std::int64_t k = 0; k < integer_digits; ++k) {
        const std::size_t index = static_cast<std::size_t>(k);
        magnitude = magnitude * 10 + (index < digits.size() ? digits[index] - '0' : 0);
    }
    const std::size_t first_fraction = static_cast<std::size_t>(integer_digits);
    if (first_fraction < digits.size()) {
        const char half_digit = digits[first_fraction];
        const bool beyond_half = std::any_of(digits.begin() + static_cast<std::ptrdiff_t>(first_fraction) + 1,
                                             digits.end(), [](char c) { return c != '0'; });
        if (half_digit > '5' || (half_digit == '5' && (beyond_half || magnitude % 2 == 1))) ++magnitude;
    }

    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < kInt32Min || value > kInt32Max) return static_cast<std::int32_t>(kInt32Min);
    return static_cast<std::int32_t>(value);
}

int digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// The bytes after "&": a base letter and its digits, or octal digits.
std::int32_t based_value(std::string_view rest) {
    unsigned base = 8;
    switch (rest.front()) {
        case 'H': case 'h': base = 16; rest.remove_prefix(1); break;
        case 'O': case 'o': base = 8; rest.remove_prefix(1); break;
        case 'B': case 'b': base = 2; rest.remove_prefix(1); break;
        default: break;
    }
    std::uint32_t value = 0;
    for (const char c : rest) {
        const int d = digit_value(c);
        if (d >= static_cast<int>(base)) break;
        value = value * base + static_cast<std::uint32_t>(d);  // wraps in 32 bits
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t decimal_value(std::string_view f) {
    std::size_t i = 0;
    const bool negative = take_sign(f, i);
    constexpr std::uint64_t kMostMagnitude = 4294967295u;
    std::uint64_t magnitude = 0;
    for (; i < f.size() && is_digit(f[i]); ++i) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(f[i] - '0');
        if (magnitude > kMostMagnitude) return -1;
    }
    const std::uint32_t low = static_cast<std::uint32_t>(magnitude);
    return static_cast<std::int32_t>(negative ? 0u - low : low);
}

}  // namespace

std::string next_text_field(AnswerLine& line) { return next_field(line, FieldKind::kText); }

std::string next_integer_field(AnswerLine& line) { return next_field(line, FieldKind::kInteger); }

std::int32_t integer_field_value(std::string_view field) {
    // Floating when a point or an exponent letter comes before any "&".
    const std::size_t mark = field.find_first_of(".eEdD&");
    if (mark != std::string_view::npos && field[mark] != '&') return floating_value(field);
    if (field.size() >= 2 && field.front() == '&') return based_value(field.substr(1));
    return decimal_value(field);
}

}  // namespace kolm::console
