// The interpreter run for real in a scratch directory: internal commands on
// real files, and the cmd/sort/find helper of this build as child processes.
#include "platform/posix/shell/shell.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <regex>

#include "platform/posix/shell/system_directory.h"
#include "platform/posix/terminal_encoding.h"
#include "support/temp_dir.h"

namespace kolm::platform::posix::shell {
namespace {

namespace fs = std::filesystem;

std::string& console_bytes() {
    static std::string bytes;
    return bytes;
}
void capture_console(std::string_view bytes) { console_bytes() += bytes; }

std::vector<std::string> crlf_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "text does not end with CR LF: " << text;
    return lines;
}

time_t local_time(int year, int month, int day, int hour, int minute) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

// Runs command lines with a scratch directory as the current one and a
// scratch system directory ("sys/" inside it) unless told otherwise.
class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = fs::current_path();
        fs::current_path(dir_.path);
        fs::create_directory("sys");
        context_.system_dir = (dir_.path / "sys").string() + "/";
        context_.console = capture_console;
        console_bytes().clear();
    }
    void TearDown() override {
        fs::current_path(saved_);
        set_console_code_page(65001);
    }

    // Status, console bytes and standard error bytes of one line.
    struct Result {
        int status;
        std::string console;
        std::string errors;
    };
    Result run(const std::string& line) {
        console_bytes().clear();
        ::testing::internal::CaptureStderr();
        const int status = run_line(line, context_);
        const std::string errors = ::testing::internal::GetCapturedStderr();
        return {status, console_bytes(), errors};
    }

    void write(const std::string& name, const std::string& bytes, time_t modified = 0) {
        dir_.write(name, bytes);
        if (modified != 0) {
            const struct timespec times[2] = {{modified, 0}, {modified, 0}};
            ::utimensat(AT_FDCWD, name.c_str(), times, 0);
        }
    }
    std::string read(const std::string& name) { return dir_.read(name); }
    bool exists(const std::string& name) { return fs::exists(name); }
    std::string cwd() { return dir_.path.string(); }

    testing::TempDir dir_;
    fs::path saved_;
    ShellContext context_;
};

constexpr const char* kNotRecognizedText =
    "'%s' is not recognized as an internal or external command,\r\noperable program or batch file.\r\n";

std::string not_recognized(const std::string& name) {
    std::string text = kNotRecognizedText;
    return text.replace(text.find("%s"), 2, name);
}

TEST_F(Shell, RedirectionCreatesOrEmptiesItsFileBeforeTheCommandRuns) {
    write("old.txt", "old contents that must go\r\n");
    const Result unknown = run("nosuchcommand /x > old.txt");
    EXPECT_EQ(unknown.status, kNotRecognized);
    EXPECT_EQ(unknown.errors, not_recognized("nosuchcommand"));
    EXPECT_EQ(unknown.console, "");
    EXPECT_EQ(read("old.txt"), "");

    write("a.txt", "a");
    for (const char* line : {"copy a.txt b.txt>out.txt", "copy a.txt b.txt >out.txt", "copy a.txt b.txt> out.txt",
                             "copy a.txt b.txt  >  out.txt", "copy >out.txt a.txt b.txt"}) {
        const Result r = run(line);
        EXPECT_EQ(r.status, 0) << line;
        EXPECT_EQ(read("out.txt"), "        1 file(s) copied.\r\n") << line;
        EXPECT_EQ(r.console, "") << line;
    }
    run("copy a.txt c.txt >> out.txt");
    EXPECT_EQ(read("out.txt"), "        1 file(s) copied.\r\n        1 file(s) copied.\r\n");
    EXPECT_EQ(run("copy a.txt d.txt > nul").console, "");
    EXPECT_FALSE(exists("nul"));
}

