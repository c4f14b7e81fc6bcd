#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/platform.h"
#include "platform/posix/terminal_encoding.h"
#include "platform/posix/terminal_posix.h"

namespace kolm::platform {
namespace {

void write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // An output that was handed over non-blocking: wait until it
            // takes more, as a blocking one would.
            pollfd ready{fd, POLLOUT, 0};
            if (::poll(&ready, 1, -1) >= 0 || errno == EINTR) continue;
            return;
        }
        if (n <= 0) return;  // a closed or full output takes no more
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

bool escapes_allowed() { return output_is_console() && !posix::terminal_is_dumb(); }

}  // namespace

void console_write(std::string_view bytes) {
    posix::terminal_setup();
    if (output_is_console()) {
        write_all(STDOUT_FILENO, posix::encode_for_terminal(bytes));
    } else {
        write_all(STDOUT_FILENO, bytes);
    }
}

void error_write_line(std::string_view text) {
    std::string line(text);
    line += "\r\n";
    write_all(STDERR_FILENO, line);
}

bool output_is_console() { return isatty(STDOUT_FILENO) == 1; }

int console_width() {
    if (!output_is_console()) return 80;
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

// A terminal tells its cursor position only in answer to a query that would
// mix with typed-ahead keys; the program starts its output on a new line.
int console_cursor_column() { return 0; }

bool console_can_move_cursor() { return escapes_allowed(); }

void console_move_cursor(int rows, int column) {
    if (!escapes_allowed()) return;
    std::string sequence;
    if (rows < 0) sequence += "\x1b[" + std::to_string(-rows) + "A";
    if (rows > 0) sequence += "\x1b[" + std::to_string(rows) + "B";
    sequence += "\r";
    if (column > 0) sequence += "\x1b[" + std::to_string(column) + "C";
    write_all(STDOUT_FILENO, sequence);
}

void console_clear_to_end() {
    if (escapes_allowed()) write_all(STDOUT_FILENO, "\x1b[J");
}

bool console_cursor_visible() { return posix::cursor_visible(); }

void console_set_cursor_visible(bool visible) { posix::set_cursor_visible(visible); }

void console_beep() {
    if (output_is_console()) write_all(STDOUT_FILENO, "\a");
}

}  // namespace kolm::platform
