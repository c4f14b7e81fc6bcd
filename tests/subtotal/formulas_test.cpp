#include "subtotal/formulas.h"

#include "subtotal/html_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kolm::subtotal {
namespace {

SubtotalParams layout(std::string start, std::int32_t groups, std::string data, std::int32_t row, std::string free) {
    return SubtotalParams{std::move(start), groups, std::move(data), row, std::move(free)};
}

enum class Kind { flag, label, sum };

std::string formula(Kind kind, const SubtotalParams& params, std::string_view sep, std::int32_t level) {
    switch (kind) {
        case Kind::flag: return break_flag_formula(params, sep, level);
        case Kind::label: return label_formula(params, sep, level);
        case Kind::sum: return sum_formula(params, sep, level);
    }
    return {};
}

struct Case {
    SubtotalParams params;
    std::string sep;
    Kind kind;
    std::int32_t level;
    std::string expected;
};

TEST(Formulas, WholeFormulas) {
    const SubtotalParams example = layout("A", 2, "F", 2, "H");
    const SubtotalParams lower = layout("a", 2, "f", 2, "h");
    const Case cases[] = {
        // The worked example, both separators, and its lower-case twin.
        {example, ",", Kind::flag, 1, R"(=IF(A2<>A3,ROW(),""))"},
        {example, ",", Kind::flag, 2, R"(=IF(OR(B2<>B3,H2<>""),ROW(),""))"},
        {example, ",", Kind::label, 1, R"(=IF(H2<>"",T("SUBTOTAL_01(A="&A2&", F)="),""))"},
        {example, ",", Kind::sum, 1,
         R"(=IF(H2<>"",SUM(INDIRECT("F"&TEXT((MAX(H$2:INDIRECT("H"&TEXT(ROW()-1,"#")))+IF(ROW()>2,1,0)),"#")):INDIRECT("F"&TEXT(ROW(),"#"))),""))"},
        {example, ",", Kind::label, 2, R"(=IF(I2<>"",T("SUBTOTAL_02(A="&A2&", B="&B2&", F)="),""))"},
        {example, ",", Kind::sum, 2,
         R"(=IF(I2<>"",SUM(INDIRECT("F"&TEXT((MAX(I$2:INDIRECT("I"&TEXT(ROW()-1,"#")))+IF(ROW()>2,1,0)),"#")):INDIRECT("F"&TEXT(ROW(),"#"))),""))"},
        {example, ";", Kind::flag, 1, R"(=IF(A2<>A3;ROW();""))"},
        {example, ";", Kind::flag, 2, R"(=IF(OR(B2<>B3;H2<>"");ROW();""))"},
        {example, ";", Kind::label, 1, R"(=IF(H2<>"";T("SUBTOTAL_01(A="&A2&", F)=");""))"},
        {example, ";", Kind::sum, 1,
         R"(=IF(H2<>"";SUM(INDIRECT("F"&TEXT((MAX(H$2:INDIRECT("H"&TEXT(ROW()-1;"#")))+IF(ROW()>2;1;0));"#")):INDIRECT("F"&TEXT(ROW();"#")));""))"},
        {example, ";", Kind::label, 2, R"(=IF(I2<>"";T("SUBTOTAL_02(A="&A2&", B="&B2&", F)=");""))"},
        {example, ";", Kind::sum, 2,
         R"(=IF(I2<>"";SUM(INDIRECT("F"&TEXT((MAX(I$2:INDIRECT("I"&TEXT(ROW()-1;"#")))+IF(ROW()>2;1;0));"#")):INDIRECT("F"&TEXT(ROW();"#")));""))"},
        {lower, ",", Kind::flag, 2, R"(=IF(OR(B2<>B3,H2<>""),ROW(),""))"},
        {lower, ",", Kind::label, 2, R"(=IF(I2<>"",T("SUBTOTAL_02(A="&A2&", B="&B2&", F)="),""))"},
        {lower, ";", Kind::sum, 1,
         R"(=IF(H2<>"";SUM(INDIRECT("F"&TEXT((MAX(H$2:INDIRECT("H"&TEXT(ROW()-1;"#")))+IF(ROW()>2;1;0));"#")):INDIRECT("F"&TEXT(ROW();"#")));""))"},
        // Three levels: the third flag tests both outer flags.
        {layout("A", 3, "F", 2, "H"), ",", Kind::flag, 3, R"(=IF(OR(C2<>C3,H2<>"",I2<>""),ROW(),""))"},
        {layout("A", 3, "F", 2, "H"), ",", Kind::label, 3,
         R"(=IF(J2<>"",T("SUBTOTAL_03(A="&A2&", B="&B2&", C="&C2&", F)="),""))"},
        // Level 10 of 12: nine flag tests, and "0" stays before the level.
        {layout("A", 12, "F", 2, "H"), ",", Kind::flag, 10,
         R"(=IF(OR(J2<>J3,H2<>"",I2<>"",J2<>"",K2<>"",L2<>"",M2<>"",N2<>"",O2<>"",P2<>""),ROW(),""))"},
        {layout("A", 12, "F", 2, "H"), ",", Kind::label, 10,
         R"(=IF(Q2<>"",T("SUBTOTAL_010(A="&A2&", B="&B2&", C="&C2&", D="&D2&", E="&E2&", F="&F2&", G="&G2&", H="&H2&", I="&I2&", J="&J2&", F)="),""))"},
        // Start row 1, free area Z, decimal comma.
        {layout("A", 1, "F", 1, "Z"), ";", Kind::flag, 1, R"(=IF(A1<>A2;ROW();""))"},
        {layout("A", 1, "F", 1, "Z"), ";", Kind::label, 1, R"(=IF(Z1<>"";T("SUBTOTAL_01(A="&A1&", F)=");""))"},
        {layout("A", 1, "F", 1, "Z"), ";", Kind::sum, 1,
         R"(=IF(Z1<>"";SUM(INDIRECT("F"&TEXT((MAX(Z$1:INDIRECT("Z"&TEXT(ROW()-1;"#")))+IF(ROW()>1;1;0));"#")):INDIRECT("F"&TEXT(ROW();"#")));""))"},
        // Two-letter data column and key columns across Z.
        {layout("Y", 3, "ab", 5, "AC"), ",", Kind::label, 3,
         R"(=IF(AE5<>"",T("SUBTOTAL_03(Y="&Y5&", Z="&Z5&", AA="&AA5&", AB)="),""))"},
        {layout("Y", 3, "ab", 5, "AC"), ",", Kind::sum, 3,
         R"(=IF(AE5<>"",SUM(INDIRECT("AB"&TEXT((MAX(AE$5:INDIRECT("AE"&TEXT(ROW()-1,"#")))+IF(ROW()>5,1,0)),"#")):INDIRECT("AB"&TEXT(ROW(),"#"))),""))"},
        // Level 1 keeps the typed sort column, spaces and all; later levels convert it.
        {layout(" a", 2, "F", 2, "H"), ",", Kind::flag, 1, R"(=IF( A2<> A3,ROW(),""))"},
        {layout(" a", 2, "F", 2, "H"), ",", Kind::flag, 2, R"(=IF(OR(B2<>B3,H2<>""),ROW(),""))"},
        // Odd rows go in as they come; the row after the last 32-bit row still counts on.
        {layout("A", 1, "F", -3, "H"), ",", Kind::flag, 1, R"(=IF(A-3<>A-2,ROW(),""))"},
        {layout("A", 1, "F", 2147483647, "H"), ",", Kind::flag, 1, R"(=IF(A2147483647<>A2147483648,ROW(),""))"},
        // A free area past ZZ gives a lower-case lead byte, upper-cased with the formula.
        {layout("A", 1, "F", 2, "`]"), ",", Kind::label, 1, R"(=IF(AC2<>"",T("SUBTOTAL_01(A="&A2&", F)="),""))"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formula(c.kind, c.params, c.sep, c.level), c.expected)
            << "kind " << static_cast<int>(c.kind) << " level " << c.level << " sep " << c.sep;
    }
}

TEST(Formulas, OneLevelHasNoOr) {
    const SubtotalParams one = layout("A", 1, "F", 2, "H");
    for (const std::string sep : {",", ";"}) {
        for (const Kind kind : {Kind::flag, Kind::label, Kind::sum}) {
            EXPECT_EQ(formula(kind, one, sep, 1).find("OR("), std::string::npos);
        }
    }
}

// Parentheses outside quoted text balance, and the separator stands only
// where arguments are separated: never inside the label's quoted ", ".
TEST(Formulas, ParenthesesBalanceAtEveryLevel) {
    const SubtotalParams params = layout("b", 30, "c", 7, "k");
    for (const std::string sep : {",", ";"}) {
        for (std::int32_t level = 1; level <= 30; ++level) {
            for (const Kind kind : {Kind::flag, Kind::label, Kind::sum}) {
                const std::string text = formula(kind, params, sep, level);
                int depth = 0;
                bool quoted = false;
                for (const char c : text) {
                    if (c == '"') quoted = !quoted;
                    if (quoted) continue;
                    if (c == '(') ++depth;
                    if (c == ')') --depth;
                    ASSERT_GE(depth, 0) << text;
                }
                EXPECT_EQ(depth, 0) << text;
                EXPECT_FALSE(quoted) << text;
            }
        }
    }
}

// The reports build the lists level by level, with their HTML form beside
// them; asked in any order, the series gives what a fresh build gives.
TEST(Formulas, SeriesMatchesFreshBuilds) {
    const SubtotalParams params = layout("x", 40, "AB", 3, "zx");
    for (const std::string sep : {",", ";"}) {
        FormulaSeries series = start_formula_series(params, sep);
        const std::vector<std::int32_t> levels = {1, 2, 3, 4, 10, 11, 40, 5, 1, 6, 2, 39};
        for (const std::int32_t level : levels) {
            FormulaText flag, label, sum;
            append_break_flag_formula(series, level, flag);
            append_label_formula(series, level, label);
            append_sum_formula(series, level, sum);
            EXPECT_EQ(flag.text, break_flag_formula(params, sep, level)) << level;
            EXPECT_EQ(label.text, label_formula(params, sep, level)) << level;
            EXPECT_EQ(sum.text, sum_formula(params, sep, level)) << level;
            for (const FormulaText* f : {&flag, &label, &sum}) EXPECT_EQ(f->html, html_escaped(f->text)) << level;
        }
    }
}

}  // namespace
}  // namespace kolm::subtotal