TEST_F(Shell, AnyOtherCommandIsNotRecognized) {
    const struct {
        const char* line;
        const char* name;
    } cases[] = {
        {"xcopy a b", "xcopy"}, {"echo hello", "echo"}, {"type out.txt", "type"},
        {"\"sort\" x", "sort"}, {"cmd /c dir", "cmd"},  // no cmd.exe here nor in the system directory
    };
    for (const auto& c : cases) {
        const Result r = run(c.line);
        EXPECT_EQ(r.status, kNotRecognized) << c.line;
        EXPECT_EQ(r.errors, not_recognized(c.name)) << c.line;
        EXPECT_EQ(r.console, "") << c.line;
    }
    EXPECT_EQ(run("").status, 0);
}

// The entry lines' layout: date, two spaces, time, then <DIR> or the size
// right-aligned so that names start in column 39.
const std::regex kDirectoryEntry(R"(\d\d/\d\d/\d{4}  \d\d:\d\d [AP]M    <DIR>          (.+))");
const std::regex kFileEntry(R"(\d\d/\d\d/\d{4}  \d\d:\d\d [AP]M[ \d,]{18} (.+))");

std::vector<std::string> entry_names(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const std::string& line : lines) {
        std::smatch m;
        if (std::regex_match(line, m, kDirectoryEntry) || std::regex_match(line, m, kFileEntry)) {
            names.push_back(m[1]);
        }
    }
    return names;
}

TEST_F(Shell, DirListsInTheWindowsLayout) {
    const time_t when = local_time(2021, 3, 4, 15, 7);
    write("b.exe", std::string(1234, 'b'), when);
    write("A.txt", "12345", when);
    write("c.EXE", "", when);
    fs::create_directory("sub");

    const Result r = run("dir *.exe");
    EXPECT_EQ(r.status, 0);
    const std::vector<std::string> lines = crlf_lines(r.console);
    ASSERT_EQ(lines.size(), 9u) << r.console;
    EXPECT_EQ(lines[0], " Volume in drive C has no label.");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(" Volume Serial Number is [0-9A-F]{4}-[0-9A-F]{4}")));
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], " Directory of " + cwd());
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "03/04/2021  03:07 PM             1,234 b.exe");
    EXPECT_EQ(lines[6], "03/04/2021  03:07 PM                 0 c.EXE");
    EXPECT_EQ(lines[7], "               2 File(s)          1,234 bytes");
    EXPECT_TRUE(std::regex_match(lines[8], std::regex("               0 Dir\\(s\\) [ \\d,]{15} bytes free")))
        << lines[8];

    const Result all = run("dir > listing.txt");
    EXPECT_EQ(all.console, "");
    const std::vector<std::string> listed = crlf_lines(read("listing.txt"));
    EXPECT_EQ(entry_names(listed),
              (std::vector<std::string>{".", "..", "A.txt", "b.exe", "c.EXE", "listing.txt", "sub", "sys"}));
    EXPECT_TRUE(std::regex_match(listed.back(), std::regex(" +4 Dir\\(s\\) .* bytes free")));

    write("sub/in.txt", "x", when);
    EXPECT_EQ(entry_names(crlf_lines(run("dir sub").console)), (std::vector<std::string>{".", "..", "in.txt"}));
    EXPECT_EQ(crlf_lines(run("dir sub").console)[3], " Directory of " + cwd() + "/sub");
}

TEST_F(Shell, DirOfTheSystemDirectoryAndOfNothing) {
    write("sys/cmd.exe", "c");
    write("sys/notes.txt", "n");
    const Result r = run("dir c:\\windows\\system32\\*.exe > stm_01.txt");
    EXPECT_EQ(r.status, 0);
    const std::vector<std::string> lines = crlf_lines(read("stm_01.txt"));
    EXPECT_EQ(lines[3], " Directory of c:\\windows\\system32");
    EXPECT_EQ(entry_names(lines), std::vector<std::string>{"cmd.exe"});

    const Result none = run("dir *.zip > none.txt");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.errors, "File Not Found\r\n");
    EXPECT_EQ(crlf_lines(read("none.txt")).size(), 5u);  // the heading only

    const Result nowhere = run("dir d:\\x");
    EXPECT_EQ(nowhere.errors, "The system cannot find the path specified.\r\n");
    EXPECT_EQ(nowhere.console, "");
}

