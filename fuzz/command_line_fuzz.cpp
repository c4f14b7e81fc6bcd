// The command interpreter's parser on arbitrary lines. Oracles: words are
// non-empty and hold blanks and ">" only inside double quotes; the words
// joined by single spaces parse to the same command; a parsed loop is well
// formed; a substitution leaves no variable behind; what follows "/c" is a
// tail of the arguments, less one pair of enclosing quotes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/posix/shell/command_line.h"

namespace shell = kolm::platform::posix::shell;

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Blanks and ">" in a word stand inside double quotes.
bool well_formed_word(std::string_view word) {
    if (word.empty()) return false;
    bool quoted = false;
    for (const char c : word) {
        if (c == '"') quoted = !quoted;
        else if (!quoted && (is_blank(c) || c == '>')) return false;
    }
    return true;
}

void check_command_line(std::string_view line) {
    const shell::CommandLine parsed = shell::parse_command_line(line);
    FUZZ_CHECK(parsed.name.find('"') == std::string::npos);
    if (parsed.output_file) FUZZ_CHECK(parsed.output_file->find('"') == std::string::npos);
    std::string joined;
    for (const std::string& word : parsed.words) {
        FUZZ_CHECK(well_formed_word(word));
        joined += ' ';
        joined += word;
    }
    // Without its redirection the line is the name and the words again.
    if (!parsed.name.empty() && parsed.name.find_first_of(" \t>") == std::string::npos) {
        const shell::CommandLine again = shell::parse_command_line(parsed.name + joined);
        FUZZ_CHECK(again.name == parsed.name && again.words == parsed.words && !again.output_file);
    }
}

void check_for_loop(std::string_view line, std::string_view value) {
    const auto loop = shell::parse_for_loop(line);
    if (!loop) return;
    FUZZ_CHECK(shell::starts_with_for(line));
    FUZZ_CHECK(std::isalpha(static_cast<unsigned char>(loop->variable)));
    for (const std::string& item : loop->items) {
        FUZZ_CHECK(!item.empty() && item.find('"') == std::string::npos);
    }
    FUZZ_CHECK(!loop->body.empty() && !is_blank(loop->body.front()));
    FUZZ_CHECK(line.substr(line.size() - loop->body.size()) == loop->body);

    const std::string body = shell::substitute_variable(loop->body, loop->variable, value);
    // A value without "%" that neither is empty nor starts with the
    // variable's letter cannot join a "%" next to it into a new reference,
    // so none may be left.
    if (!value.empty() && value.find('%') == std::string_view::npos && value.front() != loop->variable) {
        const std::string reference{'%', loop->variable};
        FUZZ_CHECK(body.find(reference) == std::string::npos);
    }
}

void check_c_switch(std::string_view arguments) {
    const auto command = shell::command_after_c_switch(arguments);
    if (!command) return;
    for (std::size_t start = 0; start <= arguments.size(); ++start) {
        const std::string_view tail = arguments.substr(start);
        if (tail == *command) return;
        if (tail.size() >= 2 && tail.front() == '"') {  // less its first and its last quote
            const std::size_t last = tail.rfind('"');
            if (last > 0) {
                std::string stripped(tail.substr(1));
                stripped.erase(last - 1, 1);
                if (stripped == *command) return;
            }
        }
    }
    FUZZ_CHECK(!"the command after /c is no tail of the arguments");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::string value = provider.ConsumeRandomLengthString(64);
    const std::string line = provider.ConsumeRemainingBytesAsString();

    check_command_line(line);
    check_for_loop(line, value);
    check_c_switch(line);

    const std::string word = shell::unquote(line);
    FUZZ_CHECK(word.find('"') == std::string::npos);
    return 0;
}
