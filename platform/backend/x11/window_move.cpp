// SPDX-License-Identifier: MIT
// Interactive moves: EWMH's _NET_WM_MOVERESIZE when the window manager offers it, else a move
// the backend runs with grabs of its own.
#include "backend/x11/connection.h"
#include "backend/x11/local_move.h"
#include "backend/x11/window.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <cstdlib>

namespace vexil::backend::x11 {

namespace {

// Whether a live EWMH window manager lists `atom` in _NET_SUPPORTED. The manager proves it is
// alive by a check window that names itself (EWMH "_NET_SUPPORTING_WM_CHECK"); a stale list
// left by a manager that has gone would otherwise be believed.
bool window_manager_supports(const Connection& connection, xcb_atom_t atom)
{
    xcb_connection_t* xcb = connection.xcb;
    const Atoms& atoms = connection.atoms;
    auto read_window = [&](xcb_window_t window) -> xcb_window_t {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            xcb, xcb_get_property(xcb, 0, window, atoms.net_supporting_wm_check, XCB_ATOM_WINDOW, 0, 1), nullptr);
        xcb_window_t value = XCB_WINDOW_NONE;
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4) {
            value = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
        }
        std::free(reply);
        return value;
    };
    const xcb_window_t check = read_window(connection.root);
    bool supported = check != XCB_WINDOW_NONE && read_window(check) == check;
    if (supported) {
        constexpr uint32_t kMaxAtoms = 1024;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            xcb, xcb_get_property(xcb, 0, connection.root, atoms.net_supported, XCB_ATOM_ATOM, 0, kMaxAtoms), nullptr);
        supported = false;
        if (reply && reply->format == 32) {
            const auto* list = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
            const int count = xcb_get_property_value_length(reply) / 4;
            supported = std::find(list, list + count, atom) != list + count;
        }
        std::free(reply);
    }
    wake_pump(connection);
    return supported;
}

bool grab_for_move(xcb_connection_t* xcb, xcb_window_t window, MoveStart start)
{
    constexpr uint16_t kPointerEvents =
        XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;
    xcb_grab_pointer_reply_t* pointer = xcb_grab_pointer_reply(
        xcb,
        xcb_grab_pointer(xcb, 0, window, kPointerEvents, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE,
                         XCB_CURSOR_NONE, XCB_CURRENT_TIME),
        nullptr);
    bool held = pointer && pointer->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(pointer);
    if (held && start == MoveStart::Keyboard) {
        xcb_grab_keyboard_reply_t* keyboard = xcb_grab_keyboard_reply(
            xcb, xcb_grab_keyboard(xcb, 0, window, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
            nullptr);
        held = keyboard && keyboard->status == XCB_GRAB_STATUS_SUCCESS;
        std::free(keyboard);
        if (!held) {
            xcb_ungrab_pointer(xcb, XCB_CURRENT_TIME);
        }
    }
    return held;
}

bool left_button_down(xcb_connection_t* xcb, xcb_window_t window)
{
    xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(xcb, xcb_query_pointer(xcb, window), nullptr);
    const bool down = reply && (reply->mask & XCB_BUTTON_MASK_1);
    std::free(reply);
    return down;
}

void begin_local_move(Connection& connection, Window& window, MoveStart start, int32_t screen_x, int32_t screen_y)
{
    end_local_move(connection, window);
    // A pointer move whose button is already up would wait for a release that never comes.
    const bool ready = (start == MoveStart::Keyboard || left_button_down(connection.xcb, window.id)) &&
                       grab_for_move(connection.xcb, window.id, start);
    wake_pump(connection);
    if (ready) {
        connection.move = {&window, start, screen_x, screen_y, window.left, window.top};
    }
}

void finish(Connection& connection)
{
    xcb_ungrab_pointer(connection.xcb, XCB_CURRENT_TIME);
    if (connection.move.start == MoveStart::Keyboard) {
        xcb_ungrab_keyboard(connection.xcb, XCB_CURRENT_TIME);
    }
    xcb_flush(connection.xcb);
    connection.move = {};
}

// Arrow keys move a window by this much per press, so auto-repeat crosses a screen in seconds.
constexpr int32_t kKeyboardStep = 8;

void handle_move_key(Connection& connection, xcb_keycode_t keycode)
{
    LocalMove& move = connection.move;
    Window& window = *move.window;
    switch (connection.keyboard.meaning(keycode).keysym) {
    case XKB_KEY_Left:
    case XKB_KEY_KP_Left:
        move_window(&window, window.left - kKeyboardStep, window.top);
        break;
    case XKB_KEY_Right:
    case XKB_KEY_KP_Right:
        move_window(&window, window.left + kKeyboardStep, window.top);
        break;
    case XKB_KEY_Up:
    case XKB_KEY_KP_Up:
        move_window(&window, window.left, window.top - kKeyboardStep);
        break;
    case XKB_KEY_Down:
    case XKB_KEY_KP_Down:
        move_window(&window, window.left, window.top + kKeyboardStep);
        break;
    case XKB_KEY_Return:
    case XKB_KEY_KP_Enter:
        finish(connection);
        break;
    case XKB_KEY_Escape:
        move_window(&window, move.left, move.top);
        finish(connection);
        break;
    default:
        break;
    }
}

} // namespace

