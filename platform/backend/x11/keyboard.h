// SPDX-License-Identifier: MIT
// The core keyboard of one connection through XKB: keymap, lock and modifier state, held keys.
#pragma once

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon.h>

#include <bitset>
#include <cstdint>

namespace vexil::backend::x11 {

// What a key gives under the keyboard's current layout, modifiers and locks.
struct KeyMeaning {
    uint32_t keysym = 0;    // XKB_KEY_NoSymbol when the key has none
    uint32_t character = 0; // Unicode, 0 for none
};

class Keyboard {
public:
    Keyboard() = default;
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;
    ~Keyboard();

    // Sets up XKB on the connection: the keymap and state of the core keyboard, the events that
    // keep them current, and detectable auto-repeat (a held key sends presses and one release).
    // False when the server has no usable XKB; every key then means nothing.
    [[nodiscard]] bool open(xcb_connection_t* connection);

    // The event code of the XKB extension: all its events carry it, told apart by a subtype.
    uint8_t event_base() const { return m_event_base; }

    // Applies an XKB event: a new keymap, or a change of modifiers, locks or layout.
    void handle_xkb_event(const xcb_generic_event_t* event);

    KeyMeaning meaning(xcb_keycode_t keycode) const;

    // Records a press and tells whether the key was already down: a repeat.
    bool press(xcb_keycode_t keycode);
    void release(xcb_keycode_t keycode) { m_down.reset(keycode); }
    // Forgets the held keys when focus leaves: their releases go elsewhere.
    void release_all() { m_down.reset(); }

    // False when the server sends a release before each repeated press; the caller then merges
    // a release and a press of the same key at the same time into a repeat.
    bool has_detectable_repeat() const { return m_detectable_repeat; }

private:
    [[nodiscard]] bool load_keymap();

    xcb_connection_t* m_connection = nullptr;
    xkb_context* m_context = nullptr;
    xkb_keymap* m_keymap = nullptr;
    xkb_state* m_state = nullptr;
    int32_t m_device_id = -1;
    uint8_t m_event_base = 0;
    bool m_detectable_repeat = false;
    std::bitset<256> m_down;
};

} // namespace vexil::backend::x11
