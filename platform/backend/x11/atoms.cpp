// SPDX-License-Identifier: MIT
// Interning the backend's atoms: all requests first, then all replies, so one round trip.
#include "backend/x11/atoms.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

namespace vexil::backend::x11 {

namespace {

struct AtomName {
    const char* name;
    xcb_atom_t Atoms::*member;
};

constexpr AtomName kAtomNames[] = {
    {"WM_PROTOCOLS", &Atoms::wm_protocols},
    {"WM_DELETE_WINDOW", &Atoms::wm_delete_window},
    {"UTF8_STRING", &Atoms::utf8_string},
    {"_NET_WM_NAME", &Atoms::net_wm_name},
    {"_NET_WM_ICON_NAME", &Atoms::net_wm_icon_name},
    {"_NET_WM_PID", &Atoms::net_wm_pid},
    {"_NET_WM_PING", &Atoms::net_wm_ping},
    {"_NET_WM_WINDOW_TYPE", &Atoms::net_wm_window_type},
    {"_NET_WM_WINDOW_TYPE_NORMAL", &Atoms::net_wm_window_type_normal},
    {"_NET_WM_WINDOW_TYPE_POPUP_MENU", &Atoms::net_wm_window_type_popup_menu},
    {"_NET_WM_MOVERESIZE", &Atoms::net_wm_moveresize},
    {"_NET_SUPPORTED", &Atoms::net_supported},
    {"_NET_SUPPORTING_WM_CHECK", &Atoms::net_supporting_wm_check},
    {"_MOTIF_WM_HINTS", &Atoms::motif_wm_hints},
    {"WM_CHANGE_STATE", &Atoms::wm_change_state},
};

} // namespace

Atoms intern_atoms(xcb_connection_t* connection)
{
    xcb_intern_atom_cookie_t cookies[std::size(kAtomNames)];
    for (size_t i = 0; i < std::size(kAtomNames); ++i) {
        const char* name = kAtomNames[i].name;
        cookies[i] = xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    }
    Atoms atoms;
    for (size_t i = 0; i < std::size(kAtomNames); ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        if (reply) {
            atoms.*kAtomNames[i].member = reply->atom;
            std::free(reply);
        }
    }
    return atoms;
}

} // namespace vexil::backend::x11
