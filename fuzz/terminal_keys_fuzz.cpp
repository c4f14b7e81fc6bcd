// The terminal key decoder on arbitrary byte streams. Oracles: every key is
// one byte or 255 and a nonzero code; how the stream is cut into reads does
// not change the keys; a stream without Esc is its own bytes, one key each
// (127 read as Backspace); an unfinished sequence stays short; a timeout
// leaves nothing pending.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dialogue/console/terminal_keys.h"
#include "fuzz_check.h"

using kolm::console::decode_terminal_bytes;
using kolm::console::decode_terminal_timeout;
using kolm::console::decoder_waiting;
using kolm::console::TerminalKeyDecoder;

namespace {

void check_well_formed(const std::vector<std::string>& keys) {
    for (const std::string& key : keys) {
        FUZZ_CHECK(key.size() == 1 || key.size() == 2);
        if (key.size() == 2) {
            FUZZ_CHECK(static_cast<unsigned char>(key[0]) == 255);
            FUZZ_CHECK(key[1] != 0);
        }
    }
}

// Far more than any key needs, far less than the stream can hold.
constexpr std::size_t kPendingBound = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::size_t cut_seed = provider.ConsumeIntegral<std::uint32_t>();
    const std::string stream = provider.ConsumeRemainingBytesAsString();

    // All at once.
    TerminalKeyDecoder whole;
    std::vector<std::string> whole_keys;
    decode_terminal_bytes(whole, stream, whole_keys);
    FUZZ_CHECK(whole.pending.size() <= kPendingBound);
    decode_terminal_timeout(whole, whole_keys);
    FUZZ_CHECK(!decoder_waiting(whole) && !whole.discarding);
    check_well_formed(whole_keys);

    // The same stream in pieces of 1 to 8 bytes, as reads may hand it over.
    TerminalKeyDecoder pieces;
    std::vector<std::string> piece_keys;
    std::uint64_t cuts = cut_seed * 2654435761u + 1;
    for (std::size_t at = 0; at < stream.size();) {
        const std::size_t length = 1 + (cuts & 7u);
        cuts = cuts * 6364136223846793005u + 1442695040888963407u;
        const std::string_view piece = std::string_view(stream).substr(at, length);
        decode_terminal_bytes(pieces, piece, piece_keys);
        FUZZ_CHECK(pieces.pending.size() <= kPendingBound);
        at += piece.size();
    }
    decode_terminal_timeout(pieces, piece_keys);
    FUZZ_CHECK(piece_keys == whole_keys);

    // No Esc: nothing but characters.
    if (stream.find('\x1b') == std::string::npos) {
        FUZZ_CHECK(whole_keys.size() == stream.size());
        for (std::size_t i = 0; i < stream.size(); ++i) {
            const char expected = stream[i] == '\x7f' ? '\b' : stream[i];
            FUZZ_CHECK(whole_keys[i] == std::string(1, expected));
        }
    }

    // A pause after every byte: each partial sequence times out on its own.
    TerminalKeyDecoder paused;
    std::vector<std::string> paused_keys;
    for (const char byte : stream) {
        decode_terminal_bytes(paused, std::string_view(&byte, 1), paused_keys);
        decode_terminal_timeout(paused, paused_keys);
        FUZZ_CHECK(!decoder_waiting(paused));
    }
    check_well_formed(paused_keys);
    return 0;
}
