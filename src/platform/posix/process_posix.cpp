#include <time.h>

#include <cstdlib>

#include "platform/platform.h"
#include "platform/posix/terminal_posix.h"

namespace kolm::platform {

void restore_console() { posix::terminal_restore(); }

void exit_process(int status) {
    posix::terminal_restore();
    std::exit(status);
}

void sleep_for(std::chrono::milliseconds duration) {
    if (duration.count() <= 0) return;
    timespec wanted{};
    wanted.tv_sec = static_cast<time_t>(duration.count() / 1000);
    wanted.tv_nsec = static_cast<long>(duration.count() % 1000) * 1000000L;
    while (nanosleep(&wanted, &wanted) != 0) {
    }
}

}  // namespace kolm::platform
