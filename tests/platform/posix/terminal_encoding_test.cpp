#include "platform/posix/terminal_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kolm::platform::posix {
namespace {

// Every test leaves the terminal passing bytes through, as it starts.
class TerminalEncoding : public ::testing::Test {
protected:
    void TearDown() override { ASSERT_TRUE(set_console_code_page(65001)); }
};

struct Sample {
    int code_page;
    std::string bytes;  // in the code page
    std::string utf8;
};

TEST_F(TerminalEncoding, EachCodePageOfTheMenuBothWays) {
    const std::vector<Sample> samples = {
        {1250, "\x8a\xe8", "Šč"}, {1251, "\xc6", "Ж"},  {1252, "\x80", "€"},  {1253, "\xe1", "α"},
        {1254, "\xfe", "ş"},      {1255, "\xf9", "ש"},  {1256, "\xc7", "ا"},  {1257, "\xe0", "ą"},
        {1258, "\xe0", "à"},      {54936, "\xd6\xd0", "中"},
    };
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.code_page);
        ASSERT_TRUE(set_console_code_page(s.code_page));
        EXPECT_EQ(console_code_page(), s.code_page);
        EXPECT_EQ(encode_for_terminal("a" + s.bytes + "\r\n"), "a" + s.utf8 + "\r\n");
        std::string pending;
        EXPECT_EQ(decode_from_terminal("a" + s.utf8, pending), "a" + s.bytes);
        EXPECT_EQ(pending, "");
    }
}

TEST_F(TerminalEncoding, BytesPassThroughBeforeAnyCodePageAndUnderUtf8) {
    const std::string bytes = "\x8a\xe8 \xc5\x1b[A\r\n";
    std::string pending;
    EXPECT_EQ(encode_for_terminal(bytes), bytes);
    EXPECT_EQ(decode_from_terminal(bytes, pending), bytes);
    EXPECT_EQ(pending, "");
}

TEST_F(TerminalEncoding, WhatThePageLacksBecomesAQuestionMark) {
    ASSERT_TRUE(set_console_code_page(1250));
    std::string pending;
    EXPECT_EQ(decode_from_terminal("x中Жy", pending), "x??y");
    EXPECT_EQ(decode_from_terminal("\xff\xc5z", pending), "??z");  // not UTF-8 at all, then a broken sequence
    ASSERT_TRUE(set_console_code_page(1251));
    EXPECT_EQ(encode_for_terminal("\x98"), "?");  // a byte the page leaves undefined
    ASSERT_TRUE(set_console_code_page(54936));
    EXPECT_EQ(encode_for_terminal("\x80\r\n"), "?\r\n");
}

TEST_F(TerminalEncoding, CharactersSplitAcrossReadsAndWritesWait) {
    ASSERT_TRUE(set_console_code_page(1250));
    std::string pending;
    EXPECT_EQ(decode_from_terminal("a\xc5", pending), "a");
    EXPECT_EQ(pending, "\xc5");
    EXPECT_EQ(decode_from_terminal("\xa0", pending), "\x8a");
    EXPECT_EQ(pending, "");

    ASSERT_TRUE(set_console_code_page(54936));
    EXPECT_EQ(decode_from_terminal("\xe4\xb8", pending), "");
    EXPECT_EQ(decode_from_terminal("\xad", pending), "\xd6\xd0");
    EXPECT_EQ(encode_for_terminal("b\xd6"), "b");
    EXPECT_EQ(encode_for_terminal("\xd0"), "中");
    EXPECT_EQ(encode_for_terminal("\x81\x30\x81"), "");  // a four-byte character, three bytes in
    EXPECT_EQ(encode_for_terminal("\x30"), "\xc2\x80");  // U+0080
}

TEST_F(TerminalEncoding, UnknownCodePageChangesNothing) {
    ASSERT_TRUE(set_console_code_page(1252));
    for (int code_page : {0, 437, 850, 936, 1249, 1259, 54935}) {
        EXPECT_FALSE(set_console_code_page(code_page)) << code_page;
    }
    EXPECT_EQ(console_code_page(), 1252);
    EXPECT_EQ(encode_for_terminal("\x80"), "€");
}

}  // namespace
}  // namespace kolm::platform::posix
