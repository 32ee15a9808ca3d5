// SPDX-License-Identifier: MIT
// The X11 backend's window: the X window, its surface and what the pump keeps about it.
#pragma once

#include "backend/backend.h"
#include "backend/x11/surface_image.h"

#include <xcb/xcb.h>

#include <cstdint>

namespace vexil::backend {

struct Window {
    Connection* connection = nullptr;
    xcb_window_t id = XCB_WINDOW_NONE;
    WindowKind kind = WindowKind::Framed;
    Window* owner = nullptr;
    void* cookie = nullptr;
    x11::SurfaceImage image;
    // The outer corner last asked for, as move_window takes it.
    int32_t left = 0;
    int32_t top = 0;
    // Screen position of the surface's pixel (0, 0), from the configure events.
    int32_t origin_x = 0;
    int32_t origin_y = 0;
    bool reparented = false; // a window manager framed it: configure events are parent-relative
    // The request of our last move_window, while the server has not yet reported a configure
    // made after it: older reports describe positions the window has already left.
    uint32_t move_sequence = 0;
    bool move_pending = false;
    bool grabbing = false; // a shown Popup holding the pointer and keyboard grabs
};

} // namespace vexil::backend
