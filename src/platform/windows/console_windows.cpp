#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/windows/console_state_windows.h"

namespace kolm::platform {
namespace windows {
namespace {

// Console input events as keyboard events, not as escape sequences: the
// key read decodes events, and a sequence would read as Esc and letters.
constexpr DWORD kVirtualTerminalInput = 0x0200;

std::atomic<bool> setup_done{false};

// What console_restore puts back. Each is written once, before its flag is
// set, so the control handler's thread sees a complete value.
CONSOLE_CURSOR_INFO original_cursor{};
std::atomic<bool> cursor_saved{false};
std::atomic<bool> restore_virtual_terminal_input{false};

bool cursor_shown = true;  // the program's own view where there is no console

HANDLE output_handle() { return GetStdHandle(STD_OUTPUT_HANDLE); }
HANDLE input_handle() { return GetStdHandle(STD_INPUT_HANDLE); }

bool is_console(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

bool buffer_info(CONSOLE_SCREEN_BUFFER_INFO& info) {
    return GetConsoleScreenBufferInfo(output_handle(), &info) != 0;
}

void restore_at_exit() { console_restore(); }

}  // namespace

void console_setup() {
    if (setup_done.exchange(true)) return;
    HANDLE input = input_handle();
    DWORD mode = 0;
    if (is_console(input) && GetConsoleMode(input, &mode)) {
        DWORD wanted = (mode | ENABLE_PROCESSED_INPUT) & ~kVirtualTerminalInput;
        if (wanted != mode && SetConsoleMode(input, wanted) && (mode & kVirtualTerminalInput)) {
            restore_virtual_terminal_input.store(true);
        }
    }
    std::atexit(restore_at_exit);
}

void console_restore() {
    if (cursor_saved.load()) SetConsoleCursorInfo(output_handle(), &original_cursor);
    if (restore_virtual_terminal_input.exchange(false)) {
        HANDLE input = input_handle();
        DWORD mode = 0;
        if (GetConsoleMode(input, &mode)) SetConsoleMode(input, mode | kVirtualTerminalInput);
    }
}

}  // namespace windows

void console_write(std::string_view bytes) {
    windows::console_setup();
    HANDLE output = windows::output_handle();
    const bool console = windows::is_console(output);
    // Bytes go out as they are; the console shows them in its code page.
    constexpr std::size_t kChunk = 16384;
    while (!bytes.empty()) {
        const auto size = static_cast<DWORD>(std::min(bytes.size(), kChunk));
        DWORD written = 0;
        const BOOL ok = console ? WriteConsoleA(output, bytes.data(), size, &written, nullptr)
                                : WriteFile(output, bytes.data(), size, &written, nullptr);
        if (!ok || written == 0) return;  // a closed or full output takes no more
        bytes.remove_prefix(written);
    }
}

void error_write_line(std::string_view text) {
    std::string line(text);
    line += "\r\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
              nullptr);
}

bool output_is_console() { return windows::is_console(windows::output_handle()); }

int console_width() {
    windows::console_setup();
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!windows::buffer_info(info) || info.dwSize.X <= 0) return 80;
    return info.dwSize.X;
}

int console_cursor_column() {
    windows::console_setup();
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!windows::buffer_info(info)) return 0;
    return info.dwCursorPosition.X;
}

bool console_can_move_cursor() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    return windows::buffer_info(info);
}

void console_move_cursor(int rows, int column) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!windows::buffer_info(info)) return;
    const int row = std::clamp(info.dwCursorPosition.Y + rows, 0, info.dwSize.Y - 1);
    const int col = std::clamp(column, 0, info.dwSize.X - 1);
    SetConsoleCursorPosition(windows::output_handle(), COORD{static_cast<SHORT>(col), static_cast<SHORT>(row)});
}

void console_clear_to_end() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!windows::buffer_info(info)) return;
    HANDLE output = windows::output_handle();
    // To the bottom of the window, or of the cursor's row when it is below;
    // row by row, as one fill across rows is not redrawn whole under Wine.
    const int last_row = std::max<int>(info.srWindow.Bottom, info.dwCursorPosition.Y);
    SHORT column = info.dwCursorPosition.X;
    for (int row = info.dwCursorPosition.Y; row <= last_row; ++row, column = 0) {
        const COORD from{column, static_cast<SHORT>(row)};
        const auto cells = static_cast<DWORD>(info.dwSize.X - column);
        DWORD done = 0;
        FillConsoleOutputCharacterA(output, ' ', cells, from, &done);
        FillConsoleOutputAttribute(output, info.wAttributes, cells, from, &done);
    }
}

bool console_cursor_visible() {
    CONSOLE_CURSOR_INFO cursor;
    if (!GetConsoleCursorInfo(windows::output_handle(), &cursor)) return windows::cursor_shown;
    return cursor.bVisible != FALSE;
}

void console_set_cursor_visible(bool visible) {
    windows::cursor_shown = visible;
    HANDLE output = windows::output_handle();
    CONSOLE_CURSOR_INFO cursor;
    if (!GetConsoleCursorInfo(output, &cursor)) return;
    if (!windows::cursor_saved.load()) {
        windows::original_cursor = cursor;
        windows::cursor_saved.store(true);
    }
    cursor.bVisible = visible ? TRUE : FALSE;
    SetConsoleCursorInfo(output, &cursor);
}

void console_beep() { Beep(1000, 250); }

}  // namespace kolm::platform