TEST_F(Shell, CopyLandsInTheCurrentDirectoryWithModeAndTime) {
    const time_t when = local_time(2020, 1, 2, 3, 4);
    write("sys/tool.exe", "program bytes", when);
    ASSERT_EQ(::chmod("sys/tool.exe", 0750), 0);
    write("tool.exe", "an older copy, to be replaced");

    const Result r = run("copy c:\\windows\\system32\\tool.exe");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.console, "        1 file(s) copied.\r\n");
    EXPECT_EQ(r.errors, "");
    EXPECT_EQ(read("tool.exe"), "program bytes");
    struct stat info {};
    ASSERT_EQ(::stat("tool.exe", &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0750u);
    EXPECT_EQ(info.st_mtime, when);
    for (const auto& entry : fs::directory_iterator(cwd())) {
        EXPECT_EQ(entry.path().filename().string().rfind(".kolm_copy", 0), std::string::npos);
    }

    // The name is found whatever its case.
    EXPECT_EQ(run("copy C:/Windows/System32/TOOL.EXE again.exe").console, "        1 file(s) copied.\r\n");
    EXPECT_EQ(read("again.exe"), "program bytes");
}

TEST_F(Shell, CopyFailuresCopyNothing) {
    write("a.txt", "a");
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"copy missing.txt", "The system cannot find the file specified.\r\n"},
        {"copy c:\\windows\\system32\\missing.exe", "The system cannot find the file specified.\r\n"},
        {"copy a.txt", "The file cannot be copied onto itself.\r\n"},
        {"copy a.txt d:\\x", "The system cannot find the path specified.\r\n"},
        {"copy a.txt nodir/b.txt", "The system cannot find the file specified.\r\n"},
    };
    for (const auto& c : cases) {
        const Result r = run(c.line);
        EXPECT_EQ(r.status, 1) << c.line;
        EXPECT_EQ(r.console, "        0 file(s) copied.\r\n") << c.line;
        EXPECT_EQ(r.errors, c.error) << c.line;
    }
    EXPECT_EQ(read("a.txt"), "a");
    EXPECT_EQ(run("copy").errors, "The syntax of the command is incorrect.\r\n");
}

TEST_F(Shell, CopyWithWildcardsNamesEachFile) {
    write("a.txt", "a");
    write("B.TXT", "b");
    write("c.dat", "c");
    fs::create_directory("sub");
    const Result r = run("copy *.txt sub");
    EXPECT_EQ(r.console, "a.txt\r\nB.TXT\r\n        2 file(s) copied.\r\n");
    EXPECT_EQ(read("sub/a.txt"), "a");
    EXPECT_EQ(read("sub/B.TXT"), "b");
    EXPECT_FALSE(exists("sub/c.dat"));

    // Several files into one: the file holds them all, in listing order.
    EXPECT_EQ(run("copy *.txt all.dat").console, "a.txt\r\nB.TXT\r\n        1 file(s) copied.\r\n");
    EXPECT_EQ(read("all.dat"), "ab");
}

