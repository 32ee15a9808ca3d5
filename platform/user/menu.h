// SPDX-License-Identifier: MIT
// Menus: the system menu of a window, with the entries the program appends to it.
#pragma once

#include "kernel/futex_lock.h"
#include "kernel/handle_table.h"

#include <win32/user.h>

#include <string>
#include <vector>

namespace vexil::user {

struct MenuEntry {
    UINT flags = MF_STRING; // MF_STRING or MF_SEPARATOR, with MF_GRAYED or MF_DISABLED
    UINT_PTR id = 0;
    std::string text;

    bool separator() const { return (flags & MF_SEPARATOR) != 0; }
    bool enabled() const { return !separator() && (flags & (MF_GRAYED | MF_DISABLED)) == 0; }
};

struct Menu {
    kernel::FutexLock lock; // AppendMenuA may come from any thread
    std::vector<MenuEntry> entries;
    size_t system_entries = 0; // the window's own entries, before the appended ones
};

// A window's system menu with its own entries: Move, Minimize (greyed without a minimise
// box) and Close. Null when no memory can be had.
HMENU create_system_menu(DWORD window_style);
void destroy_menu(HMENU menu);

// The entries a menu shows, in order: a separator parts the window's own entries from the
// appended ones unless the program began its entries with one.
std::vector<MenuEntry> shown_entries(HMENU menu);

} // namespace vexil::user