bool handle_local_move_event(Connection& connection, const xcb_generic_event_t* event)
{
    LocalMove& move = connection.move;
    if (!move.window) {
        return false;
    }
    switch (event->response_type & 0x7F) {
    case XCB_MOTION_NOTIFY: {
        const auto* motion = reinterpret_cast<const xcb_motion_notify_event_t*>(event);
        move_window(move.window, move.left + (motion->root_x - move.pointer_x),
                    move.top + (motion->root_y - move.pointer_y));
        return true;
    }
    case XCB_BUTTON_PRESS:
        // A click ends a keyboard move where the window is, as on Windows.
        if (move.start == MoveStart::Keyboard) {
            finish(connection);
        }
        return true;
    case XCB_BUTTON_RELEASE:
        if (move.start == MoveStart::Pointer) {
            finish(connection);
        }
        return true;
    case XCB_KEY_PRESS:
        if (move.start == MoveStart::Keyboard) {
            handle_move_key(connection, reinterpret_cast<const xcb_key_press_event_t*>(event)->detail);
        }
        return true;
    case XCB_KEY_RELEASE:
        return move.start == MoveStart::Keyboard;
    default:
        return false;
    }
}

void end_local_move(Connection& connection, const Window& window)
{
    if (connection.move.window == &window) {
        finish(connection);
    }
}

} // namespace vexil::backend::x11

namespace vexil::backend {

void begin_move(Window* window, MoveStart start, int32_t screen_x, int32_t screen_y)
{
    Connection& connection = *window->connection;
    if (window->kind == WindowKind::Popup || connection.lost) {
        return;
    }
    if (!x11::window_manager_supports(connection, connection.atoms.net_wm_moveresize)) {
        x11::begin_local_move(connection, *window, start, screen_x, screen_y);
        return;
    }
    // EWMH _NET_WM_MOVERESIZE: the manager grabs the pointer itself, so the grab the button
    // press gave us is released first. Source 1: a normal application.
    constexpr uint32_t kMove = 8;
    constexpr uint32_t kMoveKeyboard = 10;
    constexpr uint32_t kSourceApplication = 1;
    if (start == MoveStart::Pointer) {
        xcb_ungrab_pointer(connection.xcb, XCB_CURRENT_TIME);
    }
    const bool pointer = start == MoveStart::Pointer;
    x11::send_client_message_to_root(connection, window->id, connection.atoms.net_wm_moveresize,
                                     {static_cast<uint32_t>(screen_x), static_cast<uint32_t>(screen_y),
                                      pointer ? kMove : kMoveKeyboard, pointer ? 1u : 0u, kSourceApplication});
    xcb_flush(connection.xcb);
}

} // namespace vexil::backend
