#include "dialogue/console/terminal_keys.h"

#include <gtest/gtest.h>

namespace kolm::console {
namespace {

std::string ext(int code) { return extended_key(code); }

// Keys from a byte stream that is then followed by a pause.
std::vector<std::string> decode(std::string_view bytes) {
    TerminalKeyDecoder decoder;
    std::vector<std::string> keys;
    decode_terminal_bytes(decoder, bytes, keys);
    decode_terminal_timeout(decoder, keys);
    return keys;
}

TEST(TerminalKeys, SequencesTerminalsSend) {
    struct Case {
        std::string bytes;
        std::string key;
    };
    const Case cases[] = {
        {"\x1b[A", ext(72)},      {"\x1b[B", ext(80)},      {"\x1b[C", ext(77)},      {"\x1b[D", ext(75)},
        {"\x1bOA", ext(72)},      {"\x1bOD", ext(75)},      {"\x1b[H", ext(71)},      {"\x1bOH", ext(71)},
        {"\x1b[1~", ext(71)},     {"\x1b[7~", ext(71)},     {"\x1b[F", ext(79)},      {"\x1bOF", ext(79)},
        {"\x1b[4~", ext(79)},     {"\x1b[8~", ext(79)},     {"\x1b[2~", ext(82)},     {"\x1b[3~", ext(83)},
        {"\x1b[5~", ext(73)},     {"\x1b[6~", ext(81)},     {"\x1bOP", ext(59)},      {"\x1bOQ", ext(60)},
        {"\x1bOR", ext(61)},      {"\x1bOS", ext(62)},      {"\x1b[11~", ext(59)},    {"\x1b[14~", ext(62)},
        {"\x1b[[A", ext(59)},     {"\x1b[[E", ext(63)},     {"\x1b[15~", ext(63)},    {"\x1b[17~", ext(64)},
        {"\x1b[21~", ext(68)},    {"\x1b[23~", ext(133)},   {"\x1b[24~", ext(134)},   {"\x1b[Z", ext(15)},
        // modifiers: m = 1 + Shift(1) + Alt(2) + Ctrl(4)
        {"\x1b[1;5A", ext(141)},  {"\x1b[1;3A", ext(152)},  {"\x1b[1;7A", ext(152)},  {"\x1b[1;2A", ext(72)},
        {"\x1b[1;5D", ext(115)},  {"\x1b[1;5C", ext(116)},  {"\x1b[1;5H", ext(119)},  {"\x1b[1;5F", ext(117)},
        {"\x1b[3;5~", ext(147)},  {"\x1b[3;3~", ext(163)},  {"\x1b[5;5~", ext(132)},  {"\x1b[6;5~", ext(118)},
        {"\x1b[2;5~", ext(146)},  {"\x1b[1;2P", ext(84)},   {"\x1b[1;5P", ext(94)},   {"\x1b[1;3P", ext(104)},
        {"\x1b[15;2~", ext(88)},  {"\x1b[21;5~", ext(103)}, {"\x1b[23;2~", ext(135)}, {"\x1b[24;5~", ext(138)},
        {"\x1b[24;3~", ext(140)}, {"\x1b[1;4B", ext(160)},  {"\x1b[6;3~", ext(161)},  {"\x1b[1;6D", ext(115)},
        // plain bytes
        {"\x7f", "\b"},           {"\b", "\b"},             {"\r", "\r"},             {"\n", "\n"},
        {"\t", "\t"},             {"\xe8", "\xe8"},         {"\x01", "\x01"},         {"a", "a"},
        // Esc alone, and Alt with a character
        {"\x1b", "\x1b"},         {"\x1bq", ext(16)},       {"\x1bP", ext(25)},       {"\x1b" "a", ext(30)},
        {"\x1bm", ext(50)},       {"\x1b" "1", ext(120)},   {"\x1b" "0", ext(129)},   {"\x1b-", ext(130)},
        {"\x1b=", ext(131)},      {"\x1b[", ext(26)},       {"\x1b]", ext(27)},       {"\x1b;", ext(39)},
        {"\x1b'", ext(40)},       {"\x1b`", ext(41)},       {"\x1b\\", ext(43)},      {"\x1b,", ext(51)},
        {"\x1b.", ext(52)},       {"\x1b/", ext(53)},       {"\x1b\x7f", ext(14)},    {"\x1b\r", ext(28)},
        {"\x1b\t", ext(165)},     {"\x1bO", ext(24)},       {"\x1b\x01", ext(30)},    {"\x1b!", "!"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decode(c.bytes), std::vector<std::string>{c.key}) << ::testing::PrintToString(c.bytes);
    }
}

TEST(TerminalKeys, UnknownSequencesAreConsumedWhole) {
    for (std::string_view bytes : {"\x1b[99~", "\x1b[?1;2c", "\x1b[200~", "\x1b[1;5X", "\x1bOx"}) {
        EXPECT_EQ(decode(bytes), std::vector<std::string>{}) << ::testing::PrintToString(std::string(bytes));
    }
    EXPECT_EQ(decode("\x1b[99~a"), std::vector<std::string>{"a"});
    EXPECT_EQ(decode("\x1b[1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18A1"), std::vector<std::string>{"1"});
}

TEST(TerminalKeys, StreamsAndTimeouts) {
    EXPECT_EQ(decode("1\x1b[A2\x1bOP3"), (std::vector<std::string>{"1", ext(72), "2", ext(59), "3"}));
    EXPECT_EQ(decode("\x1b\x1b"), (std::vector<std::string>{"\x1b", "\x1b"}));
    EXPECT_EQ(decode("\x1b\x1b[A"), (std::vector<std::string>{"\x1b", ext(72)}));

    // A sequence split across reads is still one key; Esc waits for the pause.
    TerminalKeyDecoder decoder;
    std::vector<std::string> keys;
    decode_terminal_bytes(decoder, "x\x1b", keys);
    EXPECT_EQ(keys, std::vector<std::string>{"x"});
    EXPECT_TRUE(decoder_waiting(decoder));
    decode_terminal_bytes(decoder, "[", keys);
    decode_terminal_bytes(decoder, "3~", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"x", ext(83)}));
    EXPECT_FALSE(decoder_waiting(decoder));

    // A partial sequence cut off by the pause gives nothing.
    keys.clear();
    decode_terminal_bytes(decoder, "\x1b[1;", keys);
    decode_terminal_timeout(decoder, keys);
    EXPECT_EQ(keys, std::vector<std::string>{});
    EXPECT_FALSE(decoder_waiting(decoder));
}

TEST(TerminalKeys, AnEscEndsAnUnfinishedSequenceAndStartsTheNextKey) {
    // Keys typed ahead arrive in one read: what stands before an Esc is
    // taken as a pause would take it, and the key after it is not lost.
    EXPECT_EQ(decode("\x1b[\x1b[D"), (std::vector<std::string>{ext(26), ext(75)}));
    EXPECT_EQ(decode("\x1bO\x1b[A"), (std::vector<std::string>{ext(24), ext(72)}));
    EXPECT_EQ(decode("\x1b[1;\x1b[B"), std::vector<std::string>{ext(80)});
    EXPECT_EQ(decode("\x1bO5\x1b\x1b"), (std::vector<std::string>{"\x1b", "\x1b"}));
    EXPECT_EQ(decode("\x1b[[\x1bOPx"), (std::vector<std::string>{ext(59), "x"}));
}

}  // namespace
}  // namespace kolm::console
