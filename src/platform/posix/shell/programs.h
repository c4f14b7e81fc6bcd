// Commands that are programs: found as NAME.exe in the current directory,
// then in the system directory, and run as child processes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolm::platform::posix::shell {

// The file a command word names, or nothing. A word with a directory in it
// is taken as that path; ".exe" is added when the word has no extension.
std::optional<std::string> find_program(std::string_view name, const std::string& system_dir);

// Runs the program with the arguments as written and its standard output
// on `output_fd` (-1: ours); waits for it and returns its exit status.
int run_program(const std::string& path, const std::vector<std::string>& words, int output_fd);

}  // namespace kolm::platform::posix::shell
