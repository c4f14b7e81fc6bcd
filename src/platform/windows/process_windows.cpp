#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/windows/console_state_windows.h"

namespace kolm::platform {

int run_command(std::string_view command_line) {
    // The command prints on the same console: what the program printed
    // before it must already be out.
    std::fflush(nullptr);
    const std::string line(command_line);
    return std::system(line.c_str());
}

void exit_process(int status) {
    windows::remove_control_handler();
    windows::console_restore();
    std::exit(status);
}

}  // namespace kolm::platform
