// Parsing of command lines the way the Windows command interpreter reads
// them: a command word, its arguments, and a ">" redirection anywhere on the
// line. Pure, so every rule is tested without running anything.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolm::platform::posix::shell {

struct CommandLine {
    std::string name;                        // the command word, quotes removed
    std::vector<std::string> words;          // the arguments as written, quotes kept
    std::optional<std::string> output_file;  // the target of ">" or ">>", quotes removed
    bool append = false;                     // ">>"
};

CommandLine parse_command_line(std::string_view line);

// The word with its double quotes removed ("a b" -> a b).
std::string unquote(std::string_view word);

// Arguments that start with "/" are switches.
bool is_switch(std::string_view word);

// `for %X in (ITEMS) do BODY`; BODY is kept as text, redirection and all,
// since it is a command line of its own, run once per item.
struct ForLoop {
    char variable = 0;
    std::vector<std::string> items;  // quotes removed
    std::string body;
};

bool starts_with_for(std::string_view line);
// Empty when the line does not have the shape above.
std::optional<ForLoop> parse_for_loop(std::string_view line);

// The body with every %X (X the loop variable, case-sensitive) replaced; a
// value with blanks is quoted where the body does not quote it already.
std::string substitute_variable(std::string_view body, char variable, std::string_view value);

// What follows "/c" in a command interpreter's arguments, with one pair of
// enclosing quotes removed; empty when there is no "/c".
std::optional<std::string> command_after_c_switch(std::string_view arguments);

}  // namespace kolm::platform::posix::shell
