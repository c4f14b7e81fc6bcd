#include "platform/posix/shell/shell_io.h"

#include <unistd.h>

#include <cerrno>
#include <string>

namespace kolm::platform::posix::shell {

bool write_fd(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Like any console write, a failure is not reported.
void Output::write(std::string_view bytes) const {
    if (fd >= 0) {
        write_fd(fd, bytes);
    } else if (context != nullptr && context->console != nullptr) {
        context->console(bytes);
    } else {
        write_fd(STDOUT_FILENO, bytes);
    }
}

void Output::line(std::string_view text) const { write(std::string(text) + "\r\n"); }

void error_line(std::string_view text) { write_fd(STDERR_FILENO, std::string(text) + "\r\n"); }

}  // namespace kolm::platform::posix::shell
