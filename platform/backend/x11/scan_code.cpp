// SPDX-License-Identifier: MIT
// X key codes to scan code set 1: X key codes are Linux input codes plus 8, and below 89 a
// Linux input code equals its set 1 code; the 0xE0 keys above take a table.
#include "backend/x11/scan_code.h"

namespace vexil::backend::x11 {

namespace {

// The X protocol reserves key codes below 8.
constexpr uint8_t kEvdevOffset = 8;
constexpr uint8_t kLastPlainScanCode = 88;

struct ExtendedKey {
    uint8_t evdev;
    uint8_t code;
};

// Keypad Enter, right Ctrl, keypad /, Print Screen, right Alt, Home, Up, Page Up, Left, Right,
// End, Down, Page Down, Insert, Delete, left and right Windows keys, Menu.
constexpr ExtendedKey kExtendedKeys[] = {
    {96, 0x1C},  {97, 0x1D},  {98, 0x35},  {99, 0x37},  {100, 0x38}, {102, 0x47}, {103, 0x48}, {104, 0x49}, {105, 0x4B},
    {106, 0x4D}, {107, 0x4F}, {108, 0x50}, {109, 0x51}, {110, 0x52}, {111, 0x53}, {125, 0x5B}, {126, 0x5C}, {127, 0x5D},
};

} // namespace

ScanCode scan_code_from_keycode(uint8_t keycode)
{
    if (keycode < kEvdevOffset) {
        return {};
    }
    const uint8_t evdev = static_cast<uint8_t>(keycode - kEvdevOffset);
    if (evdev <= kLastPlainScanCode) {
        return {evdev, false};
    }
    for (const ExtendedKey& key : kExtendedKeys) {
        if (key.evdev == evdev) {
            return {key.code, true};
        }
    }
    return {};
}

} // namespace vexil::backend::x11
