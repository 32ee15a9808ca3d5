// SPDX-License-Identifier: MIT
// Menu handles, the system menu and the menu calls programs make.
#include "user/menu.h"

#include "user/window.h"

#include <win32/kernel.h>

#include <algorithm>
#include <cstring>

namespace vexil::user {

namespace {

using MenuTable = kernel::HandleTable<Menu, kernel::HandleKind::Menu>;

MenuTable& menu_table()
{
    static MenuTable s_table; // trivially destructible: see handle_table.h
    return s_table;
}

MenuTable::Ref acquire_menu(HMENU handle)
{
    MenuTable::Ref menu = menu_table().acquire(handle);
    if (!menu)
        SetLastError(ERROR_INVALID_MENU_HANDLE);
    return menu;
}

// The entry an id or position names, or null. Called with the menu's lock held.
const MenuEntry* find_entry(const Menu& menu, UINT item, UINT flags)
{
    if ((flags & MF_BYPOSITION) != 0)
        return item < menu.entries.size() ? &menu.entries[item] : nullptr;
    for (const MenuEntry& entry : menu.entries) {
        if (!entry.separator() && entry.id == item)
            return &entry;
    }
    return nullptr;
}

} // namespace

HMENU create_system_menu(DWORD window_style)
{
    HMENU handle = static_cast<HMENU>(menu_table().create());
    if (!handle)
        return nullptr;
    MenuTable::Ref menu = menu_table().acquire(handle);
    try {
        const UINT minimize = (window_style & WS_MINIMIZEBOX) != 0 ? MF_STRING : MF_STRING | MF_GRAYED;
        menu->entries = {{MF_STRING, SC_MOVE, "Move"}, {minimize, SC_MINIMIZE, "Minimize"}, {MF_STRING, SC_CLOSE, "Close"}};
    } catch (...) {
        menu.reset();
        menu_table().destroy(handle);
        return nullptr;
    }
    menu->system_entries = menu->entries.size();
    return handle;
}

void destroy_menu(HMENU menu)
{
    if (menu)
        menu_table().destroy(menu);
}

std::vector<MenuEntry> shown_entries(HMENU handle)
{
    std::vector<MenuEntry> shown;
    MenuTable::Ref menu = menu_table().acquire(handle);
    if (!menu)
        return shown;
    kernel::FutexLockGuard guard(menu->lock);
    try {
        shown = menu->entries;
        const size_t own = menu->system_entries;
        if (shown.size() > own && !shown[own].separator())
            shown.insert(shown.begin() + static_cast<ptrdiff_t>(own), MenuEntry{MF_SEPARATOR, 0, {}});
    } catch (...) {
        shown.clear();
    }
    return shown;
}

} // namespace vexil::user

using namespace vexil;

HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL bRevert)
{
    user::WindowRef window = user::acquire_window(hWnd);
    if (!window || !user::is_owned_by_caller(*window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if ((window->style & WS_SYSMENU) == 0)
        return nullptr;
    if (bRevert) { // back to the window's own entries; Windows returns null here
        user::destroy_menu(window->system_menu);
        window->system_menu = nullptr;
        return nullptr;
    }
    if (!window->system_menu)
        window->system_menu = user::create_system_menu(window->style);
    if (!window->system_menu)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return window->system_menu;
}

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    user::MenuTable::Ref menu = user::acquire_menu(hMenu);
    if (!menu)
        return FALSE;
    constexpr UINT kKnown = MF_SEPARATOR | MF_GRAYED | MF_DISABLED;
    const bool separator = (uFlags & MF_SEPARATOR) != 0;
    if ((uFlags & ~kKnown) != 0 || (!separator && !lpNewItem)) { // submenus, bitmaps, owner-drawn: not built
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    vexil::kernel::FutexLockGuard guard(menu->lock);
    try {
        menu->entries.push_back({uFlags, separator ? 0 : uIDNewItem, separator ? "" : lpNewItem});
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    return TRUE;
}

int WINAPI GetMenuItemCount(HMENU hMenu)
{
    user::MenuTable::Ref menu = user::acquire_menu(hMenu);
    if (!menu)
        return -1;
    vexil::kernel::FutexLockGuard guard(menu->lock);
    return static_cast<int>(menu->entries.size());
}

UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos)
{
    user::MenuTable::Ref menu = user::acquire_menu(hMenu);
    if (!menu)
        return static_cast<UINT>(-1);
    vexil::kernel::FutexLockGuard guard(menu->lock);
    if (nPos < 0 || static_cast<size_t>(nPos) >= menu->entries.size())
        return static_cast<UINT>(-1);
    return static_cast<UINT>(menu->entries[static_cast<size_t>(nPos)].id);
}

UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags)
{
    user::MenuTable::Ref menu = user::acquire_menu(hMenu);
    if (!menu)
        return static_cast<UINT>(-1);
    vexil::kernel::FutexLockGuard guard(menu->lock);
    const user::MenuEntry* entry = user::find_entry(*menu, uId, uFlags);
    return entry ? entry->flags : static_cast<UINT>(-1);
}

int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags)
{
    user::MenuTable::Ref menu = user::acquire_menu(hMenu);
    if (!menu)
        return 0;
    vexil::kernel::FutexLockGuard guard(menu->lock);
    const user::MenuEntry* entry = user::find_entry(*menu, uIDItem, flags);
    if (!entry)
        return 0;
    const int length = static_cast<int>(entry->text.size());
    if (!lpString)
        return length;
    if (cchMax <= 0)
        return 0;
    const int copied = std::min(length, cchMax - 1);
    std::memcpy(lpString, entry->text.data(), static_cast<size_t>(copied));
    lpString[copied] = '\0';
    return copied;
}
