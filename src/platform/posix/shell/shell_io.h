// Where a command's output goes: the console, or the file of its
// redirection. Errors always go to standard error.
#pragma once

#include <string_view>

#include "platform/posix/shell/shell.h"

namespace kolm::platform::posix::shell {

struct Output {
    int fd = -1;  // the redirection's file; -1 for the console
    const ShellContext* context = nullptr;

    void write(std::string_view bytes) const;
    void line(std::string_view text) const;  // text and CR LF
};

// Writes all the bytes; false, with errno telling why, when a write fails.
bool write_fd(int fd, std::string_view bytes);
void error_line(std::string_view text);  // text and CR LF on standard error

}  // namespace kolm::platform::posix::shell
