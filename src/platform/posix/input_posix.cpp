#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>

#include "platform/platform.h"
#include "platform/posix/terminal_encoding.h"
#include "platform/posix/terminal_posix.h"

namespace kolm::platform {
namespace {

std::string pending_character;  // part of a multi-byte character typed

}  // namespace

bool input_is_console() { return isatty(STDIN_FILENO) == 1; }

void input_open() { posix::terminal_setup(); }

RawInput input_read(std::chrono::milliseconds timeout, std::size_t max_keys) {
    RawInput result;
    pollfd watch{STDIN_FILENO, POLLIN, 0};
    const int wait_ms = static_cast<int>(timeout.count());
    int ready;
    do {
        ready = ::poll(&watch, 1, wait_ms);
    } while (ready < 0 && errno == EINTR && wait_ms == 0);
    if (ready <= 0) return result;

    const bool terminal = input_is_console();
    std::string bytes(max_keys > 0 ? max_keys : 1, '\0');
    const ssize_t n = ::read(STDIN_FILENO, bytes.data(), bytes.size());
    // A terminal reads nothing, without waiting, when another reader of it
    // took the bytes first; only the poll's word tells a hang-up.
    const bool hung_up = (watch.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    if (n > 0) {
        bytes.resize(static_cast<std::size_t>(n));
        result.bytes = terminal ? posix::decode_from_terminal(bytes, pending_character) : std::move(bytes);
    } else if (n == 0 && terminal && !hung_up) {
        // nothing came
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        // A pipe or file at its end. A terminal that went away ends the
        // process as its hang-up signal would, even where that is ignored.
        if (terminal) {
            posix::terminal_restore();
            std::signal(SIGHUP, SIG_DFL);
            std::raise(SIGHUP);
            result.close_requested = true;
        } else {
            result.ended = true;
        }
    }
    return result;
}

}  // namespace kolm::platform
