// One helper program that acts as cmd, sort or find, by the name it was
// started under: the POSIX stand-ins for the Windows utilities that the
// program copies and checks.
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/posix/shell/command_line.h"
#include "platform/posix/shell/file_lookup.h"
#include "platform/posix/shell/shell.h"
#include "platform/posix/shell/shell_io.h"
#include "platform/posix/shell/system_directory.h"
#include "platform/posix/utility/text_utilities.h"

namespace shell = kolm::platform::posix::shell;
namespace utility = kolm::platform::posix::utility;

namespace {

bool read_all(int fd, std::string& content) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
}

bool read_file(const std::string& name, std::string& content) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = read_all(fd, content);
    ::close(fd);
    return ok;
}

// The operands and switches of a utility's command tail, quotes removed
// from the operands.
struct Arguments {
    std::vector<std::string> operands;
    std::vector<std::string> switches;  // lower case
};

Arguments split_arguments(const std::string& tail) {
    Arguments arguments;
    for (const std::string& word : shell::parse_command_line("x " + tail).words) {
        if (shell::is_switch(word)) {
            std::string lowered;
            for (char c : word) lowered.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
            arguments.switches.push_back(lowered);
        } else {
            arguments.operands.push_back(shell::unquote(word));
        }
    }
    return arguments;
}

int act_as_command_interpreter(const std::string& tail) {
    const std::optional<std::string> line = shell::command_after_c_switch(tail);
    if (!line) {
        shell::error_line("Usage: cmd /c COMMAND");
        return 1;
    }
    const shell::ShellContext context{shell::system_directory(), nullptr};
    const int status = shell::run_line(*line, context);
    return status >= 0 && status <= 255 ? status : 1;
}

// sort [FILE] [/o OUTPUT]
int act_as_sort(const std::string& tail) {
    std::string input_name, output_name;
    std::vector<std::string> words = shell::parse_command_line("x " + tail).words;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string word = shell::unquote(words[i]);
        if (word == "/o" || word == "/O") {
            if (i + 1 == words.size()) {
                shell::error_line("The syntax of the command is incorrect.");
                return 1;
            }
            output_name = shell::unquote(words[++i]);
        } else if (shell::is_switch(word)) {
            shell::error_line("Invalid switch.");
            return 1;
        } else {
            input_name = word;
        }
    }

    std::string content;
    const bool read = input_name.empty() ? read_all(STDIN_FILENO, content) : read_file(input_name, content);
    if (!read) {
        shell::error_line(shell::error_text(errno));
        return 1;
    }
    const std::string sorted = utility::sorted_lines(content);
    if (output_name.empty()) {
        shell::write_fd(STDOUT_FILENO, sorted);
        return 0;
    }
    const int fd = ::open(output_name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        shell::error_line(shell::error_text(errno));
        return 1;
    }
    // A short output file is a failure, not a sorted file.
    const bool written = shell::write_fd(fd, sorted);
    const int write_errno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        shell::error_line(shell::error_text(written ? errno : write_errno));
        return 1;
    }
    return 0;
}

// find [/i] "TEXT" [FILE...]
int act_as_find(const std::string& tail) {
    const Arguments arguments = split_arguments(tail);
    bool ignore_case = false;
    for (const std::string& option : arguments.switches) {
        if (option != "/i") {
            shell::error_line("FIND: Invalid switch");
            return 2;
        }
        ignore_case = true;
    }
    if (arguments.operands.empty()) {
        shell::error_line("FIND: Parameter format not correct");
        return 2;
    }
    const std::string& text = arguments.operands.front();
    bool found = false;
    if (arguments.operands.size() == 1) {
        std::string content;
        read_all(STDIN_FILENO, content);
        const std::string lines = utility::matching_lines(content, text, ignore_case);
        shell::write_fd(STDOUT_FILENO, lines);
        return lines.empty() ? 1 : 0;
    }
    int status = 0;
    for (std::size_t i = 1; i < arguments.operands.size(); ++i) {
        const std::string& name = arguments.operands[i];
        std::string content;
        if (!read_file(name, content)) {
            shell::error_line("File not found - " + name);
            status = 2;
            continue;
        }
        const std::string lines = utility::matching_lines(content, text, ignore_case);
        shell::write_fd(STDOUT_FILENO, "\r\n---------- " + name + "\r\n" + lines);
        found = found || !lines.empty();
    }
    return status != 0 ? status : (found ? 0 : 1);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::string tail = utility::join_arguments(arguments);
    switch (utility::role_of(argc > 0 ? argv[0] : "")) {
        case utility::Role::command_interpreter: return act_as_command_interpreter(tail);
        case utility::Role::sort: return act_as_sort(tail);
        case utility::Role::find: return act_as_find(tail);
        case utility::Role::unknown: break;
    }
    shell::error_line("This program runs as cmd.exe, sort.exe or find.exe.");
    return 1;
}
