// SPDX-License-Identifier: MIT
// Making and destroying windows, showing them, and the values they keep.
#include "user/window.h"

#include "gdi/surface_dc.h"
#include "user/menu.h"
#include "user/message_queue.h"
#include "user/messages.h"
#include "user/window_class.h"
#include "user/windows1252.h"

#include <win32/kernel.h>

#include <algorithm>

namespace vexil::user {

namespace {

// Where Windows would cascade a window given CW_USEDEFAULT; one fixed spot is enough here.
constexpr int kDefaultPosition = 64;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
// The largest side of a window's pixels. Windows clamps larger windows to the screen; here a
// window that big could not be shown (X servers stop at 32767) and would only exhaust memory
// for pixels nobody sees, so making one fails.
constexpr int kMaxSide = 16384;

enum class Notify : uint8_t { Procedure, Nobody };

void destroy(HWND handle, Notify notify)
{
    Window* window = window_table().lookup(handle);
    if (!window || window->destroying)
        return;
    window->destroying = true;
    OwnerState& owner = window->queue->owner();
    if (owner.menu_popup && owner.menu_popup != handle) {
        Window* popup = window_table().lookup(owner.menu_popup);
        if (popup && popup->owner == handle)
            destroy(owner.menu_popup, notify);
    }
    if (notify == Notify::Procedure) {
        call_procedure(handle, WM_DESTROY, 0, 0);
        call_procedure(handle, WM_NCDESTROY, 0, 0);
    }
    {
        kernel::FutexLockGuard guard(window->dc_lock);
        window->dcs_closed = true;
        for (HDC dc : window->dcs)
            gdi::destroy_surface_dc(dc);
        window->dcs.clear();
        if (window->own_dc)
            gdi::destroy_surface_dc(window->own_dc);
        window->own_dc = nullptr;
    }
    backend::destroy_window(window->native);
    destroy_menu(window->system_menu);
    std::erase(owner.windows, handle);
    if (owner.menu_popup == handle) {
        owner.menu_popup = nullptr;
        owner.menu = MenuTracking{};
    }
    if (owner.mouse_window == handle)
        owner.mouse_window = nullptr;
    if (owner.last_click.window == handle)
        owner.last_click = ClickRecord{};
    release_class(window->window_class);
    window_table().destroy(handle);
}

bool shows_minimized(int command)
{
    return command == SW_MINIMIZE || command == SW_SHOWMINIMIZED || command == SW_SHOWMINNOACTIVE;
}

} // namespace

WindowTable& window_table()
{
    static WindowTable s_table; // trivially destructible: see handle_table.h
    return s_table;
}

Window* find_window(HWND handle)
{
    Window* window = window_table().lookup(handle);
    if (!window)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

Window* find_own_window(HWND handle, DWORD other_thread_error)
{
    Window* window = find_window(handle);
    if (window && !is_owned_by_caller(*window)) {
        SetLastError(other_thread_error);
        return nullptr;
    }
    return window;
}

WindowRef acquire_window(HWND handle)
{
    WindowRef ref = window_table().acquire(handle);
    if (!ref)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return ref;
}

bool is_owned_by_caller(const Window& window)
{
    return window.queue == MessageQueue::existing();
}

raster::Surface client_surface(const Window& window)
{
    raster::Surface surface = window.surface;
    surface.pixels = surface.row(window.client_y) + window.client_x;
    surface.width = window.client_width;
    surface.height = window.client_height;
    return surface;
}

HWND create_window(DWORD ex_style, LPCSTR class_name, LPCSTR title, DWORD style, int x, int y, int width, int height,
                   HWND owner, LPVOID parameter, NativeKind kind)
{
    if ((style & WS_CHILD) != 0) { // only top-level windows are built
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    Window* owner_window = owner ? find_window(owner) : nullptr;
    if (owner && !owner_window)
        return nullptr;
    MessageQueue* queue = MessageQueue::current();
    if (!queue) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    backend::Connection* connection = queue->connection();
    if (!connection) {
        SetLastError(ERROR_NOT_SUPPORTED); // no display to show windows on
        return nullptr;
    }
    WindowClass* window_class = use_class(class_name);
    if (!window_class)
        return nullptr;

    if (x == CW_USEDEFAULT)
        x = y = kDefaultPosition;
    if (width == CW_USEDEFAULT) {
        width = kDefaultWidth;
        height = kDefaultHeight;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width > kMaxSide || height > kMaxSide) {
        release_class(window_class);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    FrameGeometry frame = frame_for_style(style);
    if (kind == NativeKind::Menu)
        frame = FrameGeometry{backend::WindowKind::Popup, 0, 0, 0, 0};

    void* handle_value = window_table().create();
    if (!handle_value) {
        release_class(window_class);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HWND handle = static_cast<HWND>(handle_value);
    Window* window = window_table().lookup(handle);
    window->handle = handle;
    window->window_class = window_class;
    window->procedure = window_class->procedure;
    window->style = style & ~WS_VISIBLE;
    window->ex_style = ex_style;
    window->queue = queue;
    window->queue_generation = queue->generation();
    window->frame = frame;
    window->client_width = std::max(0, width - frame.left - frame.right);
    window->client_height = std::max(0, height - frame.top - frame.bottom);
    const bool framed = frame.kind == backend::WindowKind::Framed;
    window->client_x = framed ? 0 : frame.left;
    window->client_y = framed ? 0 : frame.top;
    window->owner = owner;

    backend::WindowSpec window_spec;
    std::string utf8_title;
    try {
        window->title = title ? title : "";
        utf8_title = utf8_from_windows1252(window->title);
        queue->owner().windows.push_back(handle);
    } catch (...) {
        release_class(window_class);
        window_table().destroy(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    window_spec.title = utf8_title.c_str();
    window_spec.left = x;
    window_spec.top = y;
    window_spec.width = std::max(1, framed ? window->client_width : width);
    window_spec.height = std::max(1, framed ? window->client_height : height);
    window_spec.kind = frame.kind;
    window_spec.owner = owner_window && owner_window->queue == queue ? owner_window->native : nullptr;
    window_spec.cookie = handle;
    window->native = backend::create_window(connection, window_spec);
    if (!window->native) {
        std::erase(queue->owner().windows, handle);
        release_class(window_class);
        window_table().destroy(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    window->surface = backend::surface(window->native);
    if (frame.kind == backend::WindowKind::Bare)
        draw_frame(window->surface, frame);

    CREATESTRUCTA create = {parameter, window_class->instance,   nullptr, owner,      height,  width, y,
                            x,         static_cast<LONG>(style), title,   class_name, ex_style};
    const LPARAM create_param = reinterpret_cast<LPARAM>(&create);
    if (!call_procedure(handle, WM_NCCREATE, 0, create_param) ||
        call_procedure(handle, WM_CREATE, 0, create_param) == -1) {
        destroy(handle, Notify::Procedure);
        return nullptr;
    }
    if (!window_table().lookup(handle)) // the procedure destroyed it
        return nullptr;
    if ((style & WS_VISIBLE) != 0)
        ShowWindow(handle, SW_SHOW);
    return handle;
}

void destroy_window_silently(HWND handle)
{
    destroy(handle, Notify::Nobody);
}

} // namespace vexil::user

using namespace vexil;

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU, HINSTANCE, LPVOID lpParam)
{
    return user::create_window(dwExStyle, lpClassName, lpWindowName, dwStyle, X, Y, nWidth, nHeight, hWndParent,
                               lpParam, user::NativeKind::FromStyle);
}

BOOL WINAPI DestroyWindow(HWND hWnd)
{
    if (!user::find_own_window(hWnd, ERROR_ACCESS_DENIED))
        return FALSE;
    user::destroy(hWnd, user::Notify::Procedure);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd)
{
    return user::window_table().lookup(hWnd) != nullptr;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow)
{
    user::Window* window = user::find_own_window(hWnd, ERROR_ACCESS_DENIED);
    if (!window)
        return FALSE;
    const bool was_visible = window->visible;
    if (nCmdShow == SW_HIDE) {
        if (was_visible) {
            user::call_procedure(hWnd, WM_SHOWWINDOW, FALSE, 0);
            if ((window = user::window_table().lookup(hWnd))) {
                backend::show_window(window->native, backend::Visibility::Hidden);
                window->visible = false;
            }
        }
        return was_visible;
    }
    if (!was_visible) {
        user::call_procedure(hWnd, WM_SHOWWINDOW, TRUE, 0);
        if (!(window = user::window_table().lookup(hWnd)))
            return FALSE;
        window->visible = true;
        backend::show_window(window->native, backend::Visibility::Shown);
        backend::present(window->native, {0, 0, window->surface.width, window->surface.height});
        InvalidateRect(hWnd, nullptr, TRUE);
    }
    if (user::shows_minimized(nCmdShow)) {
        backend::minimize_window(window->native);
        window->minimized = true;
    } else if (window->minimized && was_visible) {
        // Showing a minimised window again restores it (ICCCM 4.1.4: mapping leaves the icon).
        backend::show_window(window->native, backend::Visibility::Shown);
        window->minimized = false;
    }
    return was_visible;
}

BOOL WINAPI UpdateWindow(HWND hWnd)
{
    user::Window* window = user::find_own_window(hWnd, ERROR_ACCESS_DENIED);
    if (!window)
        return FALSE;
    // Windows paints at once here, past the queue.
    if (window->visible && !window->region.empty())
        user::call_procedure(hWnd, WM_PAINT, 0, 0);
    return TRUE;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    user::WindowRef window = user::acquire_window(hWnd);
    if (!window)
        return 0;
    if (nIndex != GWLP_USERDATA) { // the one value programs change here
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return window->user_data.exchange(dwNewLong);
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex)
{
    user::WindowRef window = user::acquire_window(hWnd);
    if (!window)
        return 0;
    switch (nIndex) {
    case GWLP_USERDATA:
        return window->user_data.load();
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window->procedure);
    case GWL_STYLE:
        return static_cast<LONG_PTR>(window->style | (window->visible ? WS_VISIBLE : 0));
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(window->ex_style);
    default:
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect)
{
    user::WindowRef window = user::acquire_window(hWnd);
    if (!window)
        return FALSE;
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpRect = RECT{0, 0, window->client_width, window->client_height};
    return TRUE;
}
