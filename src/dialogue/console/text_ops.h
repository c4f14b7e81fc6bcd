// Byte-text operations the stages use. Text is std::string holding single
// bytes; positions are 1-based, as the dialogue's texts count them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kolm::console {

int text_length(std::string_view t);
std::string trim_spaces(std::string_view t);          // spaces only, both ends
std::string trim_leading_spaces(std::string_view t);
std::string to_upper(std::string_view t);             // a-z only
// Bytes from `start` on, at most `count` of them; a negative count reads to the end.
std::string mid_text(std::string_view t, int start, int count);
// Position of `pattern` in `t` at or after `start`; 0 when not found.
int find_text(int start, std::string_view t, std::string_view pattern);
int char_code(std::string_view t, int position);      // 0..255, 0 outside
std::string char_text(int code);                      // low 8 bits
std::string integer_text(std::int32_t n);             // no leading space

}  // namespace kolm::console
