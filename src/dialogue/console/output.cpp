#include "dialogue/console/output.h"

#include <string>

#include "dialogue/console/text_files.h"
#include "platform/platform.h"

namespace kolm::console {
namespace {

constexpr std::string_view kCrLf = "\r\n";

struct ConsoleState {
    bool started = false;
    int width = 80;
    int column = 0;
};

ConsoleState console_state;

// Width and starting column are taken once, at the first console output.
ConsoleState& console() {
    if (!console_state.started) {
        console_state.started = true;
        const int width = platform::console_width();
        console_state.width = width > 0 ? width : 80;
        console_state.column = platform::console_cursor_column() % console_state.width;
    }
    return console_state;
}

std::string with_ending(std::string_view text, int ending, int column_after_text, int width) {
    std::string bytes(text);
    if (ending == kLineEnd) {
        bytes += kCrLf;
    } else if (ending == kNextZone) {
        bytes += zone_move_bytes(column_after_text, width);
    }
    return bytes;
}

}  // namespace

std::string zone_move_bytes(int column, int width) {
    const int next_zone = (column / kZoneWidth + 1) * kZoneWidth;
    // A console turns a move that would end too near its right edge into a new line.
    if (width > 0 && next_zone + 1 > width - kZoneWidth) return std::string(kCrLf);
    return std::string(static_cast<std::size_t>(next_zone - column), ' ');
}

int column_after(int column, std::string_view bytes, int width) {
    // find_last_of tries each byte against the set one call at a time; most
    // texts hold no line break, and two single-byte searches settle that fast.
    const bool has_break = bytes.find('\n') != std::string_view::npos || bytes.find('\r') != std::string_view::npos;
    const std::size_t last_break = has_break ? bytes.find_last_of("\r\n") : std::string_view::npos;
    long long result = last_break == std::string_view::npos
                           ? static_cast<long long>(column) + static_cast<long long>(bytes.size())
                           : static_cast<long long>(bytes.size() - last_break - 1);
    if (width > 0) result %= width;
    return static_cast<int>(result);
}

void print_text(int number, std::string_view text, int ending) {
    if (number == kConsole) {
        ConsoleState& state = console();
        const int after_text = column_after(state.column, text, state.width);
        const std::string bytes = with_ending(text, ending, after_text, state.width);
        platform::console_write(bytes);
        state.column = column_after(state.column, bytes, state.width);
        return;
    }
    if (!detail::file_is_open(number)) return;
    int& column = detail::file_column(number);
    // The text goes straight into the file's buffer: a report line can run
    // to kilobytes, and copying it only to add an ending would cost as much
    // as writing it.
    if (ending == kLineEnd) {
        // The column after a line end is 0 whatever the text held: no need
        // to look for line breaks in it.
        if (!detail::file_write(number, text)) return;
        detail::file_write(number, kCrLf);
        column = 0;
        return;
    }
    const int after_text = column_after(column, text, 0);
    const std::string ending_bytes = with_ending({}, ending, after_text, 0);
    if (!detail::file_write(number, text)) return;
    detail::file_write(number, ending_bytes);
    column = column_after(after_text, ending_bytes, 0);
}

void print_integer(int number, std::int32_t value, int ending) {
    std::string text = value < 0 ? std::string() : std::string(" ");
    text += std::to_string(value);
    print_text(number, text, ending);
}

void print_line_end(int number) { print_text(number, {}, kLineEnd); }

int console_column() { return console().column; }

int console_width() { return console().width; }

}  // namespace kolm::console
