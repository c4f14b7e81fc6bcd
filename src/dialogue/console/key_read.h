// Single keys. A key is a text: empty (none), one byte (a character), or the
// two bytes 255 and an extended code for a key without a character.
#pragma once

#include <string>
#include <vector>

namespace kolm::console {

constexpr int kKeyQueueSize = 511;

// The oldest waiting key, removed from the queue, or the empty text. Never waits.
std::string read_key();

// Blocks until input may be waiting (or a short while has passed) without
// using the processor; ends the program with status 1, after one line on
// standard error, when a piped input has ended and no key is queued.
void wait_for_key_input();

// Prints the option lines once, then takes keys until one equals an
// accepted key, and returns it.
std::string prompt_key_choice(const std::vector<std::string>& option_lines,
                              const std::vector<std::string>& accepted_keys);

// The next key, whatever it is. Prints nothing.
std::string wait_for_any_key();

}  // namespace kolm::console
