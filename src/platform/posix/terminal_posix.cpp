#include "platform/posix/terminal_posix.h"

#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace kolm::platform::posix {
namespace {

struct SavedMode {
    int fd = -1;
    bool input = false;   // keys are read from it
    bool output = false;  // the program's output goes to it
    termios mode{};
};

// Standard input and standard output may be the same terminal or two.
SavedMode saved[2];
int saved_count = 0;
std::atomic<bool> set_up{false};
std::atomic<bool> changed{false};
std::atomic<bool> cursor_shown{true};
bool cursor_changed = false;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGQUIT, SIGHUP};

void write_all(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n <= 0) return;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
}

void restore_on_signal(int signal_number) {
    terminal_restore();
    // End the way the signal would have ended the process.
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

void restore_on_stop(int) {
    const int interrupted_errno = errno;  // the program goes on after a continue
    terminal_restore();
    std::signal(SIGTSTP, SIG_DFL);
    std::raise(SIGTSTP);
    errno = interrupted_errno;
}

void reapply_on_continue(int) {
    const int interrupted_errno = errno;
    std::signal(SIGTSTP, restore_on_stop);
    for (int i = 0; i < saved_count; ++i) {
        termios mode = saved[i].mode;
        if (saved[i].input) {
            mode.c_lflag &= static_cast<tcflag_t>(~(ECHO | ICANON | IEXTEN));
            mode.c_iflag &= static_cast<tcflag_t>(~(ICRNL | INLCR | IGNCR | IXON));
            mode.c_cc[VMIN] = 0;
            mode.c_cc[VTIME] = 0;
        }
        if (saved[i].output) {
            mode.c_oflag &= static_cast<tcflag_t>(~OPOST);
        }
        tcsetattr(saved[i].fd, TCSADRAIN, &mode);
    }
    changed = true;
    errno = interrupted_errno;
}

bool same_terminal(int a, int b) {
    struct stat sa {}, sb {};
    return fstat(a, &sa) == 0 && fstat(b, &sb) == 0 && sa.st_rdev == sb.st_rdev;
}

void save(int fd, bool input, bool output) {
    if (tcgetattr(fd, &saved[saved_count].mode) == 0) {
        saved[saved_count].fd = fd;
        saved[saved_count].input = input;
        saved[saved_count].output = output;
        ++saved_count;
    }
}

void restore_at_exit() { terminal_restore(); }

}  // namespace

void terminal_setup() {
    if (set_up.exchange(true)) return;
    // A file that outgrows the size limit fails its write, as on a full
    // disk, instead of ending the process with the terminal left raw.
    std::signal(SIGXFSZ, SIG_IGN);
    const bool in_tty = isatty(STDIN_FILENO);
    const bool out_tty = isatty(STDOUT_FILENO);
    const bool shared = in_tty && out_tty && same_terminal(STDIN_FILENO, STDOUT_FILENO);
    if (in_tty) save(STDIN_FILENO, true, shared);
    if (out_tty && !shared) save(STDOUT_FILENO, false, true);
    if (saved_count == 0) return;

    std::atexit(restore_at_exit);
    struct sigaction action {};
    action.sa_handler = restore_on_signal;
    sigemptyset(&action.sa_mask);
    for (int signal_number : kSignals) sigaction(signal_number, &action, nullptr);
    // Output into a pipe whose reader has gone ends the process too, unless
    // whoever started it chose to ignore that.
    struct sigaction pipe_action {};
    if (sigaction(SIGPIPE, nullptr, &pipe_action) == 0 && pipe_action.sa_handler != SIG_IGN) {
        sigaction(SIGPIPE, &action, nullptr);
    }
    action.sa_handler = restore_on_stop;
    sigaction(SIGTSTP, &action, nullptr);
    action.sa_handler = reapply_on_continue;
    sigaction(SIGCONT, &action, nullptr);

    reapply_on_continue(0);
}

void terminal_restore() {
    if (cursor_changed && !cursor_shown) {
        static const char kShow[] = "\x1b[?25h";
        write_all(STDOUT_FILENO, kShow, sizeof kShow - 1);
        cursor_shown = true;
    }
    if (!changed.exchange(false)) return;
    for (int i = saved_count - 1; i >= 0; --i) tcsetattr(saved[i].fd, TCSADRAIN, &saved[i].mode);
}

bool cursor_visible() { return cursor_shown; }

void set_cursor_visible(bool visible) {
    if (visible == cursor_shown || terminal_is_dumb() || !isatty(STDOUT_FILENO)) return;
    cursor_changed = true;
    cursor_shown = visible;
    const char* sequence = visible ? "\x1b[?25h" : "\x1b[?25l";
    write_all(STDOUT_FILENO, sequence, std::strlen(sequence));
}

bool terminal_is_dumb() {
    const char* term = std::getenv("TERM");
    return term == nullptr || *term == '\0' || std::strcmp(term, "dumb") == 0;
}

}  // namespace kolm::platform::posix
