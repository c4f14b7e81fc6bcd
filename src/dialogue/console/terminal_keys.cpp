#include "dialogue/console/terminal_keys.h"

#include <array>
#include <cstddef>

namespace kolm::console {
namespace {

constexpr char kEsc = 0x1B;
constexpr std::size_t kLongestSequence = 32;  // past this it is noise, not a key

// Extended codes of a key without a character, by modifier state.
struct KeyCodes {
    int plain, shift, ctrl, alt;
};

enum Key { kHome, kUp, kPageUp, kLeft, kRight, kEnd, kDown, kPageDown, kInsert, kDelete, kF1 };

constexpr std::array<KeyCodes, 10> kCursorBlock{{
    {71, 71, 119, 151},  // Home
    {72, 72, 141, 152},  // Up
    {73, 73, 132, 153},  // Page Up
    {75, 75, 115, 155},  // Left
    {77, 77, 116, 157},  // Right
    {79, 79, 117, 159},  // End
    {80, 80, 145, 160},  // Down
    {81, 81, 118, 161},  // Page Down
    {82, 82, 146, 162},  // Insert
    {83, 83, 147, 163},  // Delete
}};

KeyCodes function_key(int n) {  // n = 1..12
    if (n <= 10) return {58 + n, 83 + n, 93 + n, 103 + n};
    return {122 + n, 124 + n, 126 + n, 128 + n};
}

// Terminals encode modifiers as 1 + Shift(1) + Alt(2) + Ctrl(4); Alt wins
// over Ctrl, Ctrl over Shift.
int with_modifiers(const KeyCodes& codes, int modifier) {
    const int bits = modifier > 1 ? modifier - 1 : 0;
    if (bits & 2) return codes.alt;
    if (bits & 4) return codes.ctrl;
    if (bits & 1) return codes.shift;
    return codes.plain;
}

// Alt with a character key: the key's scan code, or its own extended code.
int alt_code(unsigned char c) {
    static constexpr std::string_view kTopRow = "qwertyuiop";
    static constexpr std::string_view kHomeRow = "asdfghjkl";
    static constexpr std::string_view kBottomRow = "zxcvbnm";
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    if (c >= 1 && c <= 26 && c != 8 && c != 9 && c != 10 && c != 13) {
        c = static_cast<unsigned char>('a' + c - 1);  // Ctrl+Alt+letter: Alt wins
    }
    if (std::size_t at = kTopRow.find(static_cast<char>(c)); at != std::string_view::npos) return 16 + static_cast<int>(at);
    if (std::size_t at = kHomeRow.find(static_cast<char>(c)); at != std::string_view::npos) return 30 + static_cast<int>(at);
    if (std::size_t at = kBottomRow.find(static_cast<char>(c)); at != std::string_view::npos) return 44 + static_cast<int>(at);
    if (c >= '1' && c <= '9') return 120 + (c - '1');
    switch (c) {
        case '0': return 129;
        case '-': return 130;
        case '=': return 131;
        case '[': return 26;
        case ']': return 27;
        case ';': return 39;
        case '\'': return 40;
        case '`': return 41;
        case '\\': return 43;
        case ',': return 51;
        case '.': return 52;
        case '/': return 53;
        case kEsc: return 1;
        case 8:
        case 127: return 14;
        case 9: return 165;
        case 10:
        case 13: return 28;
        default: return 0;
    }
}

std::string plain_key(unsigned char c) {
    if (c == 127) return std::string(1, '\b');  // terminals send DEL for Backspace
    return std::string(1, static_cast<char>(c));
}

std::string alt_key(unsigned char c) {
    const int code = alt_code(c);
    return code ? extended_key(code) : plain_key(c);
}

// Parameters of a CSI sequence: "n;m" gives {n, m}; missing ones are 0.
struct Params {
    int first = 0;
    int modifier = 0;
};

Params parse_params(std::string_view text) {
    Params p;
    int* field = &p.first;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (*field < 10000) *field = *field * 10 + (c - '0');
        } else if (c == ';' && field == &p.first) {
            field = &p.modifier;
        } else {
            return Params{-1, 0};  // private or unknown parameters
        }
    }
    return p;
}

// The key a final letter names in both CSI and SS3 sequences, or "" for none.
std::string letter_key(char final_byte, int modifier) {
    switch (final_byte) {
        case 'A': return extended_key(with_modifiers(kCursorBlock[kUp], modifier));
        case 'B': return extended_key(with_modifiers(kCursorBlock[kDown], modifier));
        case 'C': return extended_key(with_modifiers(kCursorBlock[kRight], modifier));
        case 'D': return extended_key(with_modifiers(kCursorBlock[kLeft], modifier));
        case 'H': return extended_key(with_modifiers(kCursorBlock[kHome], modifier));
        case 'F': return extended_key(with_modifiers(kCursorBlock[kEnd], modifier));
        case 'P': return extended_key(with_modifiers(function_key(1), modifier));
        case 'Q': return extended_key(with_modifiers(function_key(2), modifier));
        case 'R': return extended_key(with_modifiers(function_key(3), modifier));
        case 'S': return extended_key(with_modifiers(function_key(4), modifier));
        default: return {};
    }
}

