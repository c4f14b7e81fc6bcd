#include "platform/posix/shell/command_line.h"

#include <cctype>

#include "platform/posix/shell/paths.h"

namespace kolm::platform::posix::shell {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::size_t skip_blanks(std::string_view line, std::size_t pos) {
    while (pos < line.size() && is_blank(line[pos])) ++pos;
    return pos;
}

// One word from `pos`: up to a blank or a ">" that stands outside quotes.
std::string read_word(std::string_view line, std::size_t& pos) {
    const std::size_t start = pos;
    bool quoted = false;
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (is_blank(c) || c == '>')) {
            break;
        }
        ++pos;
    }
    return std::string(line.substr(start, pos - start));
}

// Reads the next word and checks it against a keyword, ignoring case.
bool expect_keyword(std::string_view line, std::size_t& pos, std::string_view keyword) {
    pos = skip_blanks(line, pos);
    return equals_ignore_case(read_word(line, pos), keyword);
}

std::vector<std::string> split_items(std::string_view text) {
    std::vector<std::string> items;
    std::string current;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (is_blank(c) || c == ',' || c == ';')) {
            if (!current.empty()) items.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) items.push_back(std::move(current));
    return items;
}

}  // namespace

std::string unquote(std::string_view word) {
    std::string out;
    out.reserve(word.size());
    for (char c : word) {
        if (c != '"') out.push_back(c);
    }
    return out;
}

bool is_switch(std::string_view word) { return !word.empty() && word[0] == '/'; }

CommandLine parse_command_line(std::string_view line) {
    CommandLine result;
    bool have_name = false;
    std::size_t pos = 0;
    while ((pos = skip_blanks(line, pos)) < line.size()) {
        if (line[pos] == '>') {
            ++pos;
            result.append = pos < line.size() && line[pos] == '>';
            if (result.append) ++pos;
            pos = skip_blanks(line, pos);
            result.output_file = unquote(read_word(line, pos));
            continue;
        }
        std::string word = read_word(line, pos);
        if (!have_name) {
            result.name = unquote(word);
            have_name = true;
        } else {
            result.words.push_back(std::move(word));
        }
    }
    return result;
}

bool starts_with_for(std::string_view line) {
    std::size_t pos = 0;
    return expect_keyword(line, pos, "for");
}

std::optional<ForLoop> parse_for_loop(std::string_view line) {
    std::size_t pos = 0;
    if (!expect_keyword(line, pos, "for")) return std::nullopt;

    pos = skip_blanks(line, pos);
    const std::string variable = read_word(line, pos);
    if (variable.size() != 2 || variable[0] != '%' || !std::isalpha(static_cast<unsigned char>(variable[1]))) {
        return std::nullopt;
    }
    if (!expect_keyword(line, pos, "in")) return std::nullopt;

    pos = skip_blanks(line, pos);
    if (pos >= line.size() || line[pos] != '(') return std::nullopt;
    const std::size_t close = line.find(')', pos);
    if (close == std::string_view::npos) return std::nullopt;
    std::vector<std::string> items = split_items(line.substr(pos + 1, close - pos - 1));
    pos = close + 1;

    if (!expect_keyword(line, pos, "do")) return std::nullopt;
    pos = skip_blanks(line, pos);
    if (pos >= line.size()) return std::nullopt;

    ForLoop loop;
    loop.variable = variable[1];
    loop.items = std::move(items);
    loop.body = std::string(line.substr(pos));
    return loop;
}

std::string substitute_variable(std::string_view body, char variable, std::string_view value) {
    // A value with blanks must stay one word of the body: outside quotes it
    // gets quotes of its own.
    const bool needs_quotes = value.find_first_of(" \t") != std::string_view::npos;
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '%' && i + 1 < body.size() && body[i + 1] == variable) {
            if (needs_quotes && !quoted) {
                out += '"';
                out += value;
                out += '"';
            } else {
                out += value;
            }
            ++i;
        } else {
            if (body[i] == '"') quoted = !quoted;
            out.push_back(body[i]);
        }
    }
    return out;
}

std::optional<std::string> command_after_c_switch(std::string_view arguments) {
    std::size_t pos = 0;
    while ((pos = skip_blanks(arguments, pos)) < arguments.size()) {
        const std::string word = read_word(arguments, pos);
        if (word.empty()) {  // a ">" outside quotes: it belongs to the command
            break;
        }
        if (!equals_ignore_case(word, "/c")) continue;
        std::string command(arguments.substr(skip_blanks(arguments, pos)));
        if (!command.empty() && command.front() == '"') {
            const std::size_t last = command.rfind('"');
            if (last > 0) {
                command.erase(last, 1);
                command.erase(0, 1);
            }
        }
        return command;
    }
    return std::nullopt;
}

}  // namespace kolm::platform::posix::shell
