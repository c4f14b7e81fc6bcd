#include "subtotal/html_text.h"

namespace kolm::subtotal {

void append_html_escaped(std::string& out, std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string_view reference;
        switch (text[i]) {
            case '&': reference = "&amp;"; break;
            case '<': reference = "&lt;"; break;
            case '>': reference = "&gt;"; break;
            default: continue;
        }
        out.append(text.data() + start, i - start);
        out += reference;
        start = i + 1;
    }
    out.append(text.data() + start, text.size() - start);
}

std::string html_escaped(std::string_view text) {
    std::string out;
    append_html_escaped(out, text);
    return out;
}

}  // namespace kolm::subtotal
