// Windows-style names on a POSIX file system: the fixed system directory,
// backslashes, and wildcards that ignore case. Pure.
#pragma once

#include <string>
#include <string_view>

namespace kolm::platform::posix::shell {

// The path a command names, for the POSIX file system: backslashes become
// slashes and "c:\windows\system32" (any case, either slash) becomes
// `system_dir` (absolute, ending in '/'). Another drive, or the system
// directory when there is none, gives the empty text: no such path.
std::string to_posix_path(std::string_view path, std::string_view system_dir);

bool has_wildcards(std::string_view name);

// "*" and "?" matched against a file name, letters in either case alike;
// "*.*" matches every name, as it does on Windows.
bool wildcard_match(std::string_view pattern, std::string_view name);

bool equals_ignore_case(std::string_view a, std::string_view b);
// Orders names as a directory listing shows them: ignoring case, then bytes.
bool name_less(std::string_view a, std::string_view b);

// The parts before and after the last '/': ("" when there is none, name).
std::string directory_part(std::string_view path);
std::string file_part(std::string_view path);

}  // namespace kolm::platform::posix::shell
