// SPDX-License-Identifier: MIT
// XKB keymap and state for one connection, kept current from XKB's events.
#include "backend/x11/keyboard.h"

#include "backend/x11/xkb_protocol.h"

#include <xkbcommon/xkbcommon-x11.h>

#include <cstdlib>

namespace vexil::backend::x11 {

namespace {

void select_keyboard_events(xcb_connection_t* connection, int32_t device_id)
{
    constexpr uint16_t kEvents =
        XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY | XCB_XKB_EVENT_TYPE_STATE_NOTIFY;
    constexpr uint16_t kMapParts = XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS |
                                   XCB_XKB_MAP_PART_MODIFIER_MAP | XCB_XKB_MAP_PART_EXPLICIT_COMPONENTS |
                                   XCB_XKB_MAP_PART_KEY_ACTIONS | XCB_XKB_MAP_PART_VIRTUAL_MODS |
                                   XCB_XKB_MAP_PART_VIRTUAL_MOD_MAP;
    constexpr uint16_t kStateParts = XCB_XKB_STATE_PART_MODIFIER_BASE | XCB_XKB_STATE_PART_MODIFIER_LATCH |
                                     XCB_XKB_STATE_PART_MODIFIER_LOCK | XCB_XKB_STATE_PART_GROUP_BASE |
                                     XCB_XKB_STATE_PART_GROUP_LATCH | XCB_XKB_STATE_PART_GROUP_LOCK;
    xcb_xkb_select_events_details_t details = {};
    details.affectNewKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES;
    details.newKeyboardDetails = XCB_XKB_NKN_DETAIL_KEYCODES;
    details.affectState = kStateParts;
    details.stateDetails = kStateParts;
    xcb_xkb_select_events_aux(connection, static_cast<xcb_xkb_device_spec_t>(device_id), kEvents, 0, 0, kMapParts,
                              kMapParts, &details);
}

bool enable_detectable_repeat(xcb_connection_t* connection)
{
    constexpr uint32_t kFlag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    xcb_xkb_per_client_flags_reply_t* reply = xcb_xkb_per_client_flags_reply(
        connection, xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD, kFlag, kFlag, 0, 0, 0), nullptr);
    const bool enabled = reply && (reply->supported & kFlag) && (reply->value & kFlag);
    std::free(reply);
    return enabled;
}

// The fields every XKB event starts with.
struct XkbEventHeader {
    uint8_t response_type;
    uint8_t xkb_type;
    uint16_t sequence;
    xcb_timestamp_t time;
    uint8_t device_id;
};

} // namespace

Keyboard::~Keyboard()
{
    xkb_state_unref(m_state);
    xkb_keymap_unref(m_keymap);
    xkb_context_unref(m_context);
}

bool Keyboard::open(xcb_connection_t* connection)
{
    m_connection = connection;
    if (!xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                     XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &m_event_base, nullptr)) {
        return false;
    }
    m_device_id = xkb_x11_get_core_keyboard_device_id(connection);
    m_context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (m_device_id < 0 || !m_context || !load_keymap()) {
        return false;
    }
    select_keyboard_events(connection, m_device_id);
    m_detectable_repeat = enable_detectable_repeat(connection);
    return true;
}

bool Keyboard::load_keymap()
{
    xkb_keymap* keymap =
        xkb_x11_keymap_new_from_device(m_context, m_connection, m_device_id, XKB_KEYMAP_COMPILE_NO_FLAGS);
    xkb_state* state = keymap ? xkb_x11_state_new_from_device(keymap, m_connection, m_device_id) : nullptr;
    if (!state) {
        xkb_keymap_unref(keymap);
        return false;
    }
    xkb_state_unref(m_state);
    xkb_keymap_unref(m_keymap);
    m_keymap = keymap;
    m_state = state;
    return true;
}

void Keyboard::handle_xkb_event(const xcb_generic_event_t* event)
{
    const auto* header = reinterpret_cast<const XkbEventHeader*>(event);
    if (!m_state || header->device_id != m_device_id) {
        return;
    }
    switch (header->xkb_type) {
    case XCB_XKB_NEW_KEYBOARD_NOTIFY:
    case XCB_XKB_MAP_NOTIFY:
        // A failed reload keeps the previous keymap, which serves better than none.
        static_cast<void>(load_keymap());
        break;
    case XCB_XKB_STATE_NOTIFY: {
        const auto* state = reinterpret_cast<const xcb_xkb_state_notify_event_t*>(event);
        xkb_state_update_mask(m_state, state->baseMods, state->latchedMods, state->lockedMods,
                              static_cast<xkb_layout_index_t>(state->baseGroup),
                              static_cast<xkb_layout_index_t>(state->latchedGroup), state->lockedGroup);
        break;
    }
    default:
        break;
    }
}

KeyMeaning Keyboard::meaning(xcb_keycode_t keycode) const
{
    if (!m_state) {
        return {};
    }
    return {xkb_state_key_get_one_sym(m_state, keycode), xkb_state_key_get_utf32(m_state, keycode)};
}

bool Keyboard::press(xcb_keycode_t keycode)
{
    const bool was_down = m_down.test(keycode);
    m_down.set(keycode);
    return was_down;
}

} // namespace vexil::backend::x11
