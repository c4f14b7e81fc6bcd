#include "dialogue/console/key_read.h"

#include <chrono>
#include <deque>

#include "dialogue/console/commands.h"
#include "dialogue/console/console_event_keys.h"
#include "dialogue/console/output.h"
#include "dialogue/console/terminal_keys.h"
#include "platform/platform.h"

namespace kolm::console {
namespace {

using std::chrono::milliseconds;

// How long the rest of an escape sequence may take to follow its Esc.
constexpr milliseconds kEscapeTimeout{50};
// A blocking wait is cut into slices so a console close is seen promptly.
constexpr milliseconds kWaitSlice{1000};
// A terminal hands over everything typed ahead; a pipe is read only as far
// as the queue has room, so a scripted dialogue never loses a key.
constexpr std::size_t kTerminalReadLimit = 65536;

struct KeyInput {
    bool opened = false;
    bool ended = false;
    std::deque<std::string> queue;
    TerminalKeyDecoder decoder;
};

KeyInput input;

void enqueue(std::string key) {
    if (key.empty()) return;
    if (input.queue.size() >= static_cast<std::size_t>(kKeyQueueSize)) input.queue.pop_front();
    input.queue.push_back(std::move(key));
}

void enqueue_all(std::vector<std::string>& keys) {
    for (std::string& key : keys) enqueue(std::move(key));
    keys.clear();
}

// What a pipe may hand over without pushing a key out of the queue: every
// byte, and every byte of an unfinished sequence, makes one key at most.
// Zero when the queue is full: the pipe then waits until a key is taken.
std::size_t read_limit() {
    if (platform::input_is_console()) return kTerminalReadLimit;
    const std::size_t held = input.queue.size() + input.decoder.pending.size();
    return held < static_cast<std::size_t>(kKeyQueueSize) ? kKeyQueueSize - held : 0;
}

// Moves what the platform has into the queue; true when anything came.
bool absorb(const platform::RawInput& raw) {
    std::vector<std::string> keys;
    decode_terminal_bytes(input.decoder, raw.bytes, keys);
    for (const platform::ConsoleKeyEvent& event : raw.events) keys.push_back(decode_console_event(event));
    if (raw.close_requested) keys.push_back(extended_key(107));
    if (raw.ended) {
        input.ended = true;
        decode_terminal_timeout(input.decoder, keys);
    }
    enqueue_all(keys);
    return !raw.bytes.empty() || !raw.events.empty() || raw.close_requested || raw.ended;
}

void pump(milliseconds wait) {
    if (!input.opened) {
        input.opened = true;
        platform::input_open();
    }
    if (input.ended) return;
    std::size_t limit = read_limit();
    if (limit == 0) return;
    absorb(platform::input_read(wait, limit));
    // An Esc alone, or the start of a sequence: give the rest a moment.
    while (decoder_waiting(input.decoder) && !input.ended && (limit = read_limit()) > 0) {
        if (!absorb(platform::input_read(kEscapeTimeout, limit))) {
            std::vector<std::string> keys;
            decode_terminal_timeout(input.decoder, keys);
            enqueue_all(keys);
        }
    }
}

}  // namespace

std::string read_key() {
    pump(milliseconds{0});
    if (input.queue.empty()) return {};
    std::string key = std::move(input.queue.front());
    input.queue.pop_front();
    return key;
}

void wait_for_key_input() {
    if (!input.queue.empty()) return;
    if (input.ended) {
        platform::error_write_line(
            "kolm_subtotal: the input ended before the dialogue was complete.");
        end_program(1);
    }
    pump(kWaitSlice);
}

std::string prompt_key_choice(const std::vector<std::string>& option_lines,
                              const std::vector<std::string>& accepted_keys) {
    for (const std::string& line : option_lines) print_text(kConsole, line, kLineEnd);
    for (;;) {
        std::string key = wait_for_any_key();
        for (const std::string& accepted : accepted_keys) {
            if (key == accepted) return key;
        }
    }
}

std::string wait_for_any_key() {
    for (;;) {
        std::string key = read_key();
        if (!key.empty()) return key;
        wait_for_key_input();
    }
}

}  // namespace kolm::console
