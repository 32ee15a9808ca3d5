// SPDX-License-Identifier: MIT
// The X11 backend's connection: one xcb connection per GUI thread and what it learnt at opening.
#pragma once

#include "backend/backend.h"
#include "backend/x11/atoms.h"
#include "backend/x11/cursors.h"
#include "backend/x11/keyboard.h"
#include "backend/x11/local_move.h"

#include <xcb/xcb.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexil::backend {

struct Connection {
    xcb_connection_t* xcb = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
    int32_t screen_width = 0;
    int32_t screen_height = 0;
    // Windows use a 24-bit TrueColor visual whose pixels are 32-bit 0x00RRGGBB words, so the
    // surfaces go to the server unconverted. The colormap is the screen's when the visual is
    // the root's, else one made for it.
    xcb_visualid_t visual = 0;
    xcb_colormap_t colormap = XCB_COLORMAP_NONE;
    bool own_colormap = false;
    xcb_gcontext_t gc = 0;
    x11::Atoms atoms;
    x11::Keyboard keyboard;
    x11::Cursors cursors;
    // MIT-SHM works for this connection. Cleared when attaching a segment fails, as it does on a
    // display of another machine that still announces the extension.
    bool shm_usable = false;
    uint32_t max_request_bytes = 0;
    // poll() waits on one descriptor: an epoll set of the xcb socket and `wake_fd`, an eventfd
    // written when a reply wait may have left events in xcb's queue, where the socket no longer
    // shows them.
    int epoll_fd = -1;
    int wake_fd = -1;
    bool lost = false; // the server went away; nothing more is read
    std::vector<Window*> windows;
    // An event read while looking for the press that completes an auto-repeat, kept for the next
    // turn of the pump.
    xcb_generic_event_t* held_event = nullptr;
    x11::LocalMove move;
};

} // namespace vexil::backend

namespace vexil::backend::x11 {

// The window of ours with this id, or null (a destroyed one, or another client's).
Window* find_window(const Connection& connection, xcb_window_t id);

// Called after waiting for a reply outside pump(): events read meanwhile sit in xcb's queue,
// so the event descriptor is made readable until pump() has run.
void wake_pump(const Connection& connection);

// Sends an event to the root window for the window manager (ICCCM 4.1.4, EWMH client messages).
void send_to_root(const Connection& connection, const void* event, size_t size);
void send_client_message_to_root(const Connection& connection, xcb_window_t window, xcb_atom_t type,
                                 const uint32_t (&data)[5]);

} // namespace vexil::backend::x11
