#include "platform/posix/shell/internal_commands.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform/posix/shell/command_line.h"
#include "platform/posix/shell/file_lookup.h"
#include "platform/posix/shell/paths.h"
#include "platform/posix/terminal_encoding.h"

namespace kolm::platform::posix::shell {
namespace {

constexpr std::string_view kSyntaxError = "The syntax of the command is incorrect.";
constexpr std::string_view kPathNotFound = "The system cannot find the path specified.";
constexpr std::string_view kFileNotFound = "The system cannot find the file specified.";

struct NamedCommand {
    std::string_view name;
    InternalCommand run;
};

// "for" is not here: its body is a command line of its own, so the
// interpreter takes it apart before any redirection is read.
constexpr std::array<NamedCommand, 4> kInternalCommands = {{
    {"dir", command_dir},
    {"copy", command_copy},
    {"del", command_del},
    {"chcp", command_chcp},
}};

// Arguments that are not switches, quotes removed.
std::vector<std::string> operands(const Words& words) {
    std::vector<std::string> result;
    for (const std::string& word : words) {
        if (!is_switch(word)) result.push_back(unquote(word));
    }
    return result;
}

std::string pad_left(std::string_view text, std::size_t width) {
    std::string out;
    if (text.size() < width) out.assign(width - text.size(), ' ');
    out += text;
    return out;
}

// The typed directory part of a path, without its last separator.
std::string typed_directory(std::string_view typed) {
    const std::size_t slash = typed.find_last_of("\\/");
    if (slash == std::string_view::npos) return {};
    if (slash == 0 || (slash == 2 && typed[1] == ':')) return std::string(typed.substr(0, slash + 1));
    return std::string(typed.substr(0, slash));
}

// ---- dir --------------------------------------------------------------------

struct Listing {
    std::string directory;  // POSIX path to read
    std::string pattern;
    std::string shown;      // as the "Directory of" line names it
};

std::optional<Listing> listing_for(const std::string& typed, const ShellContext& context) {
    if (typed.empty()) return Listing{".", "*", current_directory()};
    const std::string path = to_posix_path(typed, context.system_dir);
    if (path.empty()) return std::nullopt;
    if (is_directory(path)) {
        std::string shown(typed);
        while (shown.size() > 1 && (shown.back() == '\\' || shown.back() == '/') && shown[shown.size() - 2] != ':') {
            shown.pop_back();
        }
        return Listing{path, "*", display_path(shown)};
    }
    return Listing{directory_or_current(directory_part(path)), file_part(path), display_path(typed_directory(typed))};
}

void write_volume_lines(const Output& out, const std::string& directory) {
    struct statvfs info {};
    unsigned long serial = 0;
    if (::statvfs(directory.c_str(), &info) == 0) serial = static_cast<unsigned long>(info.f_fsid) & 0xFFFFFFFFUL;
    char serial_text[16];
    std::snprintf(serial_text, sizeof serial_text, "%04lX-%04lX", serial >> 16, serial & 0xFFFFUL);
    out.line(" Volume in drive C has no label.");
    out.line(std::string(" Volume Serial Number is ") + serial_text);
}

unsigned long long free_bytes(const std::string& directory) {
    struct statvfs info {};
    if (::statvfs(directory.c_str(), &info) != 0) return 0;
    return static_cast<unsigned long long>(info.f_bavail) * info.f_frsize;
}

// ---- copy -------------------------------------------------------------------

bool same_file(const std::string& a, const std::string& b) {
    struct stat first {}, second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

bool append_file(int out_fd, const std::string& source, struct stat& info) {
    const int in_fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in_fd < 0 || ::fstat(in_fd, &info) != 0) {
        const int saved = errno;
        if (in_fd >= 0) ::close(in_fd);
        errno = saved;
        return false;
    }
    std::array<char, 65536> buffer;
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(in_fd, buffer.data(), buffer.size());
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        if (!write_fd(out_fd, std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
            ok = false;
            break;
        }
    }
    const int saved = errno;
    ::close(in_fd);
    errno = saved;
    return ok;
}

// Writes the sources, one after the other, into a new file that then takes
// the target's name, so a reader of the old target never sees half a file.
// The file keeps the first source's permission bits and, for a plain copy,
// its modification time.
bool copy_into(const std::string& target, const std::vector<std::string>& sources, std::string& error) {
    const std::string directory = directory_part(target);
    std::string temp = (directory.empty() ? std::string("./") : directory) + ".kolm_copy_XXXXXX";
    const int out_fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (out_fd < 0) {
        error = error_text(errno);
        return false;
    }
    struct stat first {};
    bool ok = true;
    for (std::size_t i = 0; i < sources.size() && ok; ++i) {
        struct stat info {};
        ok = append_file(out_fd, sources[i], info);
        if (i == 0) first = info;
    }
    if (ok) ok = ::fchmod(out_fd, first.st_mode & 07777) == 0;
    if (ok && sources.size() == 1) {
#ifdef __APPLE__
        const struct timespec times[2] = {first.st_atimespec, first.st_mtimespec};
#else
        const struct timespec times[2] = {first.st_atim, first.st_mtim};
#endif
        ok = ::futimens(out_fd, times) == 0;
    }
    if (ok) {
        ok = ::close(out_fd) == 0;
    } else {
        const int saved = errno;
        ::close(out_fd);
        errno = saved;
    }
    if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        error = error_text(errno);
        ::unlink(temp.c_str());
    }
    return ok;
}

// Files a copy source names: one file, or the files a wildcard or a
// directory stands for (then `listed` is set: their names are shown).
std::vector<std::string> copy_sources(const std::string& path, bool& listed) {
    std::vector<std::string> files;
    std::string directory = directory_part(path);
    std::string pattern = file_part(path);
    listed = has_wildcards(pattern);
    if (!listed) {
        const std::optional<std::string> existing = resolve_existing(path);
        if (!existing) return files;
        if (!is_directory(*existing)) return {*existing};
        directory = *existing + "/";
        pattern = "*";
        listed = true;
    }
    for (const std::string& name : matching_files(directory, pattern)) files.push_back(directory + name);
    return files;
}

void report_copied(const Output& out, std::size_t count) {
    out.line(pad_left(std::to_string(count), 9) + " file(s) copied.");
}

// ---- del --------------------------------------------------------------------

// Deletes what one name stands for; false after an error message.
bool delete_named(const std::string& typed, const ShellContext& context) {
    const std::string path = to_posix_path(typed, context.system_dir);
    const std::string pattern = file_part(path);
    std::vector<std::string> targets;
    if (!path.empty() && has_wildcards(pattern)) {
        const std::string directory = directory_part(path);
        for (const std::string& name : matching_files(directory, pattern)) targets.push_back(directory + name);
    } else if (!path.empty()) {
        if (const std::optional<std::string> existing = resolve_existing(path)) {
            if (is_directory(*existing)) {
                // Windows would empty the directory after asking; nothing here asks.
                error_line("Access is denied.");
                return false;
            }
            targets.push_back(*existing);
        }
    }
    if (targets.empty()) {
        error_line("Could Not Find " + display_path(typed));
        return false;
    }
    bool ok = true;
    for (const std::string& target : targets) {
        if (::unlink(target.c_str()) != 0) {
            error_line(display_path(file_part(target)) + " - " + error_text(errno));
            ok = false;
        }
    }
    return ok;
}

}  // namespace

