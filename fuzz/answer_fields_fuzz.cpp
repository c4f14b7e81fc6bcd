// Fields of a typed answer line, from arbitrary lines. Oracles: the fields
// stay within their maximum; each read moves the position on and takes only
// bytes of the line, in order; a line without double quotes splits as a
// simple model of the rules says; an integer field's value equals an
// independent reading (strtod for floating text, away from rounding ties).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogue/console/answer_fields.h"
#include "fuzz_check.h"

using kolm::console::AnswerLine;
using kolm::console::integer_field_value;
using kolm::console::kIntegerFieldMax;
using kolm::console::kTextFieldMax;

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// ---- an independent reading of an integer field's value --------------------

// The digits after the decimal point once the exponent has moved it, with
// trailing zeros dropped; empty when the exponent is too far out to bother.
std::optional<std::string> exact_fraction(std::string whole, std::string fraction, long long exponent) {
    if (exponent > 4096 || exponent < -4096) return std::nullopt;
    if (exponent > 0) {
        const auto shift = static_cast<std::size_t>(exponent);
        if (fraction.size() < shift) fraction.resize(shift, '0');
        whole += fraction.substr(0, shift);
        fraction.erase(0, shift);
    } else if (exponent < 0) {
        const auto shift = static_cast<std::size_t>(-exponent);
        if (whole.size() < shift) whole.insert(0, shift - whole.size(), '0');
        fraction.insert(0, whole.substr(whole.size() - shift));
    }
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    return fraction;
}

// Floating text through strtod, rounded half to even; near a tie, where a
// double cannot tell, the exact decimal digits decide.
std::optional<std::int32_t> floating_reference(std::string_view f) {
    std::size_t i = 0;
    const bool negative = !f.empty() && f[0] == '-';
    if (!f.empty() && (f[0] == '+' || f[0] == '-')) ++i;
    std::string whole, fraction;
    while (i < f.size() && is_digit(f[i])) whole.push_back(f[i++]);
    if (i < f.size() && f[i] == '.') {
        ++i;
        while (i < f.size() && is_digit(f[i])) fraction.push_back(f[i++]);
    }
    if (whole.empty() && fraction.empty()) return 0;
    long long exponent = 0;
    if (i < f.size() && std::string_view("eEdD").find(f[i]) != std::string_view::npos) {
        std::size_t j = i + 1;
        const bool exponent_negative = j < f.size() && f[j] == '-';
        if (j < f.size() && (f[j] == '+' || f[j] == '-')) ++j;
        for (; j < f.size() && is_digit(f[j]); ++j) exponent = std::min(exponent * 10 + (f[j] - '0'), 100000LL);
        if (exponent_negative) exponent = -exponent;
    }
    const std::string number = (negative ? "-" : "") + (whole.empty() ? "0" : whole) + "." + fraction + "e" +
                               std::to_string(exponent);
    const double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value) || value >= 2147483648.0 || value <= -2147483649.0) return kMin;

    long long magnitude = static_cast<long long>(std::trunc(std::fabs(value)));
    const double part = std::fabs(value) - static_cast<double>(magnitude);
    if (std::fabs(part - 0.5) < 1e-6) {
        const auto digits = exact_fraction(whole, fraction, exponent);
        if (!digits) return std::nullopt;
        if (*digits > "5" || (*digits == "5" && magnitude % 2 == 1)) ++magnitude;
    } else if (part > 0.5) {
        ++magnitude;
    }
    const long long rounded = negative ? -magnitude : magnitude;
    if (rounded < kMin || rounded > std::numeric_limits<std::int32_t>::max()) return kMin;
    return static_cast<std::int32_t>(rounded);
}

