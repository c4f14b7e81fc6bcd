#include "platform/posix/shell/system_directory.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <vector>

#if defined(__APPLE__)
#include <mach-o/dyld.h>
#else
#include <unistd.h>
#endif

#include "platform/posix/shell/paths.h"

#ifndef KOLM_SYSTEM_DIR_REL
#define KOLM_SYSTEM_DIR_REL "lib/kolm_subtotal/system32"
#endif

namespace kolm::platform::posix::shell {
namespace {

bool ends_with(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

std::string system_directory_beside(std::string_view executable, std::string_view relative) {
    std::string folder = directory_part(executable);  // ends in '/'
    const std::string relative_folder = "/" + std::string(relative) + "/";
    if (ends_with(folder, relative_folder)) return folder;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const std::size_t slash = folder.rfind('/');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    return folder + std::string(relative) + "/";
}

std::string executable_path() {
#if defined(__APPLE__)
    std::uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::vector<char> raw(size + 1, '\0');
    if (_NSGetExecutablePath(raw.data(), &size) != 0) return {};
    char resolved[PATH_MAX];
    return ::realpath(raw.data(), resolved) != nullptr ? std::string(resolved) : std::string(raw.data());
#else
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return {};
        if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
#endif
}

std::string system_directory() {
    const std::string executable = executable_path();
    if (executable.empty()) return {};
    return system_directory_beside(executable, KOLM_SYSTEM_DIR_REL);
}

}  // namespace kolm::platform::posix::shell
