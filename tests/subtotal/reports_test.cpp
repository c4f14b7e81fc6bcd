#include "subtotal/reports.h"

#include <gtest/gtest.h>

#include <string>

namespace kolm::subtotal {
namespace {

TEST(Reports, HtmlEscaping) {
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"", ""},
        {"H2", "H2"},
        {R"(=IF(A2<>A3,ROW(),""))", R"(=IF(A2&lt;&gt;A3,ROW(),""))"},
        {R"(LT="&LT2&", )", R"(LT="&amp;LT2&amp;", )"},
        {"<b>&amp;</b>", "&lt;b&gt;&amp;amp;&lt;/b&gt;"},
        {"&&<<>>", "&amp;&amp;&lt;&lt;&gt;&gt;"},
        {std::string("\xe9\"'\t", 4), std::string("\xe9\"'\t", 4)},
    };
    for (const auto& c : cases) EXPECT_EQ(html_escaped(c.text), c.expected) << c.text;
}

TEST(Reports, LevelsWrittenForGroupCount) {
    const struct {
        std::int32_t count;
        std::int32_t levels;
    } cases[] = {
        {INT32_MIN, 0}, {-5, 0}, {0, 0}, {1, 1}, {12, 12}, {701, 701}, {702, 702}, {703, 702}, {INT32_MAX, 702},
    };
    for (const auto& c : cases) EXPECT_EQ(levels_to_write(c.count), c.levels) << c.count;
}

}  // namespace
}  // namespace kolm::subtotal
