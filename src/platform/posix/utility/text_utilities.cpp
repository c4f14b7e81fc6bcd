#include "platform/posix/utility/text_utilities.h"

#include <algorithm>
#include <cctype>

#include "platform/posix/shell/paths.h"

namespace kolm::platform::posix::utility {
namespace {

char fold(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool less_ignoring_case(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(fold(x)) < static_cast<unsigned char>(fold(y));
    });
}

bool contains(std::string_view line, std::string_view text, bool ignore_case) {
    if (!ignore_case) return line.find(text) != std::string_view::npos;
    return std::search(line.begin(), line.end(), text.begin(), text.end(),
                       [](char x, char y) { return fold(x) == fold(y); }) != line.end();
}

}  // namespace

Role role_of(std::string_view program_name) {
    const std::size_t slash = program_name.rfind('/');
    if (slash != std::string_view::npos) program_name.remove_prefix(slash + 1);
    using shell::equals_ignore_case;
    if (program_name.size() > 4 && equals_ignore_case(program_name.substr(program_name.size() - 4), ".exe")) {
        program_name.remove_suffix(4);
    }
    if (equals_ignore_case(program_name, "cmd")) return Role::command_interpreter;
    if (equals_ignore_case(program_name, "sort")) return Role::sort;
    if (equals_ignore_case(program_name, "find")) return Role::find;
    return Role::unknown;
}

std::vector<std::string> split_lines(std::string_view content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? content.size() : end + 1;
        if (end == std::string_view::npos) end = content.size();
        std::size_t stop = end;
        if (stop > start && content[stop - 1] == '\r') --stop;
        lines.emplace_back(content.substr(start, stop - start));
        start = next;
    }
    return lines;
}

std::string sorted_lines(std::string_view content) {
    std::vector<std::string> lines = split_lines(content);
    std::stable_sort(lines.begin(), lines.end(), less_ignoring_case);
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return out;
}

std::string matching_lines(std::string_view content, std::string_view text, bool ignore_case) {
    std::string out;
    for (const std::string& line : split_lines(content)) {
        if (contains(line, text, ignore_case)) out += line + "\r\n";
    }
    return out;
}

std::string join_arguments(const std::vector<std::string>& arguments) {
    std::string tail;
    for (const std::string& argument : arguments) {
        if (!tail.empty()) tail.push_back(' ');
        const bool needs_quotes = argument.find_first_of(" \t") != std::string::npos
                                  && argument.find('"') == std::string::npos;
        tail += needs_quotes ? "\"" + argument + "\"" : argument;
    }
    return tail;
}

}  // namespace kolm::platform::posix::utility
