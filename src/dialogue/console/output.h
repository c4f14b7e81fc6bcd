// Printing to the console (file number 0) and to open text files (1..255):
// line ends are CR LF everywhere, print zones are 14 columns wide, and every
// destination keeps the column where its next byte lands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kolm::console {

constexpr int kConsole = 0;
constexpr int kZoneWidth = 14;

enum Ending : int {
    kNoEnding = 0,   // nothing follows
    kLineEnd = 1,    // CR LF follows
    kNextZone = 2,   // a move to the next print zone follows
};

void print_text(int number, std::string_view text, int ending);
// A signed value with a space (>= 0) or a minus sign in front of its digits.
void print_integer(int number, std::int32_t value, int ending);
void print_line_end(int number);

// The console's output column (0-based) and width; both are taken at the
// first console output.
int console_column();
int console_width();

// Bytes a zone move writes at `column` on a destination `width` wide
// (0 for a file: no width, always spaces). Pure; exposed for tests.
std::string zone_move_bytes(int column, int width);
// The column after writing `bytes` at `column`, modulo `width` when it is
// above 0. Pure; exposed for tests.
int column_after(int column, std::string_view bytes, int width);

}  // namespace kolm::console
