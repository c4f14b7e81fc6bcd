#include "dialogue/console/console_event_keys.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kolm::console {
namespace {

// Windows virtual-key codes, written out here independently of the decoder.
enum Vk : std::uint16_t {
    Back = 0x08, Tab = 0x09, Clear = 0x0C, Return = 0x0D, Shift = 0x10, Control = 0x11,
    Menu = 0x12, Capital = 0x14, Escape = 0x1B, Space = 0x20, Prior = 0x21, Next = 0x22,
    End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28,
    Insert = 0x2D, Delete = 0x2E, Numpad0 = 0x60, Numpad7 = 0x67, Multiply = 0x6A, Add = 0x6B,
    Subtract = 0x6D, Decimal = 0x6E, Divide = 0x6F, F1 = 0x70, F11 = 0x7A, F12 = 0x7B,
    OemMinus = 0xBD, OemPlus = 0xBB, Oem1 = 0xBA, Oem2 = 0xBF, Oem3 = 0xC0, Oem4 = 0xDB,
    Oem5 = 0xDC, Oem6 = 0xDD, Oem7 = 0xDE, OemComma = 0xBC, OemPeriod = 0xBE,
};

constexpr std::uint32_t kAlt = kLeftAltPressed;
constexpr std::uint32_t kCtrl = kLeftCtrlPressed;
constexpr std::uint32_t kShift = kShiftPressed;
constexpr std::uint32_t kAltGr = kRightAltPressed | kLeftCtrlPressed;
constexpr std::uint32_t kEnh = kEnhancedKey;

platform::ConsoleKeyEvent press(std::uint16_t vk, int character, std::uint32_t control = 0) {
    platform::ConsoleKeyEvent event;
    event.key_down = true;
    event.repeat_count = 1;
    event.virtual_key = vk;
    event.character = static_cast<std::uint8_t>(character);
    event.control_keys = control;
    return event;
}

platform::ConsoleKeyEvent release(std::uint16_t vk, int character, std::uint32_t control = 0) {
    platform::ConsoleKeyEvent event = press(vk, character, control);
    event.key_down = false;
    return event;
}

std::string ext(int code) { return std::string{'\xff', static_cast<char>(code)}; }
std::string chr(int code) { return std::string(1, static_cast<char>(code)); }

struct Case {
    const char* name;
    platform::ConsoleKeyEvent event;
    std::string key;
};

void expect_cases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(decode_console_event(c.event), c.key) << c.name;
    }
}

TEST(ConsoleEventKeys, CharacterKeysWithAndWithoutModifiers) {
    expect_cases({
        {"letter", press('A', 'a'), "a"},
        {"Shift letter", press('A', 'A', kShift), "A"},
        {"Caps Lock letter", press('A', 'A', kCapsLockOn), "A"},
        {"Ctrl letter gives its control byte", press('Z', 26, kCtrl), chr(26)},
        {"Ctrl+Shift letter", press('C', 3, kCtrl | kShift), chr(3)},
        {"digit", press('7', '7'), "7"},
        {"space", press(Space, ' '), " "},
        {"Alt space has no code", press(Space, ' ', kAlt), " "},
        {"byte above 127", press(0, 0xE8), chr(0xE8)},
        {"Alt with a letter", press('A', 'a', kAlt), ext(30)},
        {"Alt+Shift with a letter", press('A', 'A', kAlt | kShift), ext(30)},
        {"right Alt alone with a letter", press('X', 'x', kRightAltPressed), ext(45)},
        {"Ctrl+Alt where the console reports no character", press('A', 0, kAlt | kCtrl), ext(30)},
        {"AltGr character stays a character", press('Q', '@', kAltGr), "@"},
        {"AltGr on a digit stays a character", press('2', 0xA1, kAltGr), chr(0xA1)},
        {"AltGr on punctuation stays a character", press(Oem4, 0xF7, kAltGr), chr(0xF7)},
        {"Ctrl with a digit and no character", press('2', 0, kCtrl), ""},
        {"Alt+Shift with a digit", press('1', '!', kAlt | kShift), ext(120)},
        {"Alt with the minus key", press(OemMinus, '-', kAlt), ext(130)},
        {"Alt with the equals key", press(OemPlus, '=', kAlt), ext(131)},
    });
}

