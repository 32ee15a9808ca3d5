// SPDX-License-Identifier: MIT
// The system-menu popup: layout, painting, and the keys and clicks that drive it.
#include "user/system_menu_popup.h"

#include "user/message_queue.h"
#include "user/window.h"
#include "user/window_class.h"

#include <win32/gdi.h>

#include <algorithm>

namespace vexil::user {

namespace {

constexpr char kMenuClass[] = "#32768"; // the name Windows gives its menu class
constexpr int32_t kBorder = 1;
constexpr int32_t kItemPadding = 4;   // above and below an entry's text
constexpr int32_t kSeparatorHeight = 9;
constexpr int32_t kTextLeft = 24;     // room on the left, where Windows puts check marks
constexpr int32_t kTextRight = 24;
constexpr int32_t kMinWidth = 120;

constexpr COLORREF kBackground = RGB(0xF0, 0xF0, 0xF0);
constexpr COLORREF kFrame = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kSeparator = RGB(0xA0, 0xA0, 0xA0);
constexpr COLORREF kHighlight = RGB(0x00, 0x78, 0xD7);
constexpr COLORREF kText = RGB(0x00, 0x00, 0x00);
constexpr COLORREF kHighlightText = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kGrayText = RGB(0x6D, 0x6D, 0x6D);

MenuTracking* tracking_of(HWND popup)
{
    MessageQueue* queue = MessageQueue::existing();
    if (!queue || queue->owner().menu_popup != popup)
        return nullptr;
    return &queue->owner().menu;
}

int entry_at(const MenuTracking& menu, int32_t x, int32_t y, int32_t width)
{
    if (x < 0 || x >= width)
        return -1;
    for (size_t i = 0; i < menu.entries.size(); ++i) {
        if (y >= menu.tops[i] && y < menu.tops[i + 1])
            return menu.entries[i].separator() ? -1 : static_cast<int>(i);
    }
    return -1;
}

void fill(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, COLORREF colour)
{
    const RECT box = {left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &box, brush);
    DeleteObject(brush);
}

void paint(HWND popup, const MenuTracking& menu)
{
    PAINTSTRUCT paint_struct;
    HDC dc = BeginPaint(popup, &paint_struct);
    if (!dc)
        return;
    RECT client;
    GetClientRect(popup, &client);
    fill(dc, 0, 0, client.right, client.bottom, kFrame);
    fill(dc, kBorder, kBorder, client.right - kBorder, client.bottom - kBorder, kBackground);
    HGDIOBJ old_font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < menu.entries.size(); ++i) {
        const MenuEntry& entry = menu.entries[i];
        const int32_t top = menu.tops[i];
        const int32_t bottom = menu.tops[i + 1];
        if (entry.separator()) {
            const int32_t middle = (top + bottom) / 2;
            fill(dc, kBorder + 1, middle, client.right - kBorder - 1, middle + 1, kSeparator);
            continue;
        }
        const bool highlighted = static_cast<int>(i) == menu.highlighted;
        if (highlighted)
            fill(dc, kBorder, top, client.right - kBorder, bottom, kHighlight);
        SetTextColor(dc, !entry.enabled() ? kGrayText : highlighted ? kHighlightText : kText);
        TextOutA(dc, kTextLeft, top + kItemPadding, entry.text.c_str(), static_cast<int>(entry.text.size()));
    }
    SelectObject(dc, old_font);
    EndPaint(popup, &paint_struct);
}

void set_highlight(HWND popup, MenuTracking& menu, int entry)
{
    if (entry == menu.highlighted)
        return;
    menu.highlighted = entry;
    InvalidateRect(popup, nullptr, FALSE);
}

// The next entry that is not a separator, going down (+1) or up (-1) and wrapping around.
int step(const MenuTracking& menu, int from, int direction)
{
    const int count = static_cast<int>(menu.entries.size());
    int index = from;
    for (int tries = 0; tries < count; ++tries) {
        index = (index + direction + count) % count;
        if (!menu.entries[static_cast<size_t>(index)].separator())
            return index;
    }
    return from;
}

void choose(int entry, MenuTracking& menu)
{
    if (entry < 0 || !menu.entries[static_cast<size_t>(entry)].enabled())
        return;
    const HWND owner = menu.owner;
    const UINT_PTR id = menu.entries[static_cast<size_t>(entry)].id;
    close_system_menu(*MessageQueue::existing());
    PostMessageA(owner, WM_SYSCOMMAND, id, 0);
}

LRESULT CALLBACK popup_procedure(HWND popup, UINT message, WPARAM wparam, LPARAM lparam)
{
    MenuTracking* menu = tracking_of(popup);
    if (!menu)
        return DefWindowProcA(popup, message, wparam, lparam);
    RECT client;
    GetClientRect(popup, &client);
    const int32_t x = GET_X_LPARAM(lparam);
    const int32_t y = GET_Y_LPARAM(lparam);
    const bool inside = x >= 0 && y >= 0 && x < client.right && y < client.bottom;
    switch (message) {
    case WM_PAINT:
        paint(popup, *menu);
        return 0;
    case WM_MOUSEMOVE:
        set_highlight(popup, *menu, entry_at(*menu, x, y, client.right));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (!inside)
            close_system_menu(*MessageQueue::existing());
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        choose(entry_at(*menu, x, y, client.right), *menu);
        return 0;
    case WM_KEYDOWN:
        switch (wparam) {
        case VK_DOWN:
            set_highlight(popup, *menu, step(*menu, menu->highlighted, +1));
            break;
        case VK_UP:
            set_highlight(popup, *menu, step(*menu, menu->highlighted < 0 ? 0 : menu->highlighted, -1));
            break;
        case VK_RETURN:
            choose(menu->highlighted, *menu);
            break;
        case VK_ESCAPE:
            close_system_menu(*MessageQueue::existing());
            break;
        default:
            break;
        }
        return 0;
    case WM_SYSKEYDOWN:
        if (wparam == VK_MENU || wparam == VK_F10) // Alt or F10 again leaves the menu, as on Windows
            close_system_menu(*MessageQueue::existing());
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
        return 0;
    default:
        return DefWindowProcA(popup, message, wparam, lparam);
    }
}

bool register_menu_class()
{
    WNDCLASSEXA description = {};
    description.cbSize = sizeof description;
    description.style = CS_SAVEBITS;
    description.lpfnWndProc = popup_procedure;
    description.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    description.lpszClassName = kMenuClass;
    return register_system_class(description);
}

// Lays the entries out from the top; returns the popup's size.
SIZE lay_out(MenuTracking& menu)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old_font = dc ? SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT)) : nullptr;
    TEXTMETRICA metrics = {};
    if (!dc || !GetTextMetricsA(dc, &metrics))
        metrics.tmHeight = 16;
    int32_t width = kMinWidth;
    int32_t top = kBorder + 2;
    menu.tops.clear();
    for (const MenuEntry& entry : menu.entries) {
        menu.tops.push_back(top);
        if (entry.separator()) {
            top += kSeparatorHeight;
            continue;
        }
        SIZE extent = {0, 0};
        if (dc)
            GetTextExtentPoint32A(dc, entry.text.c_str(), static_cast<int>(entry.text.size()), &extent);
        width = std::max(width, kTextLeft + extent.cx + kTextRight);
        top += metrics.tmHeight + 2 * kItemPadding;
    }
    menu.tops.push_back(top);
    if (dc) {
        SelectObject(dc, old_font);
        DeleteDC(dc);
    }
    return SIZE{width, top + 2 + kBorder};
}

} // namespace

