// SPDX-License-Identifier: MIT
// The translation of keys to Windows key messages.
#include "user/key_translation.h"

#include "user/windows1252.h"

#include <iterator>

namespace vexil::user {

namespace {

struct SpecialKey {
    uint32_t keysym; // X11 keysym value
    uint8_t virtual_key;
    bool extended; // an 0xE0-prefixed key on a PC keyboard
};

// Keys that are not characters of the layout. Keypad keys come as Num Lock made them: KP_7
// with it on, KP_Home with it off (a non-extended VK_HOME, as Windows gives it).
constexpr SpecialKey kSpecialKeys[] = {
    {0xff08, VK_BACK, false},     {0xff09, VK_TAB, false},      {0xfe20, VK_TAB, false}, // ISO_Left_Tab
    {0xff0b, VK_CLEAR, false},    {0xff0d, VK_RETURN, false},   {0xff13, VK_PAUSE, false},
    {0xff14, VK_SCROLL, false},   {0xff15, VK_SNAPSHOT, true},  {0xff1b, VK_ESCAPE, false},
    {0x0020, VK_SPACE, false},    {0xff50, VK_HOME, true},      {0xff51, VK_LEFT, true},
    {0xff52, VK_UP, true},        {0xff53, VK_RIGHT, true},     {0xff54, VK_DOWN, true},
    {0xff55, VK_PRIOR, true},     {0xff56, VK_NEXT, true},      {0xff57, VK_END, true},
    {0xff58, VK_CLEAR, false},    {0xff60, VK_SELECT, false},   {0xff61, VK_SNAPSHOT, true},
    {0xff62, VK_EXECUTE, false},  {0xff63, VK_INSERT, true},    {0xff67, VK_APPS, true},
    {0xff6a, VK_HELP, false},     {0xff6b, VK_CANCEL, true},    {0xff7f, VK_NUMLOCK, true},
    {0xff80, VK_SPACE, false},    {0xff89, VK_TAB, false},      {0xff8d, VK_RETURN, true},
    {0xff95, VK_HOME, false},     {0xff96, VK_LEFT, false},     {0xff97, VK_UP, false},
    {0xff98, VK_RIGHT, false},    {0xff99, VK_DOWN, false},     {0xff9a, VK_PRIOR, false},
    {0xff9b, VK_NEXT, false},     {0xff9c, VK_END, false},      {0xff9d, VK_CLEAR, false},
    {0xff9e, VK_INSERT, false},   {0xff9f, VK_DELETE, false},   {0xffaa, VK_MULTIPLY, false},
    {0xffab, VK_ADD, false},      {0xffac, VK_SEPARATOR, false}, {0xffad, VK_SUBTRACT, false},
    {0xffae, VK_DECIMAL, false},  {0xffaf, VK_DIVIDE, true},    {0xffb0, VK_NUMPAD0, false},
    {0xffb1, VK_NUMPAD1, false},  {0xffb2, VK_NUMPAD2, false},  {0xffb3, VK_NUMPAD3, false},
    {0xffb4, VK_NUMPAD4, false},  {0xffb5, VK_NUMPAD5, false},  {0xffb6, VK_NUMPAD6, false},
    {0xffb7, VK_NUMPAD7, false},  {0xffb8, VK_NUMPAD8, false},  {0xffb9, VK_NUMPAD9, false},
    {0xffe1, VK_SHIFT, false},    {0xffe2, VK_SHIFT, false},    {0xffe3, VK_CONTROL, false},
    {0xffe4, VK_CONTROL, true},   {0xffe5, VK_CAPITAL, false},  {0xffe6, VK_CAPITAL, false},
    {0xffe7, VK_MENU, false},     {0xffe8, VK_MENU, true},      {0xffe9, VK_MENU, false},
    {0xffea, VK_MENU, true},      {0xfe03, VK_MENU, true},      {0xffeb, VK_LWIN, true}, // ISO_Level3_Shift
    {0xffec, VK_RWIN, true},      {0xffff, VK_DELETE, true},
};

// F1..F24 are the consecutive keysyms 0xffbe..0xffd5 and virtual keys 0x70..0x87.
constexpr uint32_t kKeysymF1 = 0xffbe;
constexpr uint32_t kKeysymF24 = 0xffd5;

// The virtual keys of the main block by set-1 scan code, as on a US keyboard; 0 elsewhere.
constexpr uint8_t kUsPositions[0x57] = {
    0,          0,           '1',       '2',         '3',         '4',         '5',        '6', // 0x00
    '7',        '8',         '9',       '0',         VK_OEM_MINUS, VK_OEM_PLUS, 0,         0,   // 0x08
    'Q',        'W',         'E',       'R',         'T',         'Y',         'U',        'I', // 0x10
    'O',        'P',         VK_OEM_4,  VK_OEM_6,    0,           0,           'A',        'S', // 0x18
    'D',        'F',         'G',       'H',         'J',         'K',         'L',        VK_OEM_1, // 0x20
    VK_OEM_7,   VK_OEM_3,    0,         VK_OEM_5,    'Z',         'X',         'C',        'V', // 0x28
    'B',        'N',         'M',       VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_2, 0,          0,   // 0x30
    0,          0,           0,         0,           0,           0,           0,          0,   // 0x38
    0,          0,           0,         0,           0,           0,           0,          0,   // 0x40
    0,          0,           0,         0,           0,           0,           0,          0,   // 0x48
    0,          0,           0,         0,           0,           0,           VK_OEM_102,       // 0x50
};

// The virtual key of each printable ASCII symbol on a US keyboard, shifted or not.
uint8_t us_symbol_key(uint32_t keysym)
{
    switch (keysym) {
    case '`': case '~': return VK_OEM_3;
    case '-': case '_': return VK_OEM_MINUS;
    case '=': case '+': return VK_OEM_PLUS;
    case '[': case '{': return VK_OEM_4;
    case ']': case '}': return VK_OEM_6;
    case '\\': case '|': return VK_OEM_5;
    case ';': case ':': return VK_OEM_1;
    case '\'': case '"': return VK_OEM_7;
    case ',': case '<': return VK_OEM_COMMA;
    case '.': case '>': return VK_OEM_PERIOD;
    case '/': case '?': return VK_OEM_2;
    case '!': return '1';
    case '@': return '2';
    case '#': return '3';
    case '$': return '4';
    case '%': return '5';
    case '^': return '6';
    case '&': return '7';
    case '*': return '8';
    case '(': return '9';
    case ')': return '0';
    default: return 0;
    }
}

const SpecialKey* find_special(uint32_t keysym)
{
    for (const SpecialKey& key : kSpecialKeys) {
        if (key.keysym == keysym)
            return &key;
    }
    return nullptr;
}

// Keys that type a control character under X but none on Windows.
bool types_nothing(uint32_t keysym)
{
    return keysym == 0xffff || keysym == 0xff9f; // Delete, KP_Delete
}

} // namespace

uint8_t virtual_key_of(const backend::KeyEvent& event)
{
    const uint32_t keysym = event.keysym;
    if (const SpecialKey* key = find_special(keysym))
        return key->virtual_key;
    if (keysym >= kKeysymF1 && keysym <= kKeysymF24)
        return static_cast<uint8_t>(VK_F1 + (keysym - kKeysymF1));
    if (keysym >= 'a' && keysym <= 'z')
        return static_cast<uint8_t>(keysym - 'a' + 'A');
    if ((keysym >= 'A' && keysym <= 'Z') || (keysym >= '0' && keysym <= '9'))
        return static_cast<uint8_t>(keysym);
    if (!event.extended && event.scan_code < std::size(kUsPositions) && kUsPositions[event.scan_code] != 0)
        return kUsPositions[event.scan_code];
    if (uint8_t key = us_symbol_key(keysym))
        return key;
    return event.character != 0 ? VK_PACKET : 0;
}

KeyMessage translate_key(const backend::KeyEvent& event)
{
    KeyMessage result;
    const uint8_t virtual_key = virtual_key_of(event);
    const bool release = event.action == backend::KeyAction::Release;
    const bool alt = (event.modifiers & backend::kModifierAlt) != 0 || virtual_key == VK_MENU;
    const bool control = (event.modifiers & backend::kModifierControl) != 0;
    const bool system = virtual_key == VK_F10 || (alt && !control);
    if (system)
        result.message = release ? WM_SYSKEYUP : WM_SYSKEYDOWN;
    else
        result.message = release ? WM_KEYUP : WM_KEYDOWN;
    result.virtual_key = virtual_key;

    const SpecialKey* special = find_special(event.keysym);
    const bool extended = event.extended || (special && special->extended);
    uint32_t bits = 1; // repeat count: one message per event, so no typed key is ever merged away
    bits |= static_cast<uint32_t>(event.scan_code) << 16;
    if (extended)
        bits |= 1u << 24;
    if (alt && system)
        bits |= 1u << 29; // context code: Alt is down
    if (release || event.action == backend::KeyAction::Repeat)
        bits |= 1u << 30; // the key was down before
    if (release)
        bits |= 1u << 31;
    result.lparam = static_cast<LPARAM>(bits);

    if (!release && event.character != 0 && !types_nothing(event.keysym)) {
        result.character = windows1252_from_unicode(event.character);
        result.has_character = true;
    }
    return result;
}

} // namespace vexil::user
