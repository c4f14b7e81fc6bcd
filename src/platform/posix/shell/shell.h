// The command interpreter that stands in for the Windows one on POSIX. It
// runs in the calling process: dir, copy, del, for and chcp are built in;
// other commands are programs looked up in the current directory and then
// in the system directory, run as child processes.
#pragma once

#include <string>
#include <string_view>

namespace kolm::platform::posix::shell {

using ConsoleWriter = void (*)(std::string_view bytes);

struct ShellContext {
    std::string system_dir;           // absolute, ends in '/'; empty when there is none
    ConsoleWriter console = nullptr;  // takes output nobody redirected; null: standard output
};

constexpr int kNotRecognized = 9009;  // the status cmd gives an unknown command

// Runs one command line and returns its status.
int run_line(std::string_view line, const ShellContext& context);

}  // namespace kolm::platform::posix::shell
