// Text for the HTML report: what the text report prints, with the three
// bytes that a browser would take for markup written as references.
#pragma once

#include <string>
#include <string_view>

namespace kolm::subtotal {

// `text` with &, < and > as &amp;, &lt; and &gt;; every other byte stays.
void append_html_escaped(std::string& out, std::string_view text);
std::string html_escaped(std::string_view text);

}  // namespace kolm::subtotal
