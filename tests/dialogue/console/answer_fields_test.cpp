#include "dialogue/console/answer_fields.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <string>
#include <vector>

namespace kolm::console {
namespace {

struct FieldCase {
    std::string line;
    std::vector<std::string> fields;  // successive fields read from the line
    std::size_t final_position;
};

TEST(AnswerFields, TextFieldsAndWhereTheyLeaveTheReadPosition) {
    const std::vector<FieldCase> cases = {
        {"", {"", ""}, 0},
        {"   \t ", {""}, 5},
        {"  A  ", {"A  "}, 5},
        {"A,B", {"A", "B", ""}, 3},
        {"\"A, B\"", {"A, B"}, 6},
        {"\t x\ty ,z", {"x\ty ", "z"}, 8},
        {"\"A, B\"  , C", {"A, B", "C"}, 11},
        {"\"A, B\"xyz", {"A, B", "xyz"}, 9},      // a byte after the closing quote starts the next field
        {"\"open to the end, still", {"open to the end, still"}, 23},
        {"\"\"", {""}, 2},
        {"a\"b\",c", {"a\"b\"", "c"}, 6},          // a quote inside a field is an ordinary byte
        {",,x", {"", "", "x"}, 3},
        {"x,", {"x", ""}, 2},
        {"\xE8\xC4,\xFF z", {"\xE8\xC4", "\xFF z"}, 6},
    };
    for (const FieldCase& c : cases) {
        AnswerLine line{c.line, 0};
        for (std::size_t i = 0; i < c.fields.size(); ++i) {
            EXPECT_EQ(next_text_field(line), c.fields[i]) << "line [" << c.line << "] field " << i;
        }
        EXPECT_EQ(line.position, c.final_position) << "line [" << c.line << "]";
    }
}

TEST(AnswerFields, IntegerFieldTexts) {
    const std::vector<FieldCase> cases = {
        {"", {""}, 0},
        {"1 5", {"1", "5"}, 3},
        {"1,5", {"1", "5"}, 3},
        {"  12  , 7", {"12", "7"}, 9},
        {"12\t\t x", {"12", "x"}, 6},
        {"\"1 2,3\"4 9", {"1 2,34", "9"}, 10},  // the quoted part only groups; the field goes on
        {"5\"6 7", {"5\"6", "7"}, 5},
        {"\xB5\xB6\x80 1", {"\xB5\xB6\x80", "1"}, 5},
    };
    for (const FieldCase& c : cases) {
        AnswerLine line{c.line, 0};
        for (std::size_t i = 0; i < c.fields.size(); ++i) {
            EXPECT_EQ(next_integer_field(line), c.fields[i]) << "line [" << c.line << "] field " << i;
        }
        EXPECT_EQ(line.position, c.final_position) << "line [" << c.line << "]";
    }
}

TEST(AnswerFields, FieldMaximaLeaveTheRestForTheNextField) {
    struct MaximumCase {
        bool integer;
        std::size_t maximum;
    };
    for (const MaximumCase m : {MaximumCase{false, kTextFieldMax}, MaximumCase{true, kIntegerFieldMax}}) {
        auto next = [&](AnswerLine& l) { return m.integer ? next_integer_field(l) : next_text_field(l); };
        const std::string head(m.maximum, '7');

        AnswerLine longer{head + "89,1", 0};
        EXPECT_EQ(next(longer), head);
        EXPECT_EQ(next(longer), "89");
        EXPECT_EQ(next(longer), "1");

        // At the maximum, blanks and one comma after it still go with the field.
        AnswerLine exact{"  " + head + " \t , 2", 0};
        EXPECT_EQ(next(exact), head);
        EXPECT_EQ(next(exact), "2");

        AnswerLine quoted{"\"" + head + "\"", 0};
        EXPECT_EQ(next(quoted), head);
        EXPECT_EQ(quoted.position, head.size() + 1);  // the closing quote stays unread
    }
}

TEST(AnswerFields, EveryByteFrom128To255IsOrdinaryAndBytesAfterItAreRead) {
    for (int b = 128; b <= 255; ++b) {
        const std::string byte(1, static_cast<char>(b));
        AnswerLine text{"x" + byte + "y,z", 0};
        EXPECT_EQ(next_text_field(text), "x" + byte + "y") << b;
        EXPECT_EQ(next_text_field(text), "z") << b;
        AnswerLine integer{"4" + byte + "2 3", 0};
        const std::string field = next_integer_field(integer);
        EXPECT_EQ(field, "4" + byte + "2") << b;
        EXPECT_EQ(integer_field_value(field), 4) << b;
        EXPECT_EQ(integer_field_value(next_integer_field(integer)), 3) << b;
    }
}

struct ValueCase {
    std::string field;
    std::int32_t value;
};

const std::vector<ValueCase>& value_cases() {
    static const std::vector<ValueCase> cases = {
        // decimal integers, taken modulo 2^32
        {"", 0}, {"abc", 0}, {"12abc", 12}, {"-", 0}, {"+7", 7}, {"-7", -7}, {"007", 7},
        {"2147483647", 2147483647}, {"2147483648", -2147483647 - 1}, {"4294967295", -1},
        {"4294967296", -1}, {"99999999999999", -1}, {"-1", -1}, {"-4294967295", 1},
        {"-2147483649", 2147483647}, {" 5", 0}, {"&", 0},
        // floating text: round half to even, out of range gives the lowest value
        {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"-3.5", -4}, {"0.5", 0}, {"-0.5", 0}, {"1.5", 2},
        {"2.5000000000000000001", 3}, {"2.4999999999999999999", 2}, {"2.50000", 2},
        {"1e3", 1000}, {"1d3", 1000}, {"1D3", 1000}, {"1E+3", 1000}, {"25e-1", 2}, {"35E-1", 4},
        {".5e1", 5}, {"5.", 5}, {".", 0}, {"e5", 0}, {"1e", 1}, {"1e+", 1}, {"7.9x", 8},
        {"0.000000000000000000000000000000000000000000000000000000000000009", 0},
        {"1e10", -2147483647 - 1}, {"1e400", -2147483647 - 1}, {"-1e400", -2147483647 - 1},
        {"1e-400", 0}, {"1e99999999999999999999", -2147483647 - 1},
        {"2147483647.4", 2147483647}, {"2147483647.5", -2147483647 - 1},
        {"-2147483648.5", -2147483647 - 1}, {"-2147483647.5", -2147483647 - 1},
        {"-2147483646.5", -2147483646}, {"4294967295.0", -2147483647 - 1},
        {"1&.5", 1},  // a point after "&" does not make floating text
        // other bases after "&"
        {"&HFF", 255}, {"&hff", 255}, {"&HDE", 222}, {"&17", 15}, {"&O17", 15}, {"&o17", 15},
        {"&B101", 5}, {"&b12", 1}, {"&H", 0}, {"&8", 0}, {"&Z1", 0}, {"&HFFFFFFFF", -1},
        {"&H100000005", 5}, {"&H7FFFFFFF", 2147483647}, {"&H1.5", 1}, {"&H-1", 0},
    };
    return cases;
}

TEST(AnswerFields, IntegerValues) {
    for (const ValueCase& c : value_cases()) {
        EXPECT_EQ(integer_field_value(c.field), c.value) << "field [" << c.field << "]";
    }
}

TEST(AnswerFields, RoundingDoesNotDependOnTheFloatingPointMode) {
    for (const int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        ASSERT_EQ(std::fesetround(mode), 0);
        for (const ValueCase& c : value_cases()) {
            EXPECT_EQ(integer_field_value(c.field), c.value) << "field [" << c.field << "] mode " << mode;
        }
    }
    std::fesetround(FE_TONEAREST);
}

TEST(AnswerFields, TypedAnswersEndToEnd) {
    const std::vector<std::pair<std::string, std::int32_t>> cases = {
        {"12abc", 12}, {"abc", 0}, {"", 0}, {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"1e3", 1000},
        {"1d3", 1000}, {"&HFF", 255}, {"&HDE", 222}, {"&17", 15}, {"1,5", 1}, {"1 5", 1},
        {"4294967295", -1}, {"1e10", -2147483647 - 1}, {"  \"1 2\"", 1}, {"\"1\"2", 12},
        {std::string(66, '0') + "79", 7}, {std::string(65, '0') + "3.5", 3},
    };
    for (const auto& [typed, value] : cases) {
        AnswerLine line{typed, 0};
        EXPECT_EQ(integer_field_value(next_integer_field(line)), value) << "answer [" << typed << "]";
    }
}

}  // namespace
}  // namespace kolm::console
