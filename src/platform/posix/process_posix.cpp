#include <cstdlib>

#include "platform/platform.h"
#include "platform/posix/terminal_posix.h"

namespace kolm::platform {

void exit_process(int status) {
    posix::terminal_restore();
    std::exit(status);
}

}  // namespace kolm::platform
