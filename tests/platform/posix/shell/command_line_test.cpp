#include "platform/posix/shell/command_line.h"

#include <gtest/gtest.h>

#include "platform/posix/shell/internal_commands.h"
#include "platform/posix/shell/paths.h"
#include "platform/posix/shell/system_directory.h"

namespace kolm::platform::posix::shell {
namespace {

TEST(ParseCommandLine, WordsQuotesAndRedirection) {
    const struct {
        const char* line;
        const char* name;
        std::vector<std::string> words;
        std::optional<std::string> output_file;
        bool append;
    } cases[] = {
        {"dir  > check_01.txt", "dir", {}, "check_01.txt", false},
        {"dir>x.txt", "dir", {}, "x.txt", false},
        {"dir >x.txt", "dir", {}, "x.txt", false},
        {"dir> x.txt /b", "dir", {"/b"}, "x.txt", false},
        {"cmd /c find /i \".exe\" check_01.txt >  check_02.txt", "cmd",
         {"/c", "find", "/i", "\".exe\"", "check_01.txt"}, "check_02.txt", false},
        {"find \"a > b\" f", "find", {"\"a > b\"", "f"}, std::nullopt, false},
        {"\"my prog\" arg", "my prog", {"arg"}, std::nullopt, false},
        {"copy a.txt \"b c.txt\">\"out file.txt\"", "copy", {"a.txt", "\"b c.txt\""}, "out file.txt", false},
        {"> only.txt", "", {}, "only.txt", false},
        {"chcp >> log.txt", "chcp", {}, "log.txt", true},
        {"  dir\t/b  ", "dir", {"/b"}, std::nullopt, false},
        {"", "", {}, std::nullopt, false},
    };
    for (const auto& c : cases) {
        const CommandLine parsed = parse_command_line(c.line);
        EXPECT_EQ(parsed.name, c.name) << c.line;
        EXPECT_EQ(parsed.words, c.words) << c.line;
        EXPECT_EQ(parsed.output_file, c.output_file) << c.line;
        EXPECT_EQ(parsed.append, c.append) << c.line;
    }
}

TEST(ParseForLoop, ShapeItemsAndBody) {
    const auto loop = parse_for_loop("for %i in (check_*.txt) do del /q %i > out_null.txt");
    ASSERT_TRUE(loop);
    EXPECT_EQ(loop->variable, 'i');
    EXPECT_EQ(loop->items, std::vector<std::string>{"check_*.txt"});
    EXPECT_EQ(loop->body, "del /q %i > out_null.txt");  // the redirection belongs to the body

    const auto other = parse_for_loop("  FOR %X IN (a, b;c \"d e\") DO copy %X y");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->variable, 'X');
    EXPECT_EQ(other->items, (std::vector<std::string>{"a", "b", "c", "d e"}));
    EXPECT_EQ(other->body, "copy %X y");