// The key of a finished CSI sequence (ESC [ params final), or "" for none.
std::string csi_key(std::string_view params, char final_byte) {
    const Params p = parse_params(params);
    if (p.first < 0) return {};
    if (final_byte == 'Z') return extended_key(15);  // Shift+Tab
    if (final_byte != '~') return letter_key(final_byte, p.modifier);
    switch (p.first) {
        case 1:
        case 7: return extended_key(with_modifiers(kCursorBlock[kHome], p.modifier));
        case 2: return extended_key(with_modifiers(kCursorBlock[kInsert], p.modifier));
        case 3: return extended_key(with_modifiers(kCursorBlock[kDelete], p.modifier));
        case 4:
        case 8: return extended_key(with_modifiers(kCursorBlock[kEnd], p.modifier));
        case 5: return extended_key(with_modifiers(kCursorBlock[kPageUp], p.modifier));
        case 6: return extended_key(with_modifiers(kCursorBlock[kPageDown], p.modifier));
        case 11: case 12: case 13: case 14: case 15:
            return extended_key(with_modifiers(function_key(p.first - 10), p.modifier));
        case 17: case 18: case 19: case 20: case 21:
            return extended_key(with_modifiers(function_key(p.first - 11), p.modifier));
        case 23: case 24:
            return extended_key(with_modifiers(function_key(p.first - 12), p.modifier));
        default: return {};
    }
}

// The key of a finished SS3 sequence (ESC O [modifier] final).
std::string ss3_key(std::string_view params, char final_byte) {
    const Params p = parse_params(params);
    const int modifier = p.first < 0 ? 0 : p.first;
    if (final_byte == 'M') return std::string(1, '\r');  // keypad Enter in application mode
    return letter_key(final_byte, modifier);
}

enum class Step { need_more, done };

// An Esc is never part of a sequence: the unfinished sequence before it ends
// as a pause would end it ("Esc x" is Alt+x, a longer one gives nothing), and
// the Esc starts the next key.
Step end_before_escape(std::string& pending, std::size_t escape_at, std::vector<std::string>& keys) {
    if (escape_at == 2) keys.push_back(alt_key(static_cast<unsigned char>(pending[1])));
    pending.erase(0, escape_at);
    return Step::done;
}

// Tries to finish the pending sequence; on done, the sequence is consumed
// and its key (if any) appended.
Step finish_sequence(std::string& pending, std::vector<std::string>& keys) {
    const std::string_view seq = pending;
    if (seq.size() < 2) return Step::need_more;
    const char kind = seq[1];
    if (kind == '[') {
        // The Linux console's F1..F5: ESC [ [ A..E
        if (seq.size() >= 3 && seq[2] == '[') {
            if (seq.size() < 4) return Step::need_more;
            if (seq[3] == kEsc) return end_before_escape(pending, 3, keys);
            if (seq[3] >= 'A' && seq[3] <= 'E') keys.push_back(extended_key(59 + (seq[3] - 'A')));
            pending.clear();
            return Step::done;
        }
        for (std::size_t i = 2; i < seq.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(seq[i]);
            if (c == kEsc) return end_before_escape(pending, i, keys);
            if (c >= 0x40 && c <= 0x7E) {
                std::string key = csi_key(seq.substr(2, i - 2), static_cast<char>(c));
                if (!key.empty()) keys.push_back(std::move(key));
                pending.erase(0, i + 1);
                return Step::done;
            }
            if (c < 0x20 || c > 0x3F) {  // not a parameter byte: a broken sequence
                pending.erase(0, i + 1);
                return Step::done;
            }
        }
        return Step::need_more;
    }
    if (kind == 'O') {
        for (std::size_t i = 2; i < seq.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(seq[i]);
            if (c >= '0' && c <= '9') continue;
            if (c == kEsc) return end_before_escape(pending, i, keys);
            std::string key = ss3_key(seq.substr(2, i - 2), static_cast<char>(c));
            if (!key.empty()) keys.push_back(std::move(key));
            pending.erase(0, i + 1);
            return Step::done;
        }
        return Step::need_more;
    }
    if (kind == kEsc) {
        // Two Escs in a row: the first was the Esc key.
        keys.push_back(std::string(1, kEsc));
        pending.erase(0, 1);
        return Step::done;
    }
    keys.push_back(alt_key(static_cast<unsigned char>(kind)));
    pending.erase(0, 2);
    return Step::done;
}

}  // namespace

void decode_terminal_bytes(TerminalKeyDecoder& decoder, std::string_view bytes, std::vector<std::string>& keys) {
    for (char byte : bytes) {
        if (decoder.discarding) {
            const unsigned char c = static_cast<unsigned char>(byte);
            decoder.discarding = c < 0x40 || c > 0x7E;
            continue;
        }
        if (!decoder.pending.empty()) {
            decoder.pending.push_back(byte);
            while (!decoder.pending.empty() && finish_sequence(decoder.pending, keys) == Step::done) {
            }
            if (decoder.pending.size() > kLongestSequence) {
                // Noise, not a key: drop it through its final byte.
                decoder.pending.clear();
                decoder.discarding = true;
            }
            continue;
        }
        if (byte == kEsc) {
            decoder.pending.push_back(byte);
        } else {
            keys.push_back(plain_key(static_cast<unsigned char>(byte)));
        }
    }
}

void decode_terminal_timeout(TerminalKeyDecoder& decoder, std::vector<std::string>& keys) {
    const std::string seq = std::move(decoder.pending);
    decoder.pending.clear();
    decoder.discarding = false;
    if (seq.empty()) return;
    if (seq.size() == 1) {
        keys.push_back(std::string(1, kEsc));
    } else if (seq.size() == 2) {
        keys.push_back(alt_key(static_cast<unsigned char>(seq[1])));  // ESC [ or ESC O alone
    }
    // A longer unfinished sequence is dropped whole.
}

}  // namespace kolm::console
