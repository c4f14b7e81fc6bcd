#include "platform/posix/utility/text_utilities.h"

#include <gtest/gtest.h>

namespace kolm::platform::posix::utility {
namespace {

TEST(UtilityRole, TakenFromTheBaseNameWhateverItsCase) {
    const struct {
        const char* program;
        Role role;
    } cases[] = {
        {"cmd.exe", Role::command_interpreter}, {"./CMD.EXE", Role::command_interpreter},
        {"/x/y/sort.exe", Role::sort},          {"find", Role::find},
        {"xcmd.exe", Role::unknown},            {"kolm_posix_utility", Role::unknown},
        {"/cmd.exe/other", Role::unknown},      {"", Role::unknown},
    };
    for (const auto& c : cases) EXPECT_EQ(role_of(c.program), c.role) << c.program;
}

TEST(SplitLines, LineEnds) {
    const struct {
        std::string content;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"\r\n\r\nx\r", {"", "", "x"}},
        {"a\rb\n", {"a\rb"}},
    };
    for (const auto& c : cases) EXPECT_EQ(split_lines(c.content), c.lines) << c.content;
}

TEST(SortedLines, IgnoresCaseKeepsOrderOfEqualsAndEndsLinesWithCrLf) {
    EXPECT_EQ(sorted_lines("b\nA\r\na\r\nB\r\n10\n9\n \n"), " \r\n10\r\n9\r\nA\r\na\r\nb\r\nB\r\n");
    EXPECT_EQ(sorted_lines("_\nZ\n"), "Z\r\n_\r\n");  // letters fold to upper case before comparing
    EXPECT_EQ(sorted_lines(""), "");
}

TEST(MatchingLines, SubstringWithOrWithoutCase) {
    const std::string listing = "x.EXE\r\ny.txt\r\n.exe\nsort.exe.bak\n";
    EXPECT_EQ(matching_lines(listing, ".exe", true), "x.EXE\r\n.exe\r\nsort.exe.bak\r\n");
    EXPECT_EQ(matching_lines(listing, ".exe", false), ".exe\r\nsort.exe.bak\r\n");
    EXPECT_EQ(matching_lines(listing, "zip", true), "");
}

TEST(JoinArguments, QuotesComeBackWhereBlanksWouldSplitAWord) {
    const struct {
        std::vector<std::string> arguments;
        std::string tail;
    } cases[] = {
        {{}, ""},
        {{"/c", "dir"}, "/c dir"},
        {{"/i", "\".exe\"", "check_01.txt"}, "/i \".exe\" check_01.txt"},
        {{"a b", "c"}, "\"a b\" c"},
        {{"\"a b\"", "c"}, "\"a b\" c"},
    };
    for (const auto& c : cases) EXPECT_EQ(join_arguments(c.arguments), c.tail);
}

}  // namespace
}  // namespace kolm::platform::posix::utility