InternalCommand find_internal_command(std::string_view name) {
    for (const NamedCommand& command : kInternalCommands) {
        if (equals_ignore_case(command.name, name)) return command.run;
    }
    return nullptr;
}

std::string thousands(unsigned long long value) {
    std::string digits = std::to_string(value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<std::size_t>(i), 1, ',');
    return digits;
}

std::string listing_time(long long seconds_since_epoch) {
    const std::time_t time = static_cast<std::time_t>(seconds_since_epoch);
    std::tm local {};
    ::localtime_r(&time, &local);
    const int hour = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d  %02d:%02d %s", local.tm_mon + 1, local.tm_mday,
                  local.tm_year + 1900, hour, local.tm_min, local.tm_hour < 12 ? "AM" : "PM");
    return text;
}

int command_dir(const Words& words, const Output& out, const ShellContext& context) {
    const std::vector<std::string> paths = operands(words);
    const std::optional<Listing> listing = listing_for(paths.empty() ? std::string() : paths.front(), context);
    if (!listing) {
        error_line(kPathNotFound);
        return 1;
    }
    write_volume_lines(out, listing->directory);
    out.line("");
    out.line(" Directory of " + listing->shown);
    out.line("");

    const std::string prefix = listing->directory + "/";
    unsigned long long file_count = 0, directory_count = 0, total_bytes = 0;
    std::string lines;
    for (const std::string& name : matching_names(listing->directory, listing->pattern)) {
        struct stat info {};
        if (::stat((prefix + name).c_str(), &info) != 0) continue;
        lines += listing_time(static_cast<long long>(info.st_mtime));
        if (S_ISDIR(info.st_mode)) {
            lines += "    <DIR>          ";
            ++directory_count;
        } else {
            lines += pad_left(thousands(static_cast<unsigned long long>(info.st_size)), 18) + " ";
            ++file_count;
            total_bytes += static_cast<unsigned long long>(info.st_size);
        }
        lines += name + "\r\n";
    }
    if (file_count + directory_count == 0) {
        error_line("File Not Found");
        return 1;
    }
    out.write(lines);
    out.line(pad_left(std::to_string(file_count), 16) + " File(s) " + pad_left(thousands(total_bytes), 14) + " bytes");
    out.line(pad_left(std::to_string(directory_count), 16) + " Dir(s) "
             + pad_left(thousands(free_bytes(listing->directory)), 15) + " bytes free");
    return 0;
}

