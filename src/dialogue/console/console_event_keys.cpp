#include "dialogue/console/console_event_keys.h"

#include <array>
#include <initializer_list>

#include "dialogue/console/terminal_keys.h"

namespace kolm::console {
namespace {

// Windows virtual-key codes of the keys that have an extended code.
constexpr std::uint16_t kVkBack = 0x08;
constexpr std::uint16_t kVkTab = 0x09;
constexpr std::uint16_t kVkClear = 0x0C;  // keypad 5 with Num Lock off
constexpr std::uint16_t kVkReturn = 0x0D;
constexpr std::uint16_t kVkMenu = 0x12;  // Alt
constexpr std::uint16_t kVkEscape = 0x1B;
constexpr std::uint16_t kVkPrior = 0x21;
constexpr std::uint16_t kVkNext = 0x22;
constexpr std::uint16_t kVkEnd = 0x23;
constexpr std::uint16_t kVkHome = 0x24;
constexpr std::uint16_t kVkLeft = 0x25;
constexpr std::uint16_t kVkUp = 0x26;
constexpr std::uint16_t kVkRight = 0x27;
constexpr std::uint16_t kVkDown = 0x28;
constexpr std::uint16_t kVkInsert = 0x2D;
constexpr std::uint16_t kVkDelete = 0x2E;
constexpr std::uint16_t kVkNumpad0 = 0x60;
constexpr std::uint16_t kVkMultiply = 0x6A;
constexpr std::uint16_t kVkAdd = 0x6B;
constexpr std::uint16_t kVkSubtract = 0x6D;
constexpr std::uint16_t kVkDecimal = 0x6E;
constexpr std::uint16_t kVkDivide = 0x6F;
constexpr std::uint16_t kVkF1 = 0x70;
constexpr std::uint16_t kVkF12 = 0x7B;

constexpr std::uint32_t kAltKeys = kLeftAltPressed | kRightAltPressed;
constexpr std::uint32_t kCtrlKeys = kLeftCtrlPressed | kRightCtrlPressed;

enum class Cell : std::uint8_t { none, byte, extended };

struct Result {
    Cell kind = Cell::none;
    std::uint8_t value = 0;
};

constexpr Result none{};
constexpr Result byte(std::uint8_t value) { return {Cell::byte, value}; }
constexpr Result ext(std::uint8_t value) { return {Cell::extended, value}; }

// One key of the PC keyboard: its results without a modifier and with Shift,
// Ctrl and Alt, and the characters that are its own (so that a different
// character, as AltGr gives, stays a character).
struct KeyRow {
    std::uint16_t virtual_key;
    std::array<Result, 4> results;  // plain, Shift, Ctrl, Alt
    std::array<std::uint8_t, 2> own;
};

enum Modifier { kPlain = 0, kShift = 1, kCtrl = 2, kAlt = 3 };

// Keys whose virtual-key code alone names them. The cursor block's rows hold
// the keypad twin's Alt result (none: Alt with the keypad composes a
// character); the separate block's Alt codes are handled apart.
constexpr KeyRow kKeys[] = {
    {kVkTab, {byte(9), ext(15), ext(148), ext(165)}, {9, 9}},
    {kVkEscape, {byte(27), byte(27), byte(27), ext(1)}, {27, 27}},
    {kVkBack, {byte(8), byte(8), byte(127), ext(14)}, {8, 127}},
    {kVkReturn, {byte(13), byte(13), byte(10), ext(28)}, {13, 10}},
    {kVkHome, {ext(71), ext(71), ext(119), none}, {0, 0}},
    {kVkUp, {ext(72), ext(72), ext(141), none}, {0, 0}},
    {kVkPrior, {ext(73), ext(73), ext(132), none}, {0, 0}},
    {kVkLeft, {ext(75), ext(75), ext(115), none}, {0, 0}},
    {kVkClear, {ext(76), ext(76), ext(143), none}, {0, 0}},
    {kVkRight, {ext(77), ext(77), ext(116), none}, {0, 0}},
    {kVkEnd, {ext(79), ext(79), ext(117), none}, {0, 0}},
    {kVkDown, {ext(80), ext(80), ext(145), none}, {0, 0}},
    {kVkNext, {ext(81), ext(81), ext(118), none}, {0, 0}},
    {kVkInsert, {ext(82), ext(82), ext(146), none}, {0, 0}},
    {kVkDelete, {ext(83), ext(83), ext(147), none}, {0, 0}},
    {kVkDivide, {none, none, ext(149), ext(164)}, {'/', '/'}},
    {kVkMultiply, {none, none, ext(150), ext(55)}, {'*', '*'}},
    {kVkSubtract, {none, none, ext(142), ext(74)}, {'-', '-'}},
    {kVkAdd, {none, none, ext(144), ext(78)}, {'+', '+'}},
    {0x7A, {ext(133), ext(135), ext(137), ext(139)}, {0, 0}},  // F11
    {kVkF12, {ext(134), ext(136), ext(138), ext(140)}, {0, 0}},
    // Alt with a digit of the main row, and with the punctuation keys; the
    // own characters are those of the US layout, unshifted and shifted.
    {'1', {none, none, none, ext(120)}, {'1', '!'}},
    {'2', {none, none, none, ext(121)}, {'2', '@'}},
    {'3', {none, none, none, ext(122)}, {'3', '#'}},
    {'4', {none, none, none, ext(123)}, {'4', '$'}},
    {'5', {none, none, none, ext(124)}, {'5', '%'}},
    {'6', {none, none, none, ext(125)}, {'6', '^'}},
    {'7', {none, none, none, ext(126)}, {'7', '&'}},
    {'8', {none, none, none, ext(127)}, {'8', '*'}},
    {'9', {none, none, none, ext(128)}, {'9', '('}},
    {'0', {none, none, none, ext(129)}, {'0', ')'}},
    {0xBD, {none, none, none, ext(130)}, {'-', '_'}},
    {0xBB, {none, none, none, ext(131)}, {'=', '+'}},
    {0xDB, {none, none, none, ext(26)}, {'[', '{'}},
    {0xDD, {none, none, none, ext(27)}, {']', '}'}},
    {0xBA, {none, none, none, ext(39)}, {';', ':'}},
    {0xDE, {none, none, none, ext(40)}, {'\'', '"'}},
    {0xC0, {none, none, none, ext(41)}, {'`', '~'}},
    {0xDC, {none, none, none, ext(43)}, {'\\', '|'}},
    {0xBC, {none, none, none, ext(51)}, {',', '<'}},
    {0xBE, {none, none, none, ext(52)}, {'.', '>'}},
    {0xBF, {none, none, none, ext(53)}, {'/', '?'}},
};

// Alt with a letter gives the letter key's scan code on the US layout.
constexpr std::uint8_t kAltLetterCodes[26] = {
    30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,  // A..M
    49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44,  // N..Z
};

std::string character_key(std::uint8_t character) {
    return std::string(1, static_cast<char>(character));
}

Modifier modifier_of(std::uint32_t control_keys) {
    if (control_keys & kAltKeys) return kAlt;
    if (control_keys & kCtrlKeys) return kCtrl;
    if (control_keys & kShiftPressed) return kShift;
    return kPlain;
}

// The separate cursor block's own Alt codes; 0 for other keys.
std::uint8_t separate_block_alt_code(std::uint16_t virtual_key) {
    switch (virtual_key) {
        case kVkHome: return 151;
        case kVkUp: return 152;
        case kVkPrior: return 153;
        case kVkLeft: return 155;
        case kVkRight: return 157;
        case kVkEnd: return 159;
        case kVkDown: return 160;
        case kVkNext: return 161;
        case kVkInsert: return 162;
        case kVkDelete: return 163;
        default: return 0;
    }
}

// Keypad keys that take part in composing a character with Alt held.
bool is_composing_keypad_key(const platform::ConsoleKeyEvent& event) {
    if (event.virtual_key >= kVkNumpad0 && event.virtual_key <= kVkNumpad0 + 9) return true;
    if (event.virtual_key == kVkDecimal || event.virtual_key == kVkClear) return true;
    return !(event.control_keys & kEnhancedKey) && separate_block_alt_code(event.virtual_key) != 0;
}

const KeyRow* find_row(std::uint16_t virtual_key) {
    for (const KeyRow& row : kKeys) {
        if (row.virtual_key == virtual_key) return &row;
    }
    return nullptr;
}

// What the table holds for the key in the event's modifier state.
Result table_result(const platform::ConsoleKeyEvent& event, Modifier modifier) {
    const std::uint16_t vk = event.virtual_key;
    const bool enhanced = (event.control_keys & kEnhancedKey) != 0;
    if (modifier == kAlt) {
        if (vk == kVkReturn && enhanced) return ext(166);  // keypad Enter
        if (enhanced && separate_block_alt_code(vk) != 0) return ext(separate_block_alt_code(vk));
        if (vk >= 'A' && vk <= 'Z') return ext(kAltLetterCodes[vk - 'A']);
    }
    if (vk >= kVkF1 && vk < kVkF1 + 10) {
        constexpr std::uint8_t first[4] = {59, 84, 94, 104};
        return ext(static_cast<std::uint8_t>(first[modifier] + (vk - kVkF1)));
    }
    const KeyRow* row = find_row(vk);
    if (row == nullptr) return none;
    const Result result = row->results[modifier];
    // A modifier state with no entry falls back to the plain result.
    return result.kind == Cell::none ? row->results[kPlain] : result;
}

bool is_own_character(std::uint16_t virtual_key, std::uint8_t character) {
    if (virtual_key >= 'A' && virtual_key <= 'Z') {
        return character == virtual_key || character == virtual_key + ('a' - 'A');
    }
    const KeyRow* row = find_row(virtual_key);
    return row != nullptr && (character == row->own[0] || character == row->own[1]);
}

}  // namespace

std::string decode_console_event(const platform::ConsoleKeyEvent& event) {
    if (!event.key_down) {
        // Releasing Alt after typing a number on the keypad delivers the
        // composed character with the release.
        if (event.virtual_key == kVkMenu && event.character != 0) return character_key(event.character);
        return "";
    }
    if (event.repeat_count == 0) return "";

    const Modifier modifier = modifier_of(event.control_keys);
    if (modifier == kAlt && is_composing_keypad_key(event)) return "";

    const Result result = table_result(event, modifier);
    if (event.character != 0) {
        // A character the key does not own (AltGr, a control character)
        // stays that character.
        if (result.kind == Cell::extended && is_own_character(event.virtual_key, event.character)) {
            return extended_key(result.value);
        }
        if (result.kind == Cell::byte) return character_key(result.value);
        return character_key(event.character);
    }
    switch (result.kind) {
        case Cell::extended: return extended_key(result.value);
        case Cell::byte: return character_key(result.value);
        case Cell::none: return "";
    }
    return "";
}

}  // namespace kolm::console
