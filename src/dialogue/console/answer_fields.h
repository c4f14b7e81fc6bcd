// Fields of a typed answer line: a text or an integer is taken from the read
// position on, and the position moves past the field and its separator.
// Pure: no I/O, so the rules are tested directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kolm::console {

constexpr std::size_t kTextFieldMax = 4096;
constexpr std::size_t kIntegerFieldMax = 67;

struct AnswerLine {
    std::string text;
    std::size_t position = 0;  // 0-based index of the next unread byte
};

// The next text field: leading spaces and tabs skipped, trailing ones kept;
// ended by a comma, the end of the line, the closing double quote of a
// quoted field, or 4096 bytes.
std::string next_text_field(AnswerLine& line);

// The text of the next integer field: like a text field, but a space or a
// tab also ends it, a quoted part only groups bytes, and 67 bytes is the most.
std::string next_integer_field(AnswerLine& line);

// The signed 32-bit value of an integer field's text: floating text rounded
// half to even (out of range gives -2147483648), &H/&O/&B/& bases, or a
// decimal integer taken modulo 2^32.
std::int32_t integer_field_value(std::string_view field);

}  // namespace kolm::console