int command_copy(const Words& words, const Output& out, const ShellContext& context) {
    const std::vector<std::string> names = operands(words);
    if (names.empty() || names.size() > 2) {
        error_line(kSyntaxError);
        return 1;
    }
    const std::string source = to_posix_path(names[0], context.system_dir);
    bool listed = false;
    const std::vector<std::string> sources = source.empty() ? std::vector<std::string>() : copy_sources(source, listed);
    if (sources.empty()) {
        error_line(kFileNotFound);
        report_copied(out, 0);
        return 1;
    }

    // No destination means the current directory.
    std::string destination = names.size() == 2 ? to_posix_path(names[1], context.system_dir) : std::string(".");
    if (destination.empty()) {
        error_line(kPathNotFound);
        report_copied(out, 0);
        return 1;
    }
    const bool into_directory = is_directory(destination);
    if (into_directory && destination.back() != '/') destination.push_back('/');

    std::size_t copied = 0;
    std::string error;
    if (!into_directory) {
        // Several sources and one file: the file gets them all, one after another.
        for (const std::string& file : sources) {
            if (listed) out.line(file_part(file));
        }
        if (sources.size() == 1 && same_file(sources[0], destination)) {
            error_line("The file cannot be copied onto itself.");
        } else if (copy_into(destination, sources, error)) {
            copied = 1;
        } else {
            error_line(error);
        }
    } else {
        for (const std::string& file : sources) {
            if (listed) out.line(file_part(file));
            const std::string target = destination + file_part(file);
            if (same_file(file, target)) {
                error_line("The file cannot be copied onto itself.");
            } else if (copy_into(target, {file}, error)) {
                ++copied;
            } else {
                error_line(error);
            }
        }
    }
    report_copied(out, copied);
    return copied > 0 ? 0 : 1;
}

int command_del(const Words& words, const Output&, const ShellContext& context) {
    const std::vector<std::string> names = operands(words);
    if (names.empty()) {
        error_line(kSyntaxError);
        return 1;
    }
    int status = 0;
    for (const std::string& name : names) {
        if (!delete_named(name, context)) status = 1;
    }
    return status;
}

int command_chcp(const Words& words, const Output& out, const ShellContext&) {
    const std::vector<std::string> values = operands(words);
    if (values.empty()) {
        const int current = console_code_page();
        out.line("Active code page: " + std::to_string(current == 0 ? 65001 : current));
        return 0;
    }
    const std::string& text = values.front();
    const bool numeric = !text.empty() && text.size() <= 6
                         && text.find_first_not_of("0123456789") == std::string::npos;
    if (!numeric || !set_console_code_page(std::stoi(text))) {
        error_line("Invalid code page");
        return 1;
    }
    out.line("Active code page: " + std::to_string(std::stoi(text)));
    return 0;
}

}  // namespace kolm::platform::posix::shell
