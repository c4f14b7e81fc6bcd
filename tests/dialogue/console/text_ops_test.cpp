#include "dialogue/console/text_ops.h"

#include <gtest/gtest.h>

namespace kolm::console {
namespace {

TEST(TextOps, TrimAndCase) {
    EXPECT_EQ(trim_spaces("  A  "), "A");
    EXPECT_EQ(trim_spaces("\tA\t"), "\tA\t");  // tabs are not spaces here
    EXPECT_EQ(trim_spaces("    "), "");
    EXPECT_EQ(trim_leading_spaces("  A  "), "A  ");
    EXPECT_EQ(to_upper("aZz{\xe8`"), "AZZ{\xe8`");  // only a..z change
    EXPECT_EQ(text_length(std::string("a\0b", 3)), 3);
}

TEST(TextOps, MidText) {
    struct Case {
        const char* text;
        int start, count;
        const char* expected;
    };
    const Case cases[] = {
        {"Windows-1250", 9, -1, "1250"},  {"Windows-1250", 13, -1, ""}, {"Windows-1250", 13, 5, ""},
        {"Windows-1250", 0, 3, ""},       {"Windows-1250", 1, 0, ""},   {"Windows-1250", 1, 7, "Windows"},
        {"Windows-1250", 11, 99, "50"},   {"", 1, 1, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mid_text(c.text, c.start, c.count), c.expected) << c.text << " " << c.start << " " << c.count;
    }
}

TEST(TextOps, FindText) {
    struct Case {
        int start;
        const char* text;
        const char* pattern;
        int expected;
    };
    const Case cases[] = {
        {1, "xcmd.exe cmd.exe", "cmd.exe", 2}, {3, "xcmd.exe cmd.exe", "cmd.exe", 10},
        {1, "CMD.EXE", "cmd.exe", 0},          {1, "abc", "", 0},
        {1, "", "a", 0},                       {0, "abc", "a", 0},
        {4, "abc", "c", 0},                    {1, "ab", "abc", 0},
        {3, "abc", "c", 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(find_text(c.start, c.text, c.pattern), c.expected) << c.text << " / " << c.pattern;
    }
}

TEST(TextOps, CharsAndIntegers) {
    EXPECT_EQ(char_code("A\xff", 2), 255);
    EXPECT_EQ(char_code("A", 0), 0);
    EXPECT_EQ(char_code("A", 2), 0);
    EXPECT_EQ(char_code("", 1), 0);
    EXPECT_EQ(char_text(65 + 256), "A");
    EXPECT_EQ(integer_text(-5), "-5");
    EXPECT_EQ(integer_text(0), "0");
    EXPECT_EQ(integer_text(-2147483647 - 1), "-2147483648");
}

}  // namespace
}  // namespace kolm::console
