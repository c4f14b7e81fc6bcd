#include "subtotal/column_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace kolm::subtotal {
namespace {

TEST(ColumnCodec, NamesToNumbers) {
    const struct {
        std::string name;
        std::int32_t number;
    } cases[] = {
        {"A", 1},   {"a", 1},    {"  a  ", 1}, {"z", 26},   {"aa", 27}, {"Az", 52}, {"BA", 53},
        {"ZZ", 702}, {"", -64},  {"   ", -64}, {"1", -15},  {"ABC", 1}, {"A1", 11}, {"A B", 1},
        {"\tAB", -55},  // only spaces are trimmed; the tab is the first of three
        {std::string("\xff\xff"), 191 * 26 + 191},
    };
    for (const auto& c : cases) EXPECT_EQ(column_to_number(c.name), c.number) << '"' << c.name << '"';
}

TEST(ColumnCodec, NumbersToNames) {
    const struct {
        std::int32_t number;
        std::string name;
    } cases[] = {
        {1, "A"},     {25, "Y"},    {26, "Z"},    {27, "AA"},   {51, "AY"},  {52, "AZ"},   {53, "BA"},
        {78, "BZ"},   {676, "YZ"},  {677, "ZA"},  {701, "ZY"},  {702, "ZZ"}, {703, "[A"},  {727, "[Y"},
        {728, "[Z"},  {729, "\\A"}, {0, "@"},     {-26, "@"},   {-1, "Y"},   {-64, "N"},
        // The first character's code reaches 255 at 4992 and stops there.
        {4966, "\xfe" "Z"}, {4991, "\xff" "Y"}, {4992, "\xff" "Z"}, {4993, "\xff" "A"}, {5200, "\xff" "Z"},
    };
    for (const auto& c : cases) EXPECT_EQ(number_to_column(c.number), c.name) << c.number;
}

TEST(ColumnCodec, ExtremeNumbersGiveText) {
    for (const std::int32_t n : {INT32_MIN, INT32_MIN + 1, -1000000, 1000000, INT32_MAX - 1, INT32_MAX}) {
        const std::string name = number_to_column(n);
        EXPECT_TRUE(name.size() == 1 || name.size() == 2) << n;
    }
    EXPECT_EQ(offset_column("A", INT32_MAX), number_to_column(INT32_MAX));
}

TEST(ColumnCodec, RoundTripsOverAllColumns) {
    for (std::int32_t n = 1; n <= kLastColumn; ++n) {
        const std::string name = number_to_column(n);
        ASSERT_EQ(column_to_number(name), n) << name;
        std::string lower = name;
        for (char& c : lower) c = static_cast<char>(c - 'A' + 'a');
        ASSERT_EQ(column_to_number(lower), n) << lower;
    }
    for (char first = 'A'; first <= 'Z'; ++first) {
        const std::string one(1, first);
        ASSERT_EQ(number_to_column(column_to_number(one)), one);
        for (char second = 'A'; second <= 'Z'; ++second) {
            const std::string two{first, second};
            ASSERT_EQ(number_to_column(column_to_number(two)), two);
        }
    }
}

TEST(ColumnCodec, OffsetColumn) {
    const struct {
        std::string name;
        std::int32_t offset;
        std::string expected;
    } cases[] = {
        {"H", 0, "H"}, {"h", 5, "M"}, {"Z", 1, "AA"}, {" y ", 2, "AA"}, {"ZZ", 1, "[A"}, {"A", -1, "@"},
    };
    for (const auto& c : cases) EXPECT_EQ(offset_column(c.name, c.offset), c.expected) << c.name << '+' << c.offset;
}

}  // namespace
}  // namespace kolm::subtotal
