// SPDX-License-Identifier: MIT
// The PC scan code of an X key, from its position on the keyboard.
#pragma once

#include <cstdint>

namespace vexil::backend::x11 {

// Scan code set 1 of a key, as bits 16..24 of a Win32 key message's lParam carry it.
struct ScanCode {
    uint8_t code = 0;      // 0 for a key without one
    bool extended = false; // the 0xE0-prefixed keys: arrows, the editing block, right Ctrl and Alt
};

ScanCode scan_code_from_keycode(uint8_t keycode);

} // namespace vexil::backend::x11
