// SPDX-License-Identifier: MIT
// The system menu as a popup window of USER's own, drawn with GDI.
#pragma once

#include <win32/user.h>

namespace vexil::user {

class MessageQueue;

// Opens the window's system menu under the top-left corner of its client area, with the
// first entry highlighted. While it is open it takes all keys and mouse events of the thread:
// the arrow keys move the highlight, Return or a click chooses, Escape, Alt or a click outside
// closes it. Choosing posts WM_SYSCOMMAND with the entry's id to the window.
void open_system_menu(HWND window);
void close_system_menu(MessageQueue& queue);

} // namespace vexil::user
