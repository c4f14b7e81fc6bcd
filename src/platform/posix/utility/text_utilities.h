// The work of the sort and find utilities, on text already read. Pure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kolm::platform::posix::utility {

// The program our helper acts as, from the name it was started under.
enum class Role { command_interpreter, sort, find, unknown };
Role role_of(std::string_view program_name);

// The lines of a text: each line feed ends one, with a carriage return just
// before it dropped; a last line without a line feed counts too.
std::vector<std::string> split_lines(std::string_view content);

// The lines in order, letters compared without regard to case; equal lines
// keep their order. Every line ends with CR LF.
std::string sorted_lines(std::string_view content);

// The lines holding `text` (letters of either case alike when
// `ignore_case`), each ending with CR LF.
std::string matching_lines(std::string_view content, std::string_view text, bool ignore_case);

// Arguments given as separate words, back into one command tail; a word
// with blanks in it and no quotes gets quotes again.
std::string join_arguments(const std::vector<std::string>& arguments);

}  // namespace kolm::platform::posix::utility