TEST_F(Shell, DelRemovesWhatItsNamesMatch) {
    for (const char* name : {"check_01.txt", "CHECK_02.TXT", "check.txt", "out_null.txt", "a.txt", "b.txt"}) {
        write(name, "x");
    }
    fs::create_directory("check_dir.txt");
    const Result r = run("del /q check_*.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.console + r.errors, "");
    EXPECT_FALSE(exists("check_01.txt"));
    EXPECT_FALSE(exists("CHECK_02.TXT"));
    EXPECT_TRUE(exists("check.txt"));
    EXPECT_TRUE(exists("out_null.txt"));
    EXPECT_TRUE(exists("check_dir.txt"));  // directories are not files to delete

    EXPECT_EQ(run("del a.txt B.TXT").status, 0);
    EXPECT_FALSE(exists("a.txt"));
    EXPECT_FALSE(exists("b.txt"));

    const Result missing = run("del /q check_*.txt");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.errors, "Could Not Find " + cwd() + "/check_*.txt\r\n");
    EXPECT_EQ(run("del missing.txt").errors, "Could Not Find " + cwd() + "/missing.txt\r\n");
    EXPECT_EQ(run("del /q").errors, "The syntax of the command is incorrect.\r\n");
}

TEST_F(Shell, ForRunsItsBodyOncePerItemWithTheBodysOwnRedirection) {
    for (const char* name : {"check_01.txt", "check_02.txt", "keep.txt"}) write(name, "x");
    write("out_null.txt", "stale");
    const Result r = run("for %i in (check_*.txt) do del /q %i > out_null.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.console + r.errors, "");
    EXPECT_FALSE(exists("check_01.txt"));
    EXPECT_FALSE(exists("check_02.txt"));
    EXPECT_TRUE(exists("keep.txt"));
    EXPECT_EQ(read("out_null.txt"), "");

    // Items are expanded before the body first runs: the copies it makes
    // are not visited again.
    write("a.txt", "a");
    fs::remove("keep.txt");
    EXPECT_EQ(run("for %f in (*.txt) do copy %f x%f").status, 0);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(cwd())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "out_null.txt", "sys", "xa.txt", "xout_null.txt"}));

    // Items without wildcards stand for themselves.
    write("one.src", "1");
    write("two.src", "2");
    const Result literal = run("for %i in (one, two) do copy %i.src %i.dst");
    EXPECT_EQ(literal.console, "        1 file(s) copied.\r\n        1 file(s) copied.\r\n");
    EXPECT_EQ(read("two.dst"), "2");

    const Result bad = run("for %i in check_*.txt do del %i");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.errors, "The syntax of the command is incorrect.\r\n");
}

