#include "platform/posix/shell/paths.h"

#include <algorithm>
#include <cctype>

namespace kolm::platform::posix::shell {
namespace {

constexpr std::string_view kSystemDirectory = "c:/windows/system32";

unsigned char fold(char c) { return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c))); }

bool has_drive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

bool match_from(std::string_view pattern, std::string_view name) {
    // Iterative match with backtracking to the last '*'.
    std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

std::string to_posix_path(std::string_view path, std::string_view system_dir) {
    std::string converted(path);
    std::replace(converted.begin(), converted.end(), '\\', '/');
    if (!has_drive(converted)) return converted;

    const std::string_view view(converted);
    const bool in_system_dir = view.size() >= kSystemDirectory.size()
                               && equals_ignore_case(view.substr(0, kSystemDirectory.size()), kSystemDirectory)
                               && (view.size() == kSystemDirectory.size() || view[kSystemDirectory.size()] == '/');
    if (!in_system_dir || system_dir.empty()) return {};
    std::string_view rest = view.substr(kSystemDirectory.size());
    if (!rest.empty()) rest.remove_prefix(1);
    return std::string(system_dir) + std::string(rest);
}

bool has_wildcards(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

bool wildcard_match(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*") return true;
    return match_from(pattern, name);
}

bool equals_ignore_case(std::string_view a, std::string_view b) {
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return fold(x) == fold(y); });
}

bool name_less(std::string_view a, std::string_view b) {
    const bool folded_less = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return fold(x) < fold(y); });
    if (folded_less) return true;
    if (!equals_ignore_case(a, b)) return false;
    return a < b;
}

std::string directory_part(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string file_part(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace kolm::platform::posix::shell
