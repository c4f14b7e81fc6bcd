// Terminal bytes to keys. Pure: it is fed bytes, and told when no byte has
// come for a while, so that an Esc alone can be told from the start of an
// escape sequence.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kolm::console {

struct TerminalKeyDecoder {
    std::string pending;      // an escape sequence not yet complete
    bool discarding = false;  // inside an overlong sequence, up to its final byte
};

// Decodes `bytes`, appending each finished key to `keys`.
void decode_terminal_bytes(TerminalKeyDecoder& decoder, std::string_view bytes, std::vector<std::string>& keys);

// Nothing more came within the escape timeout: a pending Esc becomes the
// Esc key, "Esc x" becomes Alt+x, and a partial sequence is dropped.
void decode_terminal_timeout(TerminalKeyDecoder& decoder, std::vector<std::string>& keys);

inline bool decoder_waiting(const TerminalKeyDecoder& decoder) { return !decoder.pending.empty(); }

// The two-byte key for an extended code.
inline std::string extended_key(int code) {
    return std::string{static_cast<char>(0xFF), static_cast<char>(code)};
}

}  // namespace kolm::console
