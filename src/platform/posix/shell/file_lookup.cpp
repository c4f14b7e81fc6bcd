#include "platform/posix/shell/file_lookup.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/posix/shell/paths.h"

namespace kolm::platform::posix::shell {

std::string directory_or_current(const std::string& directory) { return directory.empty() ? "." : directory; }

std::vector<std::string> matching_names(const std::string& directory, std::string_view pattern) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(directory_or_current(directory).c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = ::readdir(dir)) {
        if (wildcard_match(pattern, entry->d_name)) names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return name_less(a, b); });
    return names;
}

std::vector<std::string> matching_files(const std::string& directory, std::string_view pattern) {
    std::vector<std::string> files;
    for (std::string& name : matching_names(directory, pattern)) {
        if (is_regular_file(directory + name)) files.push_back(std::move(name));
    }
    return files;
}

std::optional<std::string> resolve_existing(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return path;
    const std::string directory = directory_part(path);
    const std::string name = file_part(path);
    if (name.empty() || has_wildcards(name)) return std::nullopt;
    const std::vector<std::string> candidates = matching_names(directory, name);
    if (candidates.empty()) return std::nullopt;
    return directory + candidates.front();
}

bool is_directory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool is_regular_file(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string current_directory() {
    std::string buffer(4096, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return ".";
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

std::string display_path(std::string_view typed) {
    const bool absolute = !typed.empty()
                          && (typed[0] == '/' || typed[0] == '\\'
                              || (typed.size() >= 2 && typed[1] == ':' && std::isalpha(static_cast<unsigned char>(typed[0]))));
    if (absolute) return std::string(typed);
    std::string base = current_directory();
    if (typed.empty()) return base;
    if (base.empty() || base.back() != '/') base.push_back('/');
    return base + std::string(typed);
}

std::string error_text(int error_number) {
    switch (error_number) {
        case ENOENT: return "The system cannot find the file specified.";
        case ENOTDIR: return "The system cannot find the path specified.";
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS: return "Access is denied.";
        case ENOSPC: return "There is not enough space on the disk.";
        default: return std::strerror(error_number);
    }
}

}  // namespace kolm::platform::posix::shell
