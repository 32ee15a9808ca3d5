// SPDX-License-Identifier: MIT
// pump(): X events of our windows turned into the backend's key, mouse, expose, focus and close
// events, in the order the server sent them.
#include "backend/x11/connection.h"
#include "backend/x11/local_move.h"
#include "backend/x11/scan_code.h"
#include "backend/x11/window.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace vexil::backend::x11 {

namespace {

struct StateBit {
    uint16_t state_mask;
    uint32_t bit;
};

// The core modifier bits of an input event's state. Mod1 is Alt and Mod2 Num Lock in every
// keymap X servers ship.
constexpr StateBit kModifierBits[] = {
    {XCB_MOD_MASK_SHIFT, kModifierShift}, {XCB_MOD_MASK_CONTROL, kModifierControl}, {XCB_MOD_MASK_1, kModifierAlt},
    {XCB_MOD_MASK_2, kModifierNumLock},   {XCB_MOD_MASK_LOCK, kModifierCapsLock},
};
constexpr StateBit kButtonBits[] = {
    {XCB_BUTTON_MASK_1, kButtonLeft}, {XCB_BUTTON_MASK_2, kButtonMiddle}, {XCB_BUTTON_MASK_3, kButtonRight}};

template <size_t N> uint32_t bits_of(uint16_t state, const StateBit (&table)[N])
{
    uint32_t bits = 0;
    for (const StateBit& entry : table) {
        if (state & entry.state_mask) {
            bits |= entry.bit;
        }
    }
    return bits;
}

uint32_t modifiers_of(uint16_t state)
{
    return bits_of(state, kModifierBits);
}

uint32_t buttons_of(uint16_t state)
{
    return bits_of(state, kButtonBits);
}

// The position, held buttons and modifiers, and time of a pointer event, as the state before it
// gives them.
template <typename PointerEvent> MouseEvent mouse_event_of(const PointerEvent& event)
{
    MouseEvent mouse;
    mouse.x = event.event_x;
    mouse.y = event.event_y;
    mouse.screen_x = event.root_x;
    mouse.screen_y = event.root_y;
    mouse.buttons = buttons_of(event.state);
    mouse.modifiers = modifiers_of(event.state);
    mouse.time_ms = event.time;
    return mouse;
}

class Pump {
public:
    Pump(Connection& connection, EventSink& sink) : m_connection(connection), m_sink(sink) {}

    void run();

private:
    xcb_generic_event_t* next_event();
    void dispatch(const xcb_generic_event_t* event);
    void key(const xcb_key_press_event_t& event, KeyAction action);
    bool is_repeat_release(const xcb_key_release_event_t& event);
    void button(const xcb_button_press_event_t& event, bool press);
    void motion(const xcb_motion_notify_event_t& event);
    void focus(const xcb_focus_in_event_t& event, Focus focus);
    void client_message(const xcb_client_message_event_t& event);
    void configure(const xcb_configure_notify_event_t& event, bool synthetic);
    void reparent(const xcb_reparent_notify_event_t& event);
    void locate(Window& window);
    void lose_connection();

    Connection& m_connection;
    EventSink& m_sink;
};

void Pump::run()
{
    uint64_t wakes = 0;
    static_cast<void>(read(m_connection.wake_fd, &wakes, sizeof(wakes)));
    if (m_connection.lost) {
        return;
    }
    while (xcb_generic_event_t* event = next_event()) {
        if (!handle_local_move_event(m_connection, event)) {
            dispatch(event);
        }
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection.xcb)) {
        lose_connection();
    }
}

xcb_generic_event_t* Pump::next_event()
{
    xcb_generic_event_t* event = m_connection.held_event;
    m_connection.held_event = nullptr;
    return event ? event : xcb_poll_for_event(m_connection.xcb);
}

