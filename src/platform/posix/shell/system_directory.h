// Where the commands find the Windows system directory: a folder of the
// program's own installation, beside the folder of its executable.
#pragma once

#include <string>
#include <string_view>

namespace kolm::platform::posix::shell {

// The folder `relative` (e.g. "lib/kolm_subtotal/system32") beside the
// folder holding `executable`, ending in '/'. A helper that itself lives in
// such a folder has its own folder as the system directory. Pure.
std::string system_directory_beside(std::string_view executable, std::string_view relative);

// The running executable's absolute path; empty when it cannot be found.
std::string executable_path();

// The system directory of the running executable; empty when unknown.
std::string system_directory();

}  // namespace kolm::platform::posix::shell
