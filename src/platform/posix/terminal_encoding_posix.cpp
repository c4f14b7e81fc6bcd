#include "platform/posix/terminal_encoding.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstddef>

namespace kolm::platform::posix {
namespace {

// A UTF-8 terminal stands in for the console, so "chcp" changes how bytes
// are translated on their way to and from it. 65001 is UTF-8 itself: the
// bytes pass through, as they do before any "chcp".
constexpr int kUtf8CodePage = 65001;

struct CodePageCharset {
    int code_page;
    const char* charset;  // the name iconv knows it by
};

constexpr std::array<CodePageCharset, 10> kCharsets = {{
    {1250, "CP1250"}, {1251, "CP1251"}, {1252, "CP1252"}, {1253, "CP1253"},
    {1254, "CP1254"}, {1255, "CP1255"}, {1256, "CP1256"}, {1257, "CP1257"},
    {1258, "CP1258"}, {54936, "GB18030"},
}};

const char* charset_of(int code_page) {
    for (const auto& entry : kCharsets) {
        if (entry.code_page == code_page) return entry.charset;
    }
    return nullptr;
}

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

struct Converter {
    iconv_t handle = kNoConverter;

    void reset(const char* to, const char* from) {
        close();
        handle = iconv_open(to, from);
    }
    void close() {
        if (handle != kNoConverter) iconv_close(handle);
        handle = kNoConverter;
    }
    bool open() const { return handle != kNoConverter; }

    // Converts one whole unit; false when the input is invalid, incomplete
    // or has no equivalent. The shift state is flushed and reset either way.
    bool convert(std::string_view in, std::string& out) {
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
        char buffer[64];
        char* in_ptr = const_cast<char*>(in.data());
        std::size_t in_left = in.size();
        char* out_ptr = buffer;
        std::size_t out_left = sizeof buffer;
        bool ok = iconv(handle, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<std::size_t>(-1)
                  && in_left == 0;
        if (ok) ok = iconv(handle, nullptr, nullptr, &out_ptr, &out_left) != static_cast<std::size_t>(-1);
        if (ok) out.append(buffer, static_cast<std::size_t>(out_ptr - buffer));
        return ok;
    }
};

struct EncodingState {
    int code_page = 0;
    bool multibyte = false;  // GB18030: characters of 1, 2 or 4 bytes
    // Single-byte code pages: what each byte looks like on the terminal.
    std::array<std::string, 256> byte_glyphs;
    Converter to_terminal;    // code page -> UTF-8 (multibyte page only)
    Converter from_terminal;  // UTF-8 -> code page
    std::string output_pending;  // start of a multibyte character not yet complete
};

EncodingState& state() {
    static EncodingState instance;
    return instance;
}

bool is_ascii(unsigned char byte) { return byte < 0x80; }

bool translating() { return state().from_terminal.open(); }

// Bytes a GB18030 character starting at `s` takes, 0 when `s` cannot start
// one, or -1 when more bytes are needed to tell.
int gb18030_length(std::string_view s) {
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char lead = at(0);
    if (lead < 0x80) return 1;
    if (lead == 0x80 || lead == 0xFF) return 0;
    if (s.size() < 2) return -1;
    unsigned char second = at(1);
    if (second >= 0x30 && second <= 0x39) {
        if (s.size() < 4) return -1;
        return (at(2) >= 0x81 && at(2) <= 0xFE && at(3) >= 0x30 && at(3) <= 0x39) ? 4 : 0;
    }
    return (second >= 0x40 && second <= 0xFE && second != 0x7F) ? 2 : 0;
}

// Bytes a UTF-8 sequence starting with `lead` takes; 0 for a byte that
// cannot start one.
int utf8_length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

std::string encode_multibyte(std::string_view bytes) {
    EncodingState& s = state();
    std::string data = s.output_pending + std::string(bytes);
    s.output_pending.clear();
    std::string out;
    std::size_t i = 0;
    while (i < data.size()) {
        std::string_view rest(data.data() + i, data.size() - i);
        int length = gb18030_length(rest);
        if (length < 0) {
            s.output_pending.assign(rest);
            break;
        }
        if (length == 1) {
            out.push_back(data[i]);
        } else if (length == 0 || !s.to_terminal.convert(rest.substr(0, static_cast<std::size_t>(length)), out)) {
            out.push_back('?');
            length = 1;
        }
        i += static_cast<std::size_t>(length);
    }
    return out;
}

}  // namespace

bool set_console_code_page(int code_page) {
    EncodingState& s = state();
    if (code_page == kUtf8CodePage) {
        s.to_terminal.close();
        s.from_terminal.close();
        s.output_pending.clear();
        s.code_page = code_page;
        s.multibyte = false;
        return true;
    }
    const char* charset = charset_of(code_page);
    if (charset == nullptr) return false;

    Converter to_terminal;
    Converter from_terminal;
    to_terminal.reset("UTF-8", charset);
    from_terminal.reset(charset, "UTF-8");
    if (!to_terminal.open() || !from_terminal.open()) {
        to_terminal.close();
        from_terminal.close();
        return false;
    }

    s.to_terminal.close();
    s.from_terminal.close();
    s.to_terminal = to_terminal;
    s.from_terminal = from_terminal;
    s.output_pending.clear();
    s.code_page = code_page;
    s.multibyte = code_page == 54936;
    if (!s.multibyte) {
        // A byte the page leaves undefined shows as '?'.
        for (int byte = 0; byte < 256; ++byte) {
            std::string& glyph = s.byte_glyphs[static_cast<std::size_t>(byte)];
            glyph.clear();
            const char in = static_cast<char>(byte);
            if (is_ascii(static_cast<unsigned char>(byte))) {
                glyph.assign(1, in);
            } else if (!s.to_terminal.convert(std::string_view(&in, 1), glyph)) {
                glyph = "?";
            }
        }
        s.to_terminal.close();
    }
    return true;
}

int console_code_page() { return state().code_page; }

std::string encode_for_terminal(std::string_view bytes) {
    if (!translating()) return std::string(bytes);
    EncodingState& s = state();
    if (s.multibyte) return encode_multibyte(bytes);
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char byte : bytes) out += s.byte_glyphs[byte];
    return out;
}

std::string decode_from_terminal(std::string_view bytes, std::string& pending) {
    EncodingState& s = state();
    std::string data = pending + std::string(bytes);
    pending.clear();
    if (!translating()) return data;

    std::string out;
    std::size_t i = 0;
    while (i < data.size()) {
        const auto lead = static_cast<unsigned char>(data[i]);
        if (is_ascii(lead)) {
            out.push_back(data[i++]);
            continue;
        }
        const int length = utf8_length(lead);
        if (length == 0) {  // not UTF-8 at all
            out.push_back('?');
            ++i;
            continue;
        }
        std::size_t have = 1;
        while (have < static_cast<std::size_t>(length) && i + have < data.size()
               && is_continuation(static_cast<unsigned char>(data[i + have]))) {
            ++have;
        }
        if (have < static_cast<std::size_t>(length)) {
            if (i + have == data.size()) {  // the rest of it is still on its way
                pending.assign(data, i, std::string::npos);
                break;
            }
            out.push_back('?');  // a broken sequence
            i += have;
            continue;
        }
        if (!s.from_terminal.convert(std::string_view(data).substr(i, have), out)) out.push_back('?');
        i += have;
    }
    return out;
}

}  // namespace kolm::platform::posix
