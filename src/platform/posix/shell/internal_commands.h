// The commands the interpreter carries out itself.
#pragma once

#include <string>
#include <vector>

#include "platform/posix/shell/shell_io.h"

namespace kolm::platform::posix::shell {

using Words = std::vector<std::string>;  // arguments as written, quotes kept

using InternalCommand = int (*)(const Words& words, const Output& out, const ShellContext& context);

// The built-in command of that name (any case), or null.
InternalCommand find_internal_command(std::string_view name);

int command_dir(const Words& words, const Output& out, const ShellContext& context);
int command_copy(const Words& words, const Output& out, const ShellContext& context);
int command_del(const Words& words, const Output& out, const ShellContext& context);
int command_chcp(const Words& words, const Output& out, const ShellContext& context);

// The parts of one line of a "dir" listing. Pure; exposed for tests.
std::string thousands(unsigned long long value);  // 1234567 -> "1,234,567"
std::string listing_time(long long seconds_since_epoch);  // "MM/DD/YYYY  hh:mm AM", local time

}  // namespace kolm::platform::posix::shell
