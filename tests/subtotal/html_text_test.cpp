#include "subtotal/html_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kolm::subtotal {
namespace {

TEST(HtmlText, Escaping) {
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

}  // namespace
}  // namespace kolm::subtotal
