#include "dialogue/console/commands.h"

#include "dialogue/console/text_files.h"
#include "platform/platform.h"

namespace kolm::console {

int run_command(std::string_view command_line) {
    if (command_line.empty()) return -1;
    return platform::run_command(command_line);
}

void end_program(int status) {
    close_all_files();
    platform::exit_process(status);
}

}  // namespace kolm::console
