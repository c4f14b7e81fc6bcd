#include "platform/posix/shell/shell.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/posix/shell/command_line.h"
#include "platform/posix/shell/file_lookup.h"
#include "platform/posix/shell/internal_commands.h"
#include "platform/posix/shell/paths.h"
#include "platform/posix/shell/programs.h"
#include "platform/posix/shell/shell_io.h"

namespace kolm::platform::posix::shell {
namespace {

// Opens (creating or emptying) the redirection's file before the command
// runs, as the Windows interpreter does; -1 after an error message.
int open_output_file(const std::string& name, bool append, const ShellContext& context) {
    const std::string path = equals_ignore_case(name, "nul") ? std::string("/dev/null")
                                                               : to_posix_path(name, context.system_dir);
    if (path.empty()) {
        error_line("The system cannot find the path specified.");
        return -1;
    }
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) error_line(errno == ENOENT ? "The system cannot find the path specified." : error_text(errno));
    return fd;
}

// Bytes a Windows file name cannot hold. A POSIX name with one of them would
// be read back from the loop's body as a path, a wildcard or a redirection,
// not as the file that was matched; the loop passes such files over.
bool is_windows_file_name(std::string_view name) {
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 32 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
    });
}

// A loop item with a wildcard stands for the files it matches, named as the
// item names their directory; any other item stands for itself.
std::vector<std::string> expand_item(const std::string& item, const ShellContext& context) {
    const std::string path = to_posix_path(item, context.system_dir);
    const std::string pattern = file_part(path);
    if (path.empty() || !has_wildcards(pattern)) return {item};

    const std::size_t slash = item.find_last_of("\\/");
    const std::string typed_directory = slash == std::string::npos ? std::string() : item.substr(0, slash + 1);
    const std::string directory = directory_part(path);
    std::vector<std::string> values;
    for (const std::string& name : matching_files(directory, pattern)) {
        if (is_windows_file_name(name)) values.push_back(typed_directory + name);
    }
    return values;
}

int run_for_loop(std::string_view line, const ShellContext& context) {
    const std::optional<ForLoop> loop = parse_for_loop(line);
    if (!loop) {
        error_line("The syntax of the command is incorrect.");
        return 1;
    }
    // Every item is expanded before the body first runs, so a body that
    // deletes or creates files does not change what the loop visits.
    std::vector<std::string> values;
    for (const std::string& item : loop->items) {
        for (std::string& value : expand_item(item, context)) values.push_back(std::move(value));
    }
    int status = 0;
    for (const std::string& value : values) {
        status = run_line(substitute_variable(loop->body, loop->variable, value), context);
    }
    return status;
}

int run_command_line(const CommandLine& command, int output_fd, const ShellContext& context) {
    if (command.name.empty()) return 0;
    if (const InternalCommand internal = find_internal_command(command.name)) {
        return internal(command.words, Output{output_fd, &context}, context);
    }
    if (const std::optional<std::string> program = find_program(command.name, context.system_dir)) {
        return run_program(*program, command.words, output_fd);
    }
    error_line("'" + command.name + "' is not recognized as an internal or external command,");
    error_line("operable program or batch file.");
    return kNotRecognized;
}

}  // namespace

int run_line(std::string_view line, const ShellContext& context) {
    if (starts_with_for(line)) return run_for_loop(line, context);

    const CommandLine command = parse_command_line(line);
    int output_fd = -1;
    if (command.output_file) {
        output_fd = open_output_file(*command.output_file, command.append, context);
        if (output_fd < 0) return 1;
    }
    const int status = run_command_line(command, output_fd, context);
    if (output_fd >= 0) ::close(output_fd);
    return status;
}

}  // namespace kolm::platform::posix::shell
