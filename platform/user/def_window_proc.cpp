// SPDX-License-Identifier: MIT
// Default processing of messages: what a window does with the messages its procedure passes on.
#include "user/message_queue.h"
#include "user/messages.h"
#include "user/system_menu_popup.h"
#include "user/window.h"
#include "user/window_class.h"

#include <win32/kernel.h>

namespace vexil::user {

namespace {

// The default hit test: the client area, then the caption band (Framed windows whose desktop
// passes such points on), then the frame; outside the window, nowhere.
LRESULT hit_test(const Window& window, LPARAM lparam)
{
    int32_t origin_x = 0;
    int32_t origin_y = 0;
    backend::surface_origin(window.native, &origin_x, &origin_y);
    const int32_t x = GET_X_LPARAM(lparam) - origin_x - window.client_x;
    const int32_t y = GET_Y_LPARAM(lparam) - origin_y - window.client_y;
    if (x >= 0 && y >= 0 && x < window.client_width && y < window.client_height)
        return HTCLIENT;
    const FrameGeometry& frame = window.frame;
    if (x < -frame.left || y < -frame.top || x >= window.client_width + frame.right ||
        y >= window.client_height + frame.bottom)
        return HTNOWHERE;
    const int32_t caption_top = frame.top > frame.left ? -frame.top + frame.left : 0;
    if (y >= caption_top && y < 0 && x >= 0 && x < window.client_width)
        return HTCAPTION;
    return HTBORDER; // a fixed frame: no sizing edges
}

LRESULT system_command(HWND handle, Window& window, WPARAM wparam, LPARAM lparam)
{
    // The low four bits of a system command belong to the system (SC_MOVE | HTCAPTION is a
    // move with the mouse on the caption).
    switch (wparam & 0xFFF0) {
    case SC_CLOSE:
        call_procedure(handle, WM_CLOSE, 0, 0);
        break;
    case SC_MOVE:
        backend::begin_move(window.native,
                            (wparam & 0xF) == HTCAPTION ? backend::MoveStart::Pointer : backend::MoveStart::Keyboard,
                            GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
        break;
    case SC_MINIMIZE:
        ShowWindow(handle, SW_MINIMIZE);
        break;
    case SC_RESTORE:
        ShowWindow(handle, SW_RESTORE);
        break;
    case SC_KEYMENU:
        if (lparam == ' ') // Alt+Space: the system menu; other letters would pick from a menu bar
            open_system_menu(handle);
        break;
    default:
        break;
    }
    return 0;
}

bool shift_held()
{
    MessageQueue* queue = MessageQueue::existing();
    return queue && (queue->owner().modifiers & backend::kModifierShift) != 0;
}

LRESULT erase_background(const Window& window, HDC dc)
{
    HBRUSH brush = window.window_class->background;
    if (!brush || !dc)
        return 0;
    const RECT client = {0, 0, window.client_width, window.client_height};
    FillRect(dc, &client, brush); // the paint DC clips it to the update region
    return 1;
}

} // namespace

} // namespace vexil::user

using namespace vexil;

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    user::Window* window = user::find_own_window(hWnd, ERROR_WINDOW_OF_OTHER_THREAD);
    if (!window)
        return 0;
    switch (Msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (BeginPaint(hWnd, &paint))
            EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return user::erase_background(*window, reinterpret_cast<HDC>(wParam));
    case WM_NCHITTEST:
        return user::hit_test(*window, lParam);
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && window->window_class->cursor) {
            SetCursor(window->window_class->cursor);
            return TRUE;
        }
        if (LOWORD(lParam) != HTCLIENT) {
            SetCursor(LoadCursorA(nullptr, IDC_ARROW));
            return TRUE;
        }
        return FALSE;
    case WM_NCLBUTTONDOWN:
        if (wParam == HTCAPTION)
            return SendMessageA(hWnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
        return 0;
    case WM_SYSCOMMAND:
        return user::system_command(hWnd, *window, wParam, lParam);
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & (1 << 29)) != 0) // Alt+F4
            return SendMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (wParam == VK_F10 && user::shift_held()) // Shift+F10, the keyboard's context-menu key
            return SendMessageA(hWnd, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_APPS) // the Menu key
            return SendMessageA(hWnd, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        return 0;
    case WM_SYSCHAR:
        if (wParam == ' ' && (lParam & (1 << 29)) != 0) // Alt+Space
            return SendMessageA(hWnd, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        return 0;
    default:
        return 0;
    }
}