    for (const char* bad : {"for i in (a) do x", "for %i in a do x", "for %i in (a) x", "for %i in (a) do  ",
                            "for %1 in (a) do x", "for %ii in (a) do x", "for %i on (a) do x", "for %i in (a do x"}) {
        EXPECT_FALSE(parse_for_loop(bad)) << bad;
    }
    EXPECT_TRUE(starts_with_for("  For %i in (a) do x"));
    EXPECT_FALSE(starts_with_for("format c:"));
}

TEST(SubstituteVariable, OnlyThatLetterInThatCase) {
    const struct {
        const char* body;
        char variable;
        const char* value;
        const char* result;
    } cases[] = {
        {"del /q %i > out_null.txt", 'i', "check_01.txt", "del /q check_01.txt > out_null.txt"},
        {"%I %i", 'i', "v", "%I v"},
        {"%i%i", 'i', "ab", "abab"},
        {"100% %j", 'i', "v", "100% %j"},
        {"end %", 'i', "v", "end %"},
        // A value with blanks stays one word, quoted once.
        {"del /q %i > out_null.txt", 'i', "check_ a.txt", "del /q \"check_ a.txt\" > out_null.txt"},
        {"copy \"%i\" x%i", 'i', "a b", "copy \"a b\" x\"a b\""},
    };
    for (const auto& c : cases) EXPECT_EQ(substitute_variable(c.body, c.variable, c.value), c.result) << c.body;
}

TEST(CommandAfterCSwitch, TheRestOfTheLineWithOuterQuotesRemoved) {
    const struct {
        const char* arguments;
        std::optional<std::string> command;
    } cases[] = {
        {"/c dir", "dir"},
        {"/C for %i in (x) do del /q %i", "for %i in (x) do del /q %i"},
        {"/q /c \"dir > x.txt\"", "dir > x.txt"},
        {"/c find /i \".exe\" f", "find /i \".exe\" f"},
        {"/c", ""},
        {"dir", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(command_after_c_switch(c.arguments), c.command) << c.arguments;
}

TEST(ToPosixPath, SystemDirectoryAndSlashes) {
    const std::string system = "/opt/k/lib/kolm_subtotal/system32/";
    const struct {
        const char* typed;
        std::string with_system;
        std::string without_system;
    } cases[] = {
        {"c:\\windows\\system32\\*.exe", system + "*.exe", ""},
        {"C:/WINDOWS/System32/cmd.exe", system + "cmd.exe", ""},
        {"c:\\windows\\system32", system, ""},
        {"c:\\windows\\system32x\\a", "", ""},
        {"d:\\windows\\system32\\a", "", ""},
        {"sub\\file.txt", "sub/file.txt", "sub/file.txt"},
        {"plain.txt", "plain.txt", "plain.txt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(to_posix_path(c.typed, system), c.with_system) << c.typed;
        EXPECT_EQ(to_posix_path(c.typed, ""), c.without_system) << c.typed;
    }
}

TEST(WildcardMatch, CaseInsensitiveStarsAndQuestionMarks) {
    const struct {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"*.exe", "cmd.exe", true},       {"*.exe", "CMD.EXE", true},         {"*.exe", "cmd.exe.txt", false},
        {"check_*.txt", "check_01.txt", true}, {"check_*.txt", "check.txt", false}, {"check_*.txt", "out_null.txt", false},
        {"?md.exe", "cmd.exe", true},     {"?md.exe", "md.exe", false},       {"*.*", "noext", true},
        {"a*b*c", "aXbYc", true},         {"a*b*c", "aXbY", false},           {"*", ".", true},
        {"cmd.exe", "xcmd.exe", false},
    };
    for (const auto& c : cases) EXPECT_EQ(wildcard_match(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

TEST(SystemDirectoryBeside, BesideTheExecutablesFolderOrItsOwn) {
    const std::string rel = "lib/kolm_subtotal/system32";
    const struct {
        const char* executable;
        const char* system_dir;
    } cases[] = {
        {"/opt/k/bin/kolm_subtotal", "/opt/k/lib/kolm_subtotal/system32/"},
        {"/opt/k/lib/kolm_subtotal/system32/cmd.exe", "/opt/k/lib/kolm_subtotal/system32/"},
        {"/work/x/cmd.exe", "/work/lib/kolm_subtotal/system32/"},
        {"/kolm", "/lib/kolm_subtotal/system32/"},
    };
    for (const auto& c : cases) EXPECT_EQ(system_directory_beside(c.executable, rel), c.system_dir) << c.executable;
}

TEST(ListingFields, ThousandsAndTwelveHourTime) {
    const struct {
        unsigned long long value;
        const char* text;
    } numbers[] = {{0, "0"}, {999, "999"}, {1000, "1,000"}, {1234567, "1,234,567"}, {100000, "100,000"}};
    for (const auto& n : numbers) EXPECT_EQ(thousands(n.value), n.text);

    const struct {
        int hour, minute;
        const char* text;
    } times[] = {{0, 5, "03/04/2021  12:05 AM"}, {11, 59, "03/04/2021  11:59 AM"},
                 {12, 0, "03/04/2021  12:00 PM"}, {15, 7, "03/04/2021  03:07 PM"}};
    for (const auto& t : times) {
        std::tm local{};
        local.tm_year = 121;
        local.tm_mon = 2;
        local.tm_mday = 4;
        local.tm_hour = t.hour;
        local.tm_min = t.minute;
        local.tm_isdst = -1;
        EXPECT_EQ(listing_time(static_cast<long long>(std::mktime(&local))), t.text);
    }
}

}  // namespace
}  // namespace kolm::platform::posix::shell
