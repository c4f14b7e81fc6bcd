#include "environment/utilities.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace kolm::environment {
namespace {

TEST(CountNonblankLines, OnlySpacesMakeALineBlank) {
    const struct {
        std::string content;
        int count;
    } cases[] = {
        {"", 0},
        {"   \r\n  \r\n\r\n", 0},
        {"\t\r\n", 1},
        {"  \t  \r\n", 1},
        {" a\r\n\r\nb", 2},
        {"\r\n\r\n   x", 1},
        {"\r\n---------- check_01.txt\r\ncmd.exe\r\n", 2},
    };
    testing::TempDir dir;
    for (const auto& c : cases) {
        dir.write("check.txt", c.content);
        EXPECT_EQ(count_nonblank_lines(dir.file("check.txt")), c.count) << c.content;
    }
    EXPECT_EQ(count_nonblank_lines(dir.file("missing.txt")), 0);
}

TEST(CopyCommandsForLine, EachNameTheLineHoldsCaseSensitiveInTableOrder) {
    const std::string copy = "copy c:\\windows\\system32\\";
    const struct {
        const char* line;
        std::vector<std::string> commands;
    } cases[] = {
        {"12/11/2026  11:54 AM         2,622,736 cmd.exe", {copy + "cmd.exe"}},
        {"12/11/2026  11:54 AM         2,622,736 CMD.EXE", {}},
        {"12/11/2026  11:54 AM         2,622,736 xcmd.exe", {copy + "cmd.exe"}},
        {"cmd.exe cmd.exe", {copy + "cmd.exe"}},
        {"find.exe sort.exe cmd.exe", {copy + "cmd.exe", copy + "sort.exe", copy + "find.exe"}},
        {"sort.EXE find.exe.bak", {copy + "find.exe"}},
        {" Directory of c:\\windows\\system32", {}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(copy_commands_for_line(c.line), c.commands) << c.line;
}

}  // namespace
}  // namespace kolm::environment
