// SPDX-License-Identifier: MIT
// Key events from the backend as Windows key messages: virtual keys, lParam bits, characters.
#pragma once

#include "backend/backend.h"

#include <win32/user.h>

#include <cstdint>

namespace vexil::user {

struct KeyMessage {
    UINT message = WM_KEYDOWN; // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP
    WPARAM virtual_key = 0;
    LPARAM lparam = 0;
    uint8_t character = 0; // the Windows-1252 byte TranslateMessage posts with it
    bool has_character = false;
};

// The virtual key of a key: by its keysym (keypad keys as Num Lock made them), letters and
// digits by their symbol, other keys by their position on a US keyboard (the scan code), and
// VK_PACKET for a character typed on a key that has none of these.
uint8_t virtual_key_of(const backend::KeyEvent& event);

// The whole message: WM_SYSKEYDOWN/UP for F10 and for keys with Alt held (and Control not),
// lParam with repeat count 1, scan code, extended bit, Alt as the context bit and the
// previous-state and transition bits.
KeyMessage translate_key(const backend::KeyEvent& event);

} // namespace vexil::user
