// SPDX-License-Identifier: MIT
// A US keyboard for the headless backend.
#include "backend/headless/keyboard.h"

#include "backend/backend.h"

#include <cstring>

namespace vexil::backend::headless {

namespace {

struct NamedKey {
    const char* name;
    uint32_t keysym;
};

// Keys that are not typed characters, by their X keysym names.
constexpr NamedKey kNamedKeys[] = {
    {"space", 0x0020},       {"BackSpace", 0xff08}, {"Tab", 0xff09},         {"Return", 0xff0d},
    {"Enter", 0xff0d},       {"Pause", 0xff13},     {"Scroll_Lock", 0xff14}, {"Escape", 0xff1b},
    {"Home", 0xff50},        {"Left", 0xff51},      {"Up", 0xff52},          {"Right", 0xff53},
    {"Down", 0xff54},        {"Prior", 0xff55},     {"Page_Up", 0xff55},     {"Next", 0xff56},
    {"Page_Down", 0xff56},   {"End", 0xff57},       {"Print", 0xff61},       {"Insert", 0xff63},
    {"Menu", 0xff67},        {"Num_Lock", 0xff7f},  {"KP_Enter", 0xff8d},    {"KP_Multiply", 0xffaa},
    {"KP_Add", 0xffab},      {"KP_Subtract", 0xffad}, {"KP_Divide", 0xffaf}, {"Shift_L", 0xffe1},
    {"Shift_R", 0xffe2},     {"Control_L", 0xffe3}, {"Control_R", 0xffe4},   {"Caps_Lock", 0xffe5},
    {"Alt_L", 0xffe9},       {"Alt_R", 0xffea},     {"Super_L", 0xffeb},     {"Super_R", 0xffec},
    {"Delete", 0xffff},      {"minus", '-'},        {"equal", '='},          {"bracketleft", '['},
    {"bracketright", ']'},   {"backslash", '\\'},   {"semicolon", ';'},      {"apostrophe", '\''},
    {"grave", '`'},          {"comma", ','},        {"period", '.'},         {"slash", '/'},
};

// The keypad: its keysym with Num Lock on, and with it off.
struct KeypadKey {
    const char* name;
    uint32_t with_num_lock;
    uint32_t without_num_lock;
};

constexpr KeypadKey kKeypad[] = {
    {"KP_0", 0xffb0, 0xff9e}, {"KP_1", 0xffb1, 0xff9c}, {"KP_2", 0xffb2, 0xff99}, {"KP_3", 0xffb3, 0xff9b},
    {"KP_4", 0xffb4, 0xff96}, {"KP_5", 0xffb5, 0xff9d}, {"KP_6", 0xffb6, 0xff98}, {"KP_7", 0xffb7, 0xff95},
    {"KP_8", 0xffb8, 0xff97}, {"KP_9", 0xffb9, 0xff9a}, {"KP_Decimal", 0xffae, 0xff9f},
};

// A US keyboard's shifted symbols, unshifted then shifted.
constexpr char kShifted[][2] = {
    {'1', '!'}, {'2', '@'}, {'3', '#'}, {'4', '$'},  {'5', '%'}, {'6', '^'}, {'7', '&'}, {'8', '*'},
    {'9', '('}, {'0', ')'}, {'-', '_'}, {'=', '+'},  {'[', '{'}, {']', '}'}, {'\\', '|'}, {';', ':'},
    {'\'', '"'}, {'`', '~'}, {',', '<'}, {'.', '>'}, {'/', '?'},
};

bool has(uint32_t modifiers, uint32_t bit)
{
    return (modifiers & bit) != 0;
}

uint32_t main_block_keysym(char base, uint32_t modifiers)
{
    const bool shift = has(modifiers, kModifierShift);
    if (base >= 'a' && base <= 'z')
        return shift != has(modifiers, kModifierCapsLock) ? static_cast<uint32_t>(base - 'a' + 'A')
                                                          : static_cast<uint32_t>(base);
    if (shift) {
        for (const auto& pair : kShifted) {
            if (pair[0] == base)
                return static_cast<uint32_t>(pair[1]);
        }
    }
    return static_cast<uint32_t>(static_cast<unsigned char>(base));
}

} // namespace

uint32_t character_of(uint32_t keysym, uint32_t modifiers)
{
    uint32_t character = 0;
    if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff))
        character = keysym; // Latin-1 keysyms are their own code points
    else if (keysym >= 0x01000100 && keysym <= 0x0110ffff)
        character = keysym - 0x01000000; // keysyms made from a Unicode code point
    else if (keysym >= 0xffb0 && keysym <= 0xffb9)
        character = '0' + (keysym - 0xffb0);
    else {
        switch (keysym) {
        case 0xff08: character = 8; break;     // BackSpace
        case 0xff09: character = 9; break;     // Tab
        case 0xff0d: case 0xff8d: character = 13; break; // Return, KP_Enter
        case 0xff1b: character = 27; break;    // Escape
        case 0xffff: case 0xff9f: character = 127; break; // Delete, KP_Delete
        case 0xffaa: character = '*'; break;
        case 0xffab: character = '+'; break;
        case 0xffad: character = '-'; break;
        case 0xffae: character = '.'; break;
        case 0xffaf: character = '/'; break;
        default: break;
        }
    }
    // Control makes the characters from '@' to '~' into the control characters, as xkb does.
    if (has(modifiers, kModifierControl) && character >= '@' && character <= '~')
        character &= 0x1f;
    return character;
}

std::optional<ResolvedKey> resolve_key(std::string_view name, uint32_t modifiers)
{
    uint32_t keysym = 0;
    if (name.size() == 1 && name[0] > 0x20 && name[0] < 0x7f) {
        const char base = name[0] >= 'A' && name[0] <= 'Z' ? static_cast<char>(name[0] - 'A' + 'a') : name[0];
        keysym = main_block_keysym(base, modifiers);
    }
    for (const NamedKey& key : kNamedKeys) {
        if (keysym == 0 && name == key.name)
            keysym = key.keysym < 0x80 ? main_block_keysym(static_cast<char>(key.keysym), modifiers) : key.keysym;
    }
    for (const KeypadKey& key : kKeypad) {
        if (keysym == 0 && name == key.name) {
            // Shift inverts Num Lock on the keypad, as it does on a PC keyboard.
            const bool digits = has(modifiers, kModifierNumLock) != has(modifiers, kModifierShift);
            keysym = digits ? key.with_num_lock : key.without_num_lock;
        }
    }
    if (keysym == 0 && name.size() >= 2 && name[0] == 'F') {
        int number = 0;
        for (char digit : name.substr(1))
            number = digit >= '0' && digit <= '9' && number < 100 ? number * 10 + (digit - '0') : 100;
        if (number >= 1 && number <= 24)
            keysym = 0xffbe + static_cast<uint32_t>(number - 1);
    }
    if (keysym == 0)
        return std::nullopt;
    return ResolvedKey{keysym, character_of(keysym, modifiers)};
}

} // namespace vexil::backend::headless
