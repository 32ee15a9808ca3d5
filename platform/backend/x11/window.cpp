// SPDX-License-Identifier: MIT
// Native windows: creation with their hints, showing and hiding, moving, presenting, cursors.
#include "backend/x11/window.h"

#include "backend/x11/connection.h"
#include "backend/x11/local_move.h"
#include "backend/x11/window_properties.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <new>

namespace vexil::backend::x11 {

namespace {

// Window positions are 16-bit on the wire; sizes are kept below that so every coordinate of a
// surface is one too.
constexpr int32_t kMaxSurfaceSide = 32767;

int16_t wire_coordinate(int32_t value)
{
    return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}

constexpr uint32_t kEventMask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_FOCUS_CHANGE |
                                XCB_EVENT_MASK_STRUCTURE_NOTIFY;

bool create_native_window(Connection& connection, Window& window, const WindowSpec& window_spec)
{
    // Attribute values in the order of their mask bits.
    const uint32_t mask = XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK |
                          XCB_CW_COLORMAP | XCB_CW_CURSOR;
    const uint32_t values[] = {
        0, // black, the colour of the class brush, until the first present
        0,
        window_spec.kind == WindowKind::Popup ? 1u : 0u, // a menu is placed and stacked by us, not the manager
        kEventMask,
        connection.colormap,
        connection.cursors.arrow,
    };
    window.id = xcb_generate_id(connection.xcb);
    xcb_generic_error_t* error = xcb_request_check(
        connection.xcb,
        xcb_create_window_checked(connection.xcb, 24, window.id, connection.root, wire_coordinate(window_spec.left),
                                  wire_coordinate(window_spec.top), static_cast<uint16_t>(window_spec.width),
                                  static_cast<uint16_t>(window_spec.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                                  connection.visual, mask, values));
    wake_pump(connection);
    std::free(error);
    return error == nullptr;
}

// Another client (a window manager reacting to Alt+Space, say) may hold a grab for a moment, so
// a menu tries for up to 200 ms before it goes without.
constexpr int kGrabAttempts = 20;
constexpr long kGrabRetryNanoseconds = 10'000'000;

bool grab_input(Connection& connection, xcb_window_t window)
{
    xcb_connection_t* xcb = connection.xcb;
    constexpr uint16_t kPointerEvents =
        XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;
    for (int attempt = 0; attempt < kGrabAttempts; ++attempt) {
        // owner_events false: every pointer and key event goes to the menu, in its coordinates.
        const auto pointer_cookie =
            xcb_grab_pointer(xcb, 0, window, kPointerEvents, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE,
                             XCB_CURSOR_NONE, XCB_CURRENT_TIME);
        const auto keyboard_cookie =
            xcb_grab_keyboard(xcb, 0, window, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_grab_pointer_reply_t* pointer = xcb_grab_pointer_reply(xcb, pointer_cookie, nullptr);
        xcb_grab_keyboard_reply_t* keyboard = xcb_grab_keyboard_reply(xcb, keyboard_cookie, nullptr);
        const bool pointer_held = pointer && pointer->status == XCB_GRAB_STATUS_SUCCESS;
        const bool keyboard_held = keyboard && keyboard->status == XCB_GRAB_STATUS_SUCCESS;
        std::free(pointer);
        std::free(keyboard);
        wake_pump(connection);
        if (pointer_held && keyboard_held) {
            return true;
        }
        if (pointer_held) {
            xcb_ungrab_pointer(xcb, XCB_CURRENT_TIME);
        }
        if (keyboard_held) {
            xcb_ungrab_keyboard(xcb, XCB_CURRENT_TIME);
        }
        const timespec pause = {0, kGrabRetryNanoseconds};
        nanosleep(&pause, nullptr);
    }
    return false;
}

void release_input(Connection& connection, Window& window)
{
    if (window.grabbing) {
        xcb_ungrab_pointer(connection.xcb, XCB_CURRENT_TIME);
        xcb_ungrab_keyboard(connection.xcb, XCB_CURRENT_TIME);
        window.grabbing = false;
    }
}

} // namespace

} // namespace vexil::backend::x11

namespace vexil::backend {

Window* create_window(Connection* connection, const WindowSpec& window_spec)
{
    if (window_spec.width < 1 || window_spec.height < 1 || window_spec.width > x11::kMaxSurfaceSide ||
        window_spec.height > x11::kMaxSurfaceSide || connection->lost) {
        return nullptr;
    }
    std::unique_ptr<Window> window(new (std::nothrow) Window);
    if (!window || !window->image.create(*connection, window_spec.width, window_spec.height) ||
        !x11::create_native_window(*connection, *window, window_spec)) {
        return nullptr;
    }
    window->connection = connection;
    window->kind = window_spec.kind;
    window->owner = window_spec.owner;
    window->cookie = window_spec.cookie;
    window->left = window->origin_x = window_spec.left;
    window->top = window->origin_y = window_spec.top;
    const xcb_window_t owner = window_spec.owner ? window_spec.owner->id : xcb_window_t{XCB_WINDOW_NONE};
    x11::set_window_properties(*connection, window->id, window_spec, owner);
    xcb_flush(connection->xcb);
    connection->windows.push_back(window.get());
    return window.release();
}

void destroy_window(Window* window)
{
    if (!window) {
        return;
    }
    Connection& connection = *window->connection;
    x11::end_local_move(connection, *window);
    x11::release_input(connection, *window);
    std::erase(connection.windows, window);
    for (Window* other : connection.windows) {
        if (other->owner == window) {
            other->owner = nullptr;
        }
    }
    xcb_destroy_window(connection.xcb, window->id);
    delete window; // detaches the surface's segment
    xcb_flush(connection.xcb);
}

void show_window(Window* window, Visibility visibility)
{
    Connection& connection = *window->connection;
    xcb_connection_t* xcb = connection.xcb;
    if (visibility == Visibility::Shown) {
        xcb_map_window(xcb, window->id);
        if (window->kind == WindowKind::Popup) {
            const uint32_t above = XCB_STACK_MODE_ABOVE;
            xcb_configure_window(xcb, window->id, XCB_CONFIG_WINDOW_STACK_MODE, &above);
            window->grabbing = x11::grab_input(connection, window->id);
        }
    } else {
        x11::release_input(connection, *window);
        xcb_unmap_window(xcb, window->id);
        if (window->kind != WindowKind::Popup) {
            // ICCCM 4.1.4: a synthetic UnmapNotify tells the manager the window is withdrawn.
            xcb_unmap_notify_event_t unmap = {};
            unmap.response_type = XCB_UNMAP_NOTIFY;
            unmap.event = connection.root;
            unmap.window = window->id;
            x11::send_to_root(connection, &unmap, sizeof(unmap));
        }
    }
    xcb_flush(xcb);
}

void minimize_window(Window* window)
{
    // ICCCM 4.1.4: ask the manager for IconicState; without a manager nothing happens.
    constexpr uint32_t kIconicState = 3;
    const Connection& connection = *window->connection;
    x11::send_client_message_to_root(connection, window->id, connection.atoms.wm_change_state,
                                     {kIconicState, 0, 0, 0, 0});
    xcb_flush(connection.xcb);
}

void set_title(Window* window, const char* utf8_title)
{
    x11::set_title_properties(*window->connection, window->id, utf8_title);
    xcb_flush(window->connection->xcb);
}

void move_window(Window* window, int32_t left, int32_t top)
{
    // With north-west gravity the manager reads the position as the frame's outer corner.
    const uint32_t position[] = {static_cast<uint32_t>(x11::wire_coordinate(left)),
                                 static_cast<uint32_t>(x11::wire_coordinate(top))};
    window->move_sequence =
        xcb_configure_window(window->connection->xcb, window->id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, position)
            .sequence;
    window->move_pending = true;
    xcb_flush(window->connection->xcb);
    window->left = left;
    window->top = top;
    if (!window->reparented) {
        // Unframed, the window is where it was asked to be as soon as the server reads this.
        window->origin_x = left;
        window->origin_y = top;
    }
}

void surface_origin(Window* window, int32_t* x, int32_t* y)
{
    *x = window->origin_x;
    *y = window->origin_y;
}

raster::Surface surface(Window* window)
{
    return window->image.surface();
}

void present(Window* window, raster::Box box)
{
    window->image.present(*window->connection, window->id, box);
}

void set_cursor(Window* window, Cursor cursor)
{
    const uint32_t value = window->connection->cursors.of(cursor);
    xcb_change_window_attributes(window->connection->xcb, window->id, XCB_CW_CURSOR, &value);
    xcb_flush(window->connection->xcb);
}

} // namespace vexil::backend