void open_system_menu(HWND window)
{
    MessageQueue* queue = MessageQueue::existing();
    Window* owner = window_table().lookup(window);
    if (!queue || !owner || owner->queue != queue || queue->owner().menu_popup)
        return;
    HMENU system_menu = GetSystemMenu(window, FALSE);
    if (!system_menu || !register_menu_class())
        return;
    MenuTracking menu;
    try {
        menu.owner = window;
        menu.entries = shown_entries(system_menu);
        if (menu.entries.empty())
            return;
        const SIZE size = lay_out(menu);
        int32_t x = 0;
        int32_t y = 0;
        backend::surface_origin(owner->native, &x, &y);
        x += owner->client_x;
        y += owner->client_y;
        menu.highlighted = step(menu, static_cast<int>(menu.entries.size()) - 1, +1);
        HWND popup = create_window(0, kMenuClass, "", WS_POPUP, x, y, size.cx, size.cy, window, nullptr,
                                   NativeKind::Menu);
        if (!popup)
            return;
        queue->owner().menu = std::move(menu);
        queue->owner().menu_popup = popup;
        ShowWindow(popup, SW_SHOWNOACTIVATE);
        UpdateWindow(popup);
    } catch (...) {
        // NOTE: without memory for its entries the menu does not open.
    }
}

void close_system_menu(MessageQueue& queue)
{
    OwnerState& owner = queue.owner();
    if (HWND popup = owner.menu_popup) {
        owner.menu_popup = nullptr;
        owner.menu = MenuTracking{};
        DestroyWindow(popup);
    }
}

} // namespace vexil::user