TEST(ConsoleEventKeys, AltLetterCodesFollowTheKeyboardRows) {
    const struct {
        const char* letters;
        int first_code;
    } rows[] = {{"QWERTYUIOP", 16}, {"ASDFGHJKL", 30}, {"ZXCVBNM", 44}};
    for (const auto& row : rows) {
        int code = row.first_code;
        for (const char* p = row.letters; *p != '\0'; ++p, ++code) {
            EXPECT_EQ(decode_console_event(press(*p, *p - 'A' + 'a', kAlt)), ext(code)) << *p;
        }
    }
}

TEST(ConsoleEventKeys, AltWithDigitsAndPunctuation) {
    const char digits[] = "1234567890";
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(decode_console_event(press(digits[i], digits[i], kAlt)), ext(120 + i)) << digits[i];
    }
    expect_cases({
        {"[", press(Oem4, '[', kAlt), ext(26)},
        {"]", press(Oem6, ']', kAlt), ext(27)},
        {";", press(Oem1, ';', kAlt), ext(39)},
        {"'", press(Oem7, '\'', kAlt), ext(40)},
        {"`", press(Oem3, '`', kAlt), ext(41)},
        {"\\", press(Oem5, '\\', kAlt), ext(43)},
        {",", press(OemComma, ',', kAlt), ext(51)},
        {".", press(OemPeriod, '.', kAlt), ext(52)},
        {"/", press(Oem2, '/', kAlt), ext(53)},
        {"shifted symbol of the key", press(Oem2, '?', kAlt | kShift), ext(53)},
    });
}

TEST(ConsoleEventKeys, EditingKeys) {
    expect_cases({
        {"Enter", press(Return, 13), chr(13)},
        {"Shift+Enter", press(Return, 13, kShift), chr(13)},
        {"Ctrl+Enter", press(Return, 10, kCtrl), chr(10)},
        {"Alt+Enter", press(Return, 13, kAlt), ext(28)},
        {"keypad Enter", press(Return, 13, kEnh), chr(13)},
        {"Ctrl+keypad Enter", press(Return, 10, kCtrl | kEnh), chr(10)},
        {"Alt+keypad Enter", press(Return, 13, kAlt | kEnh), ext(166)},
        {"Backspace", press(Back, 8), chr(8)},
        {"Shift+Backspace", press(Back, 8, kShift), chr(8)},
        {"Ctrl+Backspace", press(Back, 127, kCtrl), chr(127)},
        {"Alt+Backspace", press(Back, 8, kAlt), ext(14)},
        {"Tab", press(Tab, 9), chr(9)},
        {"Shift+Tab", press(Tab, 9, kShift), ext(15)},
        {"Ctrl+Tab", press(Tab, 0, kCtrl), ext(148)},
        {"Alt+Tab", press(Tab, 9, kAlt), ext(165)},
        {"Esc", press(Escape, 27), chr(27)},
        {"Shift+Esc", press(Escape, 27, kShift), chr(27)},
        {"Ctrl+Esc", press(Escape, 27, kCtrl), chr(27)},
        {"Alt+Esc", press(Escape, 27, kAlt), ext(1)},
    });
}

TEST(ConsoleEventKeys, FunctionKeysInEveryModifierState) {
    const std::uint32_t states[] = {0, kShift, kCtrl, kAlt};
    const int f1_codes[] = {59, 84, 94, 104};
    const int f11_codes[] = {133, 135, 137, 139};
    for (int s = 0; s < 4; ++s) {
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(decode_console_event(press(F1 + i, 0, states[s])), ext(f1_codes[s] + i))
                << "F" << i + 1 << " state " << s;
        }
        EXPECT_EQ(decode_console_event(press(F11, 0, states[s])), ext(f11_codes[s])) << s;
        EXPECT_EQ(decode_console_event(press(F12, 0, states[s])), ext(f11_codes[s] + 1)) << s;
    }
    expect_cases({
        {"Ctrl over Shift", press(F1, 0, kCtrl | kShift), ext(94)},
        {"Alt over Ctrl and Shift", press(F1, 0, kAlt | kCtrl | kShift), ext(104)},
        {"lock states do not count", press(F1, 0, kNumLockOn | kScrollLockOn | kCapsLockOn), ext(59)},
    });
}