void Pump::dispatch(const xcb_generic_event_t* event)
{
    const uint8_t type = event->response_type & 0x7F;
    const bool synthetic = (event->response_type & 0x80) != 0;
    if (m_connection.keyboard.event_base() != 0 && type == m_connection.keyboard.event_base()) {
        m_connection.keyboard.handle_xkb_event(event);
        return;
    }
    switch (type) {
    case 0:
        // The error of a request nobody waits for (one on a window the server already destroyed,
        // say). Xlib's default would end the process; the backend carries on.
        break;
    case XCB_KEY_PRESS:
        key(*reinterpret_cast<const xcb_key_press_event_t*>(event), KeyAction::Press);
        break;
    case XCB_KEY_RELEASE: {
        const auto& release = *reinterpret_cast<const xcb_key_release_event_t*>(event);
        key(release, is_repeat_release(release) ? KeyAction::Repeat : KeyAction::Release);
        break;
    }
    case XCB_BUTTON_PRESS:
        button(*reinterpret_cast<const xcb_button_press_event_t*>(event), true);
        break;
    case XCB_BUTTON_RELEASE:
        button(*reinterpret_cast<const xcb_button_release_event_t*>(event), false);
        break;
    case XCB_MOTION_NOTIFY:
        motion(*reinterpret_cast<const xcb_motion_notify_event_t*>(event));
        break;
    case XCB_EXPOSE: {
        const auto& expose = *reinterpret_cast<const xcb_expose_event_t*>(event);
        if (Window* window = find_window(m_connection, expose.window)) {
            m_sink.exposed(window->cookie, {expose.x, expose.y, expose.x + expose.width, expose.y + expose.height});
        }
        break;
    }
    case XCB_FOCUS_IN:
        focus(*reinterpret_cast<const xcb_focus_in_event_t*>(event), Focus::Gained);
        break;
    case XCB_FOCUS_OUT:
        focus(*reinterpret_cast<const xcb_focus_out_event_t*>(event), Focus::Lost);
        break;
    case XCB_CLIENT_MESSAGE:
        client_message(*reinterpret_cast<const xcb_client_message_event_t*>(event));
        break;
    case XCB_CONFIGURE_NOTIFY:
        configure(*reinterpret_cast<const xcb_configure_notify_event_t*>(event), synthetic);
        break;
    case XCB_REPARENT_NOTIFY:
        reparent(*reinterpret_cast<const xcb_reparent_notify_event_t*>(event));
        break;
    default:
        break;
    }
}

// Without detectable auto-repeat the server sends a release and a press with the same time
// stamp for each repeat; the pair is one Repeat. The event after the release is read to see.
bool Pump::is_repeat_release(const xcb_key_release_event_t& release)
{
    if (m_connection.keyboard.has_detectable_repeat()) {
        return false;
    }
    xcb_generic_event_t* next = xcb_poll_for_event(m_connection.xcb);
    if (next && (next->response_type & 0x7F) == XCB_KEY_PRESS) {
        const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(next);
        if (press->detail == release.detail && press->time == release.time && press->event == release.event) {
            std::free(next);
            return true;
        }
    }
    m_connection.held_event = next;
    return false;
}

void Pump::key(const xcb_key_press_event_t& event, KeyAction action)
{
    Keyboard& keyboard = m_connection.keyboard;
    // Key events reach only the focused window (or a menu's grab), so keys typed into other
    // programs never arrive; one for a window that is no longer ours is dropped.
    Window* window = find_window(m_connection, event.event);
    if (!window) {
        return;
    }
    if (action == KeyAction::Press && keyboard.press(event.detail)) {
        action = KeyAction::Repeat; // detectable auto-repeat: a press of a key already down
    } else if (action == KeyAction::Release) {
        keyboard.release(event.detail);
    }
    const KeyMeaning meaning = keyboard.meaning(event.detail);
    const ScanCode scan = scan_code_from_keycode(event.detail);
    KeyEvent key;
    key.action = action;
    key.keysym = meaning.keysym;
    key.character = action == KeyAction::Release ? 0 : meaning.character;
    key.modifiers = modifiers_of(event.state);
    key.time_ms = event.time;
    key.scan_code = scan.code;
    key.extended = scan.extended;
    m_sink.key(window->cookie, key);
}

void Pump::button(const xcb_button_press_event_t& event, bool press)
{
    Window* window = find_window(m_connection, event.event);
    if (!window) {
        return;
    }
    MouseEvent mouse = mouse_event_of(event);
    constexpr int32_t kWheelNotch = 120;
    switch (event.detail) {
    case XCB_BUTTON_INDEX_1:
        mouse.button = MouseButton::Left;
        break;
    case XCB_BUTTON_INDEX_2:
        mouse.button = MouseButton::Middle;
        break;
    case XCB_BUTTON_INDEX_3:
        mouse.button = MouseButton::Right;
        break;
    case XCB_BUTTON_INDEX_4:
    case XCB_BUTTON_INDEX_5:
        // One press per notch; the releases say nothing more.
        if (!press) {
            return;
        }
        mouse.action = MouseAction::Wheel;
        mouse.wheel_delta = event.detail == XCB_BUTTON_INDEX_4 ? kWheelNotch : -kWheelNotch;
        m_sink.mouse(window->cookie, mouse);
        return;
    default:
        return; // horizontal wheels and extra buttons: Windows' ANSI messages of the layer have none
    }
    const uint32_t bit = mouse.button == MouseButton::Left     ? kButtonLeft
                         : mouse.button == MouseButton::Middle ? kButtonMiddle
                                                               : kButtonRight;
    // The state is the one before the event; the event reports the buttons held after it.
    mouse.buttons = press ? (mouse.buttons | bit) : (mouse.buttons & ~bit);
    mouse.action = press ? MouseAction::Press : MouseAction::Release;
    m_sink.mouse(window->cookie, mouse);
}

