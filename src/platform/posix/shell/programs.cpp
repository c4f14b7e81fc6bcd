#include "platform/posix/shell/programs.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/posix/shell/file_lookup.h"
#include "platform/posix/shell/paths.h"
#include "platform/posix/shell/shell_io.h"

namespace kolm::platform::posix::shell {
namespace {

bool has_extension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot != std::string_view::npos && name.find_first_of("/\\", dot) == std::string_view::npos;
}

std::optional<std::string> existing_file(const std::string& path) {
    std::optional<std::string> found = resolve_existing(path);
    if (found && is_regular_file(*found)) return found;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> find_program(std::string_view name, const std::string& system_dir) {
    std::string file(name);
    if (!has_extension(file)) file += ".exe";
    if (file.find_first_of("/\\:") != std::string::npos) {
        const std::string path = to_posix_path(file, system_dir);
        if (path.empty()) return std::nullopt;
        return existing_file(path);
    }
    if (std::optional<std::string> here = existing_file("./" + file)) return here;
    if (system_dir.empty()) return std::nullopt;
    return existing_file(system_dir + file);
}

int run_program(const std::string& path, const std::vector<std::string>& words, int output_fd) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);

    std::fflush(nullptr);  // nothing of ours may show after the child's output
    const pid_t child = ::fork();
    if (child < 0) {
        error_line(error_text(errno));
        return 1;
    }
    if (child == 0) {
        if (output_fd >= 0 && ::dup2(output_fd, STDOUT_FILENO) < 0) ::_exit(126);
        ::execv(path.c_str(), argv.data());
        error_line("The system cannot execute the specified program.");
        ::_exit(126);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return 1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}

}  // namespace kolm::platform::posix::shell
