#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Only for the checks below: the key decoder reads the console's control
// key bits as they come.
#include "dialogue/console/console_event_keys.h"
#include "platform/platform.h"
#include "platform/windows/console_state_windows.h"

static_assert(kolm::console::kRightAltPressed == RIGHT_ALT_PRESSED);
static_assert(kolm::console::kLeftAltPressed == LEFT_ALT_PRESSED);
static_assert(kolm::console::kRightCtrlPressed == RIGHT_CTRL_PRESSED);
static_assert(kolm::console::kLeftCtrlPressed == LEFT_CTRL_PRESSED);
static_assert(kolm::console::kShiftPressed == SHIFT_PRESSED);
static_assert(kolm::console::kNumLockOn == NUMLOCK_ON);
static_assert(kolm::console::kScrollLockOn == SCROLLLOCK_ON);
static_assert(kolm::console::kCapsLockOn == CAPSLOCK_ON);
static_assert(kolm::console::kEnhancedKey == ENHANCED_KEY);

namespace kolm::platform {
namespace windows {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A pipe cannot be waited on; it is looked at this often while waiting.
constexpr milliseconds kPipePollInterval{10};

// The control handler runs on a thread of the system's. It only raises the
// flag and wakes a waiting read; the program's thread turns it into a key.
std::atomic<bool> close_pending{false};
HANDLE close_event = nullptr;
std::atomic<bool> handler_installed{false};

BOOL WINAPI control_handler(DWORD type) {
    switch (type) {
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            close_pending.store(true);
            if (close_event != nullptr) SetEvent(close_event);
            return TRUE;
        default:
            // Ctrl+C and Ctrl+Break: the system's default ends the process.
            console_restore();
            return FALSE;
    }
}

DWORD wait_ms(milliseconds timeout) {
    return static_cast<DWORD>(std::clamp<long long>(timeout.count(), 0, 0x7FFFFFFF));
}

// Sleeps up to `duration`, waking early when the console is being closed.
void pause(milliseconds duration) {
    if (close_event != nullptr) {
        WaitForSingleObject(close_event, wait_ms(duration));
    } else {
        Sleep(wait_ms(duration));
    }
}

ConsoleKeyEvent key_event_of(const KEY_EVENT_RECORD& record) {
    ConsoleKeyEvent event;
    event.key_down = record.bKeyDown != FALSE;
    event.repeat_count = record.wRepeatCount;
    event.virtual_key = record.wVirtualKeyCode;
    event.scan_code = record.wVirtualScanCode;
    event.character = static_cast<std::uint8_t>(record.uChar.AsciiChar);
    event.control_keys = record.dwControlKeyState;
    return event;
}

void read_console_events(HANDLE input, milliseconds timeout, std::size_t max_keys, RawInput& result) {
    HANDLE waits[2] = {input, close_event};
    const DWORD count = close_event != nullptr ? 2 : 1;
    if (WaitForMultipleObjects(count, waits, FALSE, wait_ms(timeout)) != WAIT_OBJECT_0) return;
    DWORD pending = 0;
    if (!GetNumberOfConsoleInputEvents(input, &pending) || pending == 0) return;
    std::vector<INPUT_RECORD> records(std::min<std::size_t>(pending, std::max<std::size_t>(max_keys, 1)));
    DWORD got = 0;
    if (!ReadConsoleInputA(input, records.data(), static_cast<DWORD>(records.size()), &got)) return;
    for (DWORD i = 0; i < got; ++i) {
        if (records[i].EventType == KEY_EVENT) result.events.push_back(key_event_of(records[i].Event.KeyEvent));
    }
}

void read_bytes(HANDLE input, std::size_t count, RawInput& result) {
    std::string bytes(std::max<std::size_t>(count, 1), '\0');
    DWORD got = 0;
    if (!ReadFile(input, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got == 0) {
        result.ended = true;
        return;
    }
    bytes.resize(got);
    result.bytes = std::move(bytes);
}

// Bytes of a pipe that cannot be looked into (Wine gives no PeekNamedPipe on
// a pipe from outside): a thread of its own reads them as they come.
struct PipeReader {
    std::mutex lock;
    std::condition_variable arrived;
    std::string bytes;
    bool ended = false;
    bool started = false;
};

PipeReader pipe_reader;
// Set once a pipe has refused to be looked into; its thread reads from then on.
bool pipe_cannot_peek = false;

void pipe_reader_loop(HANDLE input) {
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        const bool ok = ReadFile(input, buffer, sizeof buffer, &got, nullptr) != 0 && got > 0;
        std::lock_guard<std::mutex> hold(pipe_reader.lock);
        if (ok) {
            pipe_reader.bytes.append(buffer, got);
        } else {
            pipe_reader.ended = true;
        }
        pipe_reader.arrived.notify_all();
        if (!ok) return;
    }
}

void read_through_thread(HANDLE input, milliseconds timeout, std::size_t max_keys, RawInput& result) {
    std::unique_lock<std::mutex> hold(pipe_reader.lock);
    if (!pipe_reader.started) {
        pipe_reader.started = true;
        std::thread(pipe_reader_loop, input).detach();
    }
    pipe_reader.arrived.wait_for(hold, timeout, [] { return !pipe_reader.bytes.empty() || pipe_reader.ended; });
    const std::size_t count = std::min(pipe_reader.bytes.size(), std::max<std::size_t>(max_keys, 1));
    result.bytes = pipe_reader.bytes.substr(0, count);
    pipe_reader.bytes.erase(0, count);
    result.ended = pipe_reader.bytes.empty() && pipe_reader.ended && result.bytes.empty();
}

// A pipe is only read once bytes are known to wait in it, so the read never
// blocks past the timeout, and no read is left pending while a command runs
// (a child's start-up would wait for it). A pipe whose writer has gone is at
// its end.
void read_pipe(HANDLE input, milliseconds timeout, std::size_t max_keys, RawInput& result) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr)) {
            if (GetLastError() == ERROR_BROKEN_PIPE) {
                result.ended = true;
            } else {
                pipe_cannot_peek = true;
                read_through_thread(input, std::chrono::duration_cast<milliseconds>(
                                               std::max(deadline - Clock::now(), Clock::duration::zero())),
                                    max_keys, result);
            }
            return;
        }
        if (available > 0) {
            read_bytes(input, std::min<std::size_t>(available, std::max<std::size_t>(max_keys, 1)), result);
            return;
        }
        const Clock::time_point now = Clock::now();
        if (now >= deadline || close_pending.load()) return;
        pause(std::min(kPipePollInterval, std::chrono::duration_cast<milliseconds>(deadline - now) + milliseconds{1}));
    }
}

