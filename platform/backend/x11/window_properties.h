// SPDX-License-Identifier: MIT
// The ICCCM, EWMH and Motif properties that tell the window manager what a window is.
#pragma once

#include "backend/backend.h"

#include <xcb/xcb.h>

namespace vexil::backend::x11 {

// Everything a new window announces before it is first mapped: title, class, fixed size and
// program-chosen position, protocols, process id, window type, decorations, owner.
void set_window_properties(const Connection& connection, xcb_window_t window, const WindowSpec& window_spec,
                           xcb_window_t owner);

// WM_NAME, WM_ICON_NAME and their EWMH UTF-8 twins.
void set_title_properties(const Connection& connection, xcb_window_t window, const char* utf8_title);

} // namespace vexil::backend::x11
