// Command lines run through our own interpreter: the Windows one and its
// utilities do not exist here.
#include "platform/platform.h"
#include "platform/posix/shell/shell.h"
#include "platform/posix/shell/system_directory.h"

namespace kolm::platform {

int run_command(std::string_view command_line) {
    static const posix::shell::ShellContext context{posix::shell::system_directory(), &console_write};
    return posix::shell::run_line(command_line, context);
}

}  // namespace kolm::platform