TEST(ConsoleEventKeys, CursorBlockAndKeypadTwins) {
    const struct {
        const char* name;
        std::uint16_t vk;
        int plain, ctrl, alt;
    } keys[] = {
        {"Home", Home, 71, 119, 151}, {"Up", Up, 72, 141, 152},       {"Page Up", Prior, 73, 132, 153},
        {"Left", Left, 75, 115, 155}, {"Right", Right, 77, 116, 157}, {"End", End, 79, 117, 159},
        {"Down", Down, 80, 145, 160}, {"Page Down", Next, 81, 118, 161},
        {"Insert", Insert, 82, 146, 162}, {"Delete", Delete, 83, 147, 163},
    };
    for (const auto& k : keys) {
        for (const std::uint32_t block : {kEnh, std::uint32_t{0}}) {
            const char* where = block ? " (separate block)" : " (keypad)";
            EXPECT_EQ(decode_console_event(press(k.vk, 0, block)), ext(k.plain)) << k.name << where;
            EXPECT_EQ(decode_console_event(press(k.vk, 0, block | kShift)), ext(k.plain)) << k.name << where;
            EXPECT_EQ(decode_console_event(press(k.vk, 0, block | kCtrl)), ext(k.ctrl)) << k.name << where;
        }
        EXPECT_EQ(decode_console_event(press(k.vk, 0, kEnh | kAlt)), ext(k.alt)) << k.name;
        // With Alt the keypad composes a character; its keys give nothing meanwhile.
        EXPECT_EQ(decode_console_event(press(k.vk, 0, kAlt)), "") << k.name;
    }
    expect_cases({
        {"Ctrl+Alt+Up", press(Up, 0, kEnh | kAlt | kCtrl), ext(152)},
        {"keypad 5, Num Lock off", press(Clear, 0), ext(76)},
        {"Shift+keypad 5", press(Clear, 0, kShift), ext(76)},
        {"Ctrl+keypad 5", press(Clear, 0, kCtrl), ext(143)},
        {"Alt+keypad 5", press(Clear, 0, kAlt), ""},
        {"keypad digit, Num Lock on", press(Numpad7, '7', kNumLockOn), "7"},
        {"keypad point, Num Lock on", press(Decimal, '.', kNumLockOn), "."},
        {"Alt+keypad digit composes", press(Numpad0, '0', kAlt | kNumLockOn), ""},
    });
}

TEST(ConsoleEventKeys, KeypadOperators) {
    const struct {
        std::uint16_t vk;
        char symbol;
        int ctrl, alt;
        std::uint32_t block;
    } keys[] = {
        {Divide, '/', 149, 164, kEnh}, {Multiply, '*', 150, 55, 0},
        {Subtract, '-', 142, 74, 0},   {Add, '+', 144, 78, 0},
    };
    for (const auto& k : keys) {
        EXPECT_EQ(decode_console_event(press(k.vk, k.symbol, k.block)), chr(k.symbol)) << k.symbol;
        EXPECT_EQ(decode_console_event(press(k.vk, k.symbol, k.block | kShift)), chr(k.symbol)) << k.symbol;
        EXPECT_EQ(decode_console_event(press(k.vk, k.symbol, k.block | kCtrl)), ext(k.ctrl)) << k.symbol;
        EXPECT_EQ(decode_console_event(press(k.vk, 0, k.block | kCtrl)), ext(k.ctrl)) << k.symbol;
        EXPECT_EQ(decode_console_event(press(k.vk, k.symbol, k.block | kAlt)), ext(k.alt)) << k.symbol;
    }
}

TEST(ConsoleEventKeys, EventsThatGiveNoKey) {
    platform::ConsoleKeyEvent no_repeat = press('A', 'a');
    no_repeat.repeat_count = 0;
    platform::ConsoleKeyEvent repeated = press('A', 'a');
    repeated.repeat_count = 5;
    expect_cases({
        {"Shift alone", press(Shift, 0, kShift), ""},
        {"Ctrl alone", press(Control, 0, kCtrl), ""},
        {"Alt alone", press(Menu, 0, kAlt), ""},
        {"Caps Lock", press(Capital, 0, kCapsLockOn), ""},
        {"unknown key without a character", press(0, 0), ""},
        {"release of a character key", release('A', 'a'), ""},
        {"release of Enter", release(Return, 13), ""},
        {"press with a repeat count of 0", no_repeat, ""},
        {"a repeated press is one key", repeated, "a"},
        {"Alt released after composing", release(Menu, 0xD0), chr(0xD0)},
        {"Alt released after composing 0", release(Menu, '0'), "0"},
        {"Alt released without composing", release(Menu, 0), ""},
    });
}

}  // namespace
}  // namespace kolm::console
