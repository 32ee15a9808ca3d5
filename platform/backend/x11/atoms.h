// SPDX-License-Identifier: MIT
// The X atoms the backend names, interned together when a connection opens.
#pragma once

#include <xcb/xcb.h>

namespace vexil::backend::x11 {

struct Atoms {
    xcb_atom_t wm_protocols = XCB_ATOM_NONE;
    xcb_atom_t wm_delete_window = XCB_ATOM_NONE;
    xcb_atom_t utf8_string = XCB_ATOM_NONE;
    xcb_atom_t net_wm_name = XCB_ATOM_NONE;
    xcb_atom_t net_wm_icon_name = XCB_ATOM_NONE;
    xcb_atom_t net_wm_pid = XCB_ATOM_NONE;
    xcb_atom_t net_wm_ping = XCB_ATOM_NONE;
    xcb_atom_t net_wm_window_type = XCB_ATOM_NONE;
    xcb_atom_t net_wm_window_type_normal = XCB_ATOM_NONE;
    xcb_atom_t net_wm_window_type_popup_menu = XCB_ATOM_NONE;
    xcb_atom_t net_wm_moveresize = XCB_ATOM_NONE;
    xcb_atom_t net_supported = XCB_ATOM_NONE;
    xcb_atom_t net_supporting_wm_check = XCB_ATOM_NONE;
    xcb_atom_t motif_wm_hints = XCB_ATOM_NONE;
    xcb_atom_t wm_change_state = XCB_ATOM_NONE;
};

// Interns every atom with one round trip. An atom the server refuses stays XCB_ATOM_NONE, and
// the properties that need it are then left out.
Atoms intern_atoms(xcb_connection_t* connection);

} // namespace vexil::backend::x11