TEST_F(Shell, ForActsOnlyOnTheFilesItsPatternMatches) {
    // Names that POSIX allows and Windows does not must not turn into other
    // paths, wildcards or extra arguments when the body is read.
    fs::create_directories("work/check_");
    write("victim.txt", "outside");
    for (const char* name : {"check_01.txt", "check_ keep.txt", "keep.txt", "check_ *.txt", "check_\\..\\..\\victim.txt"}) {
        write(std::string("work/") + name, "x");
    }
    fs::current_path("work");
    const Result r = run("for %i in (check_*.txt) do del /q %i > out_null.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.errors, "");
    EXPECT_FALSE(exists("check_01.txt"));
    EXPECT_FALSE(exists("check_ keep.txt"));
    EXPECT_TRUE(exists("keep.txt"));
    EXPECT_TRUE(exists("check_ *.txt"));
    EXPECT_TRUE(exists("check_\\..\\..\\victim.txt"));
    EXPECT_TRUE(exists("../victim.txt"));
}

TEST_F(Shell, ChcpSwitchesTheTerminalOnlyToAKnownCodePage) {
    EXPECT_EQ(run("chcp").console, "Active code page: 65001\r\n");
    const Result set = run("chcp 1250");
    EXPECT_EQ(set.status, 0);
    EXPECT_EQ(set.console, "Active code page: 1250\r\n");
    EXPECT_EQ(console_code_page(), 1250);
    EXPECT_EQ(encode_for_terminal("\x8a"), "Š");

    for (const char* line : {"chcp 437", "chcp 12x", "chcp 99999999", "chcp -1250"}) {
        const Result r = run(line);
        EXPECT_EQ(r.status, 1) << line;
        EXPECT_EQ(r.errors, "Invalid code page\r\n") << line;
        EXPECT_EQ(r.console, "") << line;
        EXPECT_EQ(console_code_page(), 1250) << line;
    }
    EXPECT_EQ(run("chcp 54936").console, "Active code page: 54936\r\n");
    EXPECT_EQ(run("chcp").console, "Active code page: 54936\r\n");
}

// ---- the helper program, for real ---------------------------------------

class Utilities : public Shell {
protected:
    void SetUp() override {
        Shell::SetUp();
        context_.system_dir = system_directory();  // this build's helpers
        ASSERT_TRUE(fs::exists(context_.system_dir + "cmd.exe")) << context_.system_dir;
    }
};

TEST_F(Utilities, CmdRunsItsLineInTheSameInterpreter) {
    const Result r = run("cmd /c dir  > check_01.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.console + r.errors, "");
    const std::vector<std::string> lines = crlf_lines(read("check_01.txt"));
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[3], " Directory of " + cwd());
    EXPECT_EQ(entry_names(lines), (std::vector<std::string>{".", "..", "check_01.txt", "sys"}));

    // The child's own errors reach standard error; its status comes back.
    EXPECT_EQ(run("cmd /c nosuch > out.txt").status, 1);
    EXPECT_EQ(read("out.txt"), "");
}

TEST_F(Utilities, SortAndFindThroughCmd) {
    write("check_01.txt", "b.exe\nA.EXE\r\n\r\nc.txt\r\n");
    EXPECT_EQ(run("cmd /c sort check_01.txt /o check_02.txt").status, 0);
    EXPECT_EQ(read("check_02.txt"), "\r\nA.EXE\r\nb.exe\r\nc.txt\r\n");

    EXPECT_EQ(run("cmd /c find /i \".exe\" check_01.txt >  check_02.txt").status, 0);
    EXPECT_EQ(read("check_02.txt"), "\r\n---------- check_01.txt\r\nb.exe\r\nA.EXE\r\n");
    EXPECT_EQ(run("find \".EXE\" check_01.txt > case.txt").status, 0);
    EXPECT_EQ(read("case.txt"), "\r\n---------- check_01.txt\r\nA.EXE\r\n");

    const Result missing = run("find /i \"x\" nothing.txt > none.txt");
    EXPECT_EQ(missing.errors, "File not found - nothing.txt\r\n");
    EXPECT_EQ(read("none.txt"), "");
    EXPECT_EQ(run("sort nothing.txt /o sorted.txt").errors, "The system cannot find the file specified.\r\n");
    EXPECT_FALSE(exists("sorted.txt"));

    if (std::filesystem::exists("/dev/full")) {
        const Result full = run("sort check_01.txt /o /dev/full");
        EXPECT_EQ(full.status, 1);
        EXPECT_NE(full.errors, "");
    }
}

TEST_F(Utilities, TheCurrentDirectoryComesFirstAndAFileThatDoesNotRunFails) {
    write("cmd.exe", "not a program\n");
    ASSERT_EQ(::chmod("cmd.exe", 0755), 0);
    const Result r = run("cmd /c dir > out.txt");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.errors, "The system cannot execute the specified program.\r\n");
    EXPECT_EQ(read("out.txt"), "");

    // A copy of the helper in the current directory runs, and finds its
    // fellow utilities here.
    fs::remove("cmd.exe");
    EXPECT_EQ(run("copy c:\\windows\\system32\\cmd.exe").status, 0);
    EXPECT_EQ(run("copy c:\\windows\\system32\\sort.exe").status, 0);
    write("in.txt", "b\r\na\r\n");
    EXPECT_EQ(run("cmd /c sort in.txt /o out.txt").status, 0);
    EXPECT_EQ(read("out.txt"), "a\r\nb\r\n");
    context_.system_dir.clear();
    EXPECT_EQ(run("cmd /c find \"a\" in.txt > found.txt").status, 1);
}

}  // namespace
}  // namespace kolm::platform::posix::shell