void read_stream(HANDLE input, milliseconds timeout, std::size_t max_keys, RawInput& result) {
    if (input == nullptr || input == INVALID_HANDLE_VALUE) {
        result.ended = true;
        return;
    }
    if (pipe_cannot_peek) {
        read_through_thread(input, timeout, max_keys, result);
    } else if (GetFileType(input) == FILE_TYPE_PIPE) {
        read_pipe(input, timeout, max_keys, result);
    } else {
        // A file or a device answers at once, with bytes or with its end.
        read_bytes(input, max_keys, result);
    }
}

}  // namespace

void remove_control_handler() {
    if (handler_installed.exchange(false)) SetConsoleCtrlHandler(control_handler, FALSE);
}

}  // namespace windows

bool input_is_console() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

void input_open() {
    windows::console_setup();
    if (windows::handler_installed.load()) return;
    if (windows::close_event == nullptr) windows::close_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (SetConsoleCtrlHandler(windows::control_handler, TRUE)) windows::handler_installed.store(true);
}

RawInput input_read(std::chrono::milliseconds timeout, std::size_t max_keys) {
    RawInput result;
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (!windows::close_pending.load()) {
        if (input_is_console()) {
            windows::read_console_events(input, timeout, max_keys, result);
        } else {
            windows::read_stream(input, timeout, max_keys, result);
        }
    }
    if (windows::close_pending.load()) {
        // Reset first: a close that comes after the flag is taken sets it again.
        if (windows::close_event != nullptr) ResetEvent(windows::close_event);
        result.close_requested = windows::close_pending.exchange(false);
    }
    return result;
}

}  // namespace kolm::platform
