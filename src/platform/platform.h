// The operating system seam. Everything the program needs from the OS is
// declared here, with no OS types; posix/ and windows/ implement it whole and
// CMake picks one. Nothing else in the tree includes an OS header.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolm::platform {

// ---- Console output -------------------------------------------------------

// Writes bytes to standard output at once; nothing is held back.
void console_write(std::string_view bytes);

// Writes one diagnostic line (the line end is added) to standard error.
void error_write_line(std::string_view text);

// True when standard output is an interactive console or terminal.
bool output_is_console();

// Width in columns of the console; 80 when standard output is not one.
int console_width();

// 0-based column of the console cursor; 0 where it cannot be known.
int console_cursor_column();

// True when the console can move its cursor (a terminal that understands
// cursor movement; not a pipe or a TERM=dumb terminal).
bool console_can_move_cursor();

// Cursor movement for the line editor: `rows` whole rows down (negative: up)
// from the cursor's row, then to the 0-based `column` of that row.
void console_move_cursor(int rows, int column);

// Blanks the console from the cursor to the end of the screen.
void console_clear_to_end();

bool console_cursor_visible();
void console_set_cursor_visible(bool visible);

// A beep of 1000 Hz for 250 ms where the console can make one.
void console_beep();

// ---- Keyboard input -------------------------------------------------------

// The fields of one Windows console key event, as plain data, so that the
// decoding of events into keys is pure code that runs on every platform.
struct ConsoleKeyEvent {
    bool key_down = false;
    std::uint16_t repeat_count = 0;
    std::uint16_t virtual_key = 0;
    std::uint16_t scan_code = 0;
    std::uint8_t character = 0;     // in the console's code page; 0 for none
    std::uint32_t control_keys = 0; // ControlKeyState bits, see console_event_keys.h
};

// What the input had pending. A terminal or a pipe gives bytes; a Windows
// console gives key events.
struct RawInput {
    std::string bytes;
    std::vector<ConsoleKeyEvent> events;
    bool ended = false;            // the byte stream has no more input
    bool close_requested = false;  // the console window is being closed
};

// True when standard input is an interactive console or terminal.
bool input_is_console();

// Prepares the keyboard for single-key reads: raw mode on a terminal, the
// console control handler on Windows. Safe to call more than once.
void input_open();

// Waits at most `timeout` for input and returns whatever is pending then,
// without waiting further, at most `max_keys` bytes or events (the rest stays
// pending). A zero timeout only looks. Never spins.
RawInput input_read(std::chrono::milliseconds timeout, std::size_t max_keys);

// ---- Commands and the process ---------------------------------------------

// Runs a command line through the command interpreter on the same console
// and returns its status when it has finished.
int run_command(std::string_view command_line);

// Puts the console back as the program found it (terminal mode, cursor)
// and ends the process with `status`. The restore also runs by itself on
// every other way out of the process.
[[noreturn]] void exit_process(int status);

}  // namespace kolm::platform
