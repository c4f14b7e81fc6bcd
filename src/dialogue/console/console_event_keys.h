// Windows console key events to keys. Pure: the event's fields come in a
// plain struct, so the rules are tested on every platform.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace kolm::console {

// ControlKeyState bits, as the Windows console reports them.
constexpr std::uint32_t kRightAltPressed = 0x0001;
constexpr std::uint32_t kLeftAltPressed = 0x0002;
constexpr std::uint32_t kRightCtrlPressed = 0x0004;
constexpr std::uint32_t kLeftCtrlPressed = 0x0008;
constexpr std::uint32_t kShiftPressed = 0x0010;
constexpr std::uint32_t kNumLockOn = 0x0020;
constexpr std::uint32_t kScrollLockOn = 0x0040;
constexpr std::uint32_t kCapsLockOn = 0x0080;
constexpr std::uint32_t kEnhancedKey = 0x0100;

// The key one event gives, or the empty text for none.
std::string decode_console_event(const platform::ConsoleKeyEvent& event);

}  // namespace kolm::console
