// SPDX-License-Identifier: MIT
// The headless backend's keyboard: a US layout, resolving key names as a real keyboard would.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vexil::backend::headless {

struct ResolvedKey {
    uint32_t keysym = 0;
    uint32_t character = 0; // Unicode, 0 for none
};

// The keysym and character a key gives with the modifiers and locks (backend::Modifier bits):
// Shift and Caps Lock for letters, Shift for the other main keys, Num Lock (with Shift
// inverting it) for the keypad, Control turning characters into control characters. Key names
// are X keysym names of the unshifted keys: "a", "1", "minus" or "-", "Return", "F10",
// "KP_5", "Left", "space", "Menu", "Alt_L" ... Nothing for an unknown name.
std::optional<ResolvedKey> resolve_key(std::string_view name, uint32_t modifiers);

// The character an arbitrary keysym types with those modifiers, 0 for none.
uint32_t character_of(uint32_t keysym, uint32_t modifiers);

} // namespace vexil::backend::headless