std::int32_t based_reference(std::string_view rest) {
    unsigned base = 8;
    const char letter = rest.front() >= 'A' && rest.front() <= 'Z' ? static_cast<char>(rest.front() - 'A' + 'a') : rest.front();
    if (letter == 'h' || letter == 'o' || letter == 'b') {
        base = letter == 'h' ? 16 : letter == 'o' ? 8 : 2;
        rest.remove_prefix(1);
    }
    std::uint64_t value = 0;
    for (const char c : rest) {
        const std::string_view digits = std::string_view("0123456789abcdef").substr(0, base);
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        const std::size_t d = digits.find(lower);
        if (d == std::string_view::npos) break;
        value = (value * base + d) & 0xFFFFFFFFu;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::int32_t decimal_reference(std::string_view f) {
    std::size_t i = 0;
    const bool negative = !f.empty() && f[0] == '-';
    if (!f.empty() && (f[0] == '-' || f[0] == '+')) ++i;
    std::size_t end = i;
    while (end < f.size() && is_digit(f[end])) ++end;
    std::string_view digits = f.substr(i, end - i);
    while (!digits.empty() && digits.front() == '0') digits.remove_prefix(1);
    if (digits.size() > 10 || (digits.size() == 10 && digits > "4294967295")) return -1;
    const std::uint32_t magnitude = static_cast<std::uint32_t>(std::strtoull(std::string(digits).c_str(), nullptr, 10));
    return static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
}

std::optional<std::int32_t> value_reference(std::string_view f) {
    const std::size_t floating = f.find_first_of(".eEdD");
    const std::size_t ampersand = f.find('&');
    if (floating != std::string_view::npos && floating < ampersand) return floating_reference(f);
    if (f.size() >= 2 && f[0] == '&') return based_reference(f.substr(1));
    return decimal_reference(f);
}

void check_value(std::string_view field) {
    const std::int32_t value = integer_field_value(field);
    const std::optional<std::int32_t> expected = value_reference(field);
    if (expected) FUZZ_CHECK(value == *expected);
}

// ---- field splitting --------------------------------------------------------

// `field` is made of the bytes line[from, to), in order, some left out.
bool is_subsequence_of(std::string_view field, std::string_view consumed) {
    std::size_t at = 0;
    for (const char c : consumed) {
        if (at < field.size() && field[at] == c) ++at;
    }
    return at == field.size();
}

std::vector<std::string> read_all(std::string_view text, bool integer) {
    AnswerLine line{std::string(text), 0};
    std::vector<std::string> fields;
    while (line.position < line.text.size()) {
        const std::size_t before = line.position;
        std::string field = integer ? kolm::console::next_integer_field(line) : kolm::console::next_text_field(line);
        FUZZ_CHECK(line.position > before && line.position <= line.text.size());
        FUZZ_CHECK(field.size() <= (integer ? kIntegerFieldMax : kTextFieldMax));
        const std::string_view consumed = std::string_view(line.text).substr(before, line.position - before);
        if (integer) {
            FUZZ_CHECK(is_subsequence_of(field, consumed));
            check_value(field);
        } else {
            FUZZ_CHECK(consumed.find(field) != std::string_view::npos);  // text fields are whole runs
        }
        fields.push_back(std::move(field));
    }
    return fields;
}

// The model for lines with no double quote and fields under their maximum:
// text fields are the comma-separated pieces less their leading blanks;
// integer fields are the blank-separated words of each piece, or one empty
// field for a piece with none. A comma at the very end starts no field.
std::optional<std::vector<std::string>> unquoted_model(std::string_view text, bool integer) {
    if (text.find('"') != std::string_view::npos) return std::nullopt;
    const std::size_t maximum = integer ? kIntegerFieldMax : kTextFieldMax;
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view piece = text.substr(start, comma - start);
        std::size_t first = 0;
        while (first < piece.size() && is_blank(piece[first])) ++first;
        if (!integer) {
            fields.emplace_back(piece.substr(first));
            if (fields.back().size() >= maximum) return std::nullopt;
        } else {
            bool any = false;
            for (std::size_t i = first; i < piece.size();) {
                std::size_t end = i;
                while (end < piece.size() && !is_blank(piece[end])) ++end;
                fields.emplace_back(piece.substr(i, end - i));
                if (fields.back().size() >= maximum) return std::nullopt;
                any = true;
                i = end;
                while (i < piece.size() && is_blank(piece[i])) ++i;
            }
            if (!any) fields.emplace_back();
        }
        start = comma + 1;
    }
    return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    check_value(text);  // any text at all, not only what a field can hold

    for (const bool integer : {false, true}) {
        const std::vector<std::string> fields = read_all(text, integer);
        if (const auto model = unquoted_model(text, integer)) FUZZ_CHECK(fields == *model);
    }
    return 0;
}
