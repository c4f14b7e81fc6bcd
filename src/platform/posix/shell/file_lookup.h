// Directory look-ups with Windows manners: names match whatever their case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolm::platform::posix::shell {

// Names in `directory` ("" for the current one) that match `pattern`, in
// listing order; "." and ".." are among them when the pattern matches them.
std::vector<std::string> matching_names(const std::string& directory, std::string_view pattern);

// Those of the names above that are regular files. `directory` is "" or
// ends in '/', so that it prefixes each name as it stands.
std::vector<std::string> matching_files(const std::string& directory, std::string_view pattern);

// `path` when it exists; else the entry of its directory whose name equals
// its last part ignoring case; else nothing.
std::optional<std::string> resolve_existing(const std::string& path);

bool is_directory(const std::string& path);
bool is_regular_file(const std::string& path);

// The directory a path's last part lives in: "" becomes ".".
std::string directory_or_current(const std::string& directory);

std::string current_directory();

// A path as the user typed it, made absolute for messages.
std::string display_path(std::string_view typed);

// The text of the last error, in the words the Windows interpreter uses for
// the common ones.
std::string error_text(int error_number);

}  // namespace kolm::platform::posix::shell
