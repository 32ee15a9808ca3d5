// SPDX-License-Identifier: MIT
// Moving a window, by the window manager's interactive move or, without one, by the backend.
#pragma once

#include "backend/backend.h"

#include <xcb/xcb.h>

#include <cstdint>

namespace vexil::backend::x11 {

// A move the backend runs itself, following the pointer or the arrow keys, when no window
// manager offers _NET_WM_MOVERESIZE (a bare X server, or a manager without EWMH).
struct LocalMove {
    Window* window = nullptr; // null: no move in progress
    MoveStart start = MoveStart::Pointer;
    int32_t pointer_x = 0; // where the pointer was when the move began, on the screen
    int32_t pointer_y = 0;
    int32_t left = 0; // the window's outer corner then
    int32_t top = 0;
};

// Takes the input events of a move in progress, which the window's program does not see, as a
// Windows program does not see them during its modal move. True when the event was taken.
bool handle_local_move_event(Connection& connection, const xcb_generic_event_t* event);

// Ends the move if it is this window's, e.g. because the window goes away.
void end_local_move(Connection& connection, const Window& window);

} // namespace vexil::backend::x11