void Pump::motion(const xcb_motion_notify_event_t& event)
{
    Window* window = find_window(m_connection, event.event);
    if (!window) {
        return;
    }
    MouseEvent mouse = mouse_event_of(event);
    mouse.action = MouseAction::Move;
    m_sink.mouse(window->cookie, mouse);
}

void Pump::focus(const xcb_focus_in_event_t& event, Focus focus)
{
    Window* window = find_window(m_connection, event.event);
    // Grabs (a menu's, or the manager's during a move) only lend the keyboard for a while, and
    // the pointer's focus is not the window's.
    if (!window || window->kind == WindowKind::Popup || event.mode == XCB_NOTIFY_MODE_GRAB ||
        event.mode == XCB_NOTIFY_MODE_UNGRAB || event.detail == XCB_NOTIFY_DETAIL_POINTER) {
        return;
    }
    if (focus == Focus::Lost) {
        // Keys held now are released elsewhere; a later press is a press, not a repeat.
        m_connection.keyboard.release_all();
    }
    m_sink.focus_changed(window->cookie, focus);
}

void Pump::client_message(const xcb_client_message_event_t& event)
{
    const Atoms& atoms = m_connection.atoms;
    Window* window = find_window(m_connection, event.window);
    if (!window || event.type != atoms.wm_protocols || event.format != 32) {
        return;
    }
    const xcb_atom_t protocol = event.data.data32[0];
    if (protocol == atoms.wm_delete_window) {
        m_sink.close_requested(window->cookie);
    } else if (protocol == atoms.net_wm_ping) {
        // EWMH: answer by sending the same message back to the root window.
        xcb_client_message_event_t pong = event;
        pong.response_type = XCB_CLIENT_MESSAGE;
        pong.window = m_connection.root;
        send_to_root(m_connection, &pong, sizeof(pong));
        xcb_flush(m_connection.xcb);
    }
}

void Pump::configure(const xcb_configure_notify_event_t& event, bool synthetic)
{
    Window* window = find_window(m_connection, event.window);
    if (!window) {
        return;
    }
    if (window->move_pending) {
        // Events carry the low 16 bits of the last request the server had handled.
        const auto age = static_cast<int16_t>(static_cast<uint16_t>(event.sequence - window->move_sequence));
        if (age < 0) {
            return; // made before our last move: the window is no longer there
        }
        window->move_pending = false;
    }
    if (synthetic || !window->reparented) {
        // ICCCM 4.1.5: a manager's synthetic notice gives the position on the screen; without a
        // manager the parent is the root, and the position is on the screen as well.
        window->origin_x = event.x;
        window->origin_y = event.y;
        if (!window->reparented) {
            window->left = event.x;
            window->top = event.y;
        }
    } else {
        locate(*window);
    }
}

void Pump::reparent(const xcb_reparent_notify_event_t& event)
{
    if (Window* window = find_window(m_connection, event.window)) {
        window->reparented = event.parent != m_connection.root;
        locate(*window);
    }
}

// The surface's position on the screen, asked of the server: inside a manager's frame the
// configure events only give the position in the frame.
void Pump::locate(Window& window)
{
    xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(
        m_connection.xcb, xcb_translate_coordinates(m_connection.xcb, window.id, m_connection.root, 0, 0), nullptr);
    if (reply) {
        window.origin_x = reply->dst_x;
        window.origin_y = reply->dst_y;
        std::free(reply);
    }
}

void Pump::lose_connection()
{
    // The server is gone: poll() must stop waking on the dead socket, and each window is asked
    // to close, as if the desktop had closed it.
    m_connection.lost = true;
    epoll_ctl(m_connection.epoll_fd, EPOLL_CTL_DEL, xcb_get_file_descriptor(m_connection.xcb), nullptr);
    std::fprintf(stderr, "vexil: the connection to the X display was lost\n");
    for (Window* window : m_connection.windows) {
        m_sink.close_requested(window->cookie);
    }
}

} // namespace

} // namespace vexil::backend::x11

namespace vexil::backend {

void pump(Connection* connection, EventSink& sink)
{
    x11::Pump(*connection, sink).run();
}

} // namespace vexil::backend
