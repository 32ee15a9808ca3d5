// SPDX-License-Identifier: MIT
// Window manager hints written by hand from the ICCCM, EWMH and Motif layouts.
#include "backend/x11/window_properties.h"

#include "backend/x11/connection.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

namespace vexil::backend::x11 {

namespace {

void set_property(xcb_connection_t* xcb, xcb_window_t window, xcb_atom_t property, xcb_atom_t type, uint8_t format,
                  uint32_t count, const void* data)
{
    if (property != XCB_ATOM_NONE && type != XCB_ATOM_NONE) {
        xcb_change_property(xcb, XCB_PROP_MODE_REPLACE, window, property, type, format, count, data);
    }
}

void set_string(xcb_connection_t* xcb, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                const std::string& text)
{
    set_property(xcb, window, property, type, 8, static_cast<uint32_t>(text.size()), text.data());
}

// The ICCCM's STRING properties are Latin-1: UTF-8 is decoded, and characters beyond Latin-1
// (or malformed bytes) become '?'. Window managers that know EWMH read the UTF-8 twin instead.
std::string latin1_from_utf8(const char* text)
{
    std::string out;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; bytes[i] != 0;) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        uint32_t codepoint = length == 1 ? UINT32_MAX : lead & (0x7F >> length);
        size_t taken = 1;
        for (; taken < length && (bytes[i + taken] & 0xC0) == 0x80; ++taken) {
            codepoint = (codepoint << 6) | (bytes[i + taken] & 0x3F);
        }
        out += taken == length && codepoint <= 0xFF ? static_cast<char>(codepoint) : '?';
        i += taken;
    }
    return out;
}

// ICCCM 4.1.2.3 WM_SIZE_HINTS flags.
constexpr uint32_t kUSPosition = 1u << 0;
constexpr uint32_t kPPosition = 1u << 2;
constexpr uint32_t kPMinSize = 1u << 4;
constexpr uint32_t kPMaxSize = 1u << 5;
constexpr uint32_t kPWinGravity = 1u << 9;

// ICCCM 4.1.2.4 WM_HINTS flags and window states.
constexpr uint32_t kInputHint = 1u << 0;
constexpr uint32_t kStateHint = 1u << 1;
constexpr uint32_t kNormalState = 1;

// Motif's _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
constexpr uint32_t kMotifDecorationsFlag = 1u << 1;

void set_size_hints(xcb_connection_t* xcb, xcb_window_t window, const WindowSpec& window_spec)
{
    // The position counts as chosen by the user and the program, so the window manager keeps
    // it; north-west gravity makes it the outer corner of the frame (ICCCM 4.1.2.3). Minimum
    // equal to maximum makes the size fixed.
    uint32_t hints[18] = {};
    hints[0] = kUSPosition | kPPosition | kPMinSize | kPMaxSize | kPWinGravity;
    hints[1] = static_cast<uint32_t>(window_spec.left); // obsolete x, y, width, height, for old managers
    hints[2] = static_cast<uint32_t>(window_spec.top);
    hints[3] = static_cast<uint32_t>(window_spec.width);
    hints[4] = static_cast<uint32_t>(window_spec.height);
    hints[5] = hints[7] = static_cast<uint32_t>(window_spec.width);
    hints[6] = hints[8] = static_cast<uint32_t>(window_spec.height);
    hints[17] = XCB_GRAVITY_NORTH_WEST;
    set_property(xcb, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
}

void set_class_and_machine(xcb_connection_t* xcb, xcb_window_t window)
{
    // WM_CLASS is two null-terminated strings: the program's name, then the application class.
    std::string wm_class = program_invocation_short_name;
    wm_class += '\0';
    wm_class += "Vexil";
    wm_class += '\0';
    set_string(xcb, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wm_class);

    // EWMH asks for WM_CLIENT_MACHINE beside _NET_WM_PID, which names a process of that host.
    char host[HOST_NAME_MAX + 1] = {};
    if (gethostname(host, sizeof(host) - 1) == 0) {
        set_string(xcb, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, host);
    }
}

} // namespace

void set_title_properties(const Connection& connection, xcb_window_t window, const char* utf8_title)
{
    const Atoms& atoms = connection.atoms;
    const std::string utf8 = utf8_title;
    const std::string latin1 = latin1_from_utf8(utf8_title);
    set_string(connection.xcb, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, latin1);
    set_string(connection.xcb, window, XCB_ATOM_WM_ICON_NAME, XCB_ATOM_STRING, latin1);
    set_string(connection.xcb, window, atoms.net_wm_name, atoms.utf8_string, utf8);
    set_string(connection.xcb, window, atoms.net_wm_icon_name, atoms.utf8_string, utf8);
}

void set_window_properties(const Connection& connection, xcb_window_t window, const WindowSpec& window_spec,
                           xcb_window_t owner)
{
    xcb_connection_t* xcb = connection.xcb;
    const Atoms& atoms = connection.atoms;
    set_title_properties(connection, window, window_spec.title);
    set_class_and_machine(xcb, window);
    set_size_hints(xcb, window, window_spec);

    const uint32_t wm_hints[9] = {kInputHint | kStateHint, 1, kNormalState};
    set_property(xcb, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9, wm_hints);

    // ICCCM 4.1.2.7: a close box sends WM_DELETE_WINDOW instead of killing the client; EWMH's
    // ping lets the manager see that the program still answers.
    const xcb_atom_t protocols[] = {atoms.wm_delete_window, atoms.net_wm_ping};
    set_property(xcb, window, atoms.wm_protocols, XCB_ATOM_ATOM, 32, 2, protocols);

    const auto pid = static_cast<uint32_t>(getpid());
    set_property(xcb, window, atoms.net_wm_pid, XCB_ATOM_CARDINAL, 32, 1, &pid);

    const xcb_atom_t type =
        window_spec.kind == WindowKind::Popup ? atoms.net_wm_window_type_popup_menu : atoms.net_wm_window_type_normal;
    set_property(xcb, window, atoms.net_wm_window_type, XCB_ATOM_ATOM, 32, 1, &type);

    if (window_spec.kind != WindowKind::Framed) {
        // No caption, no border: the surface is the whole window and USER draws its frame.
        const uint32_t motif[5] = {kMotifDecorationsFlag, 0, 0, 0, 0};
        set_property(xcb, window, atoms.motif_wm_hints, atoms.motif_wm_hints, 32, 5, motif);
    }
    if (owner != XCB_WINDOW_NONE) {
        set_property(xcb, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1, &owner);
    }
}

} // namespace vexil::backend::x11
