// SPDX-License-Identifier: MIT
// The pointer shapes windows show, made from the X cursor font.
#pragma once

#include "backend/backend.h"

#include <xcb/xcb.h>

namespace vexil::backend::x11 {

struct Cursors {
    xcb_cursor_t arrow = XCB_CURSOR_NONE;
    xcb_cursor_t wait = XCB_CURSOR_NONE;

    xcb_cursor_t of(Cursor cursor) const { return cursor == Cursor::Wait ? wait : arrow; }
};

Cursors create_cursors(xcb_connection_t* connection);
void free_cursors(xcb_connection_t* connection, const Cursors& cursors);

} // namespace vexil::backend::x11
