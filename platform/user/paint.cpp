// SPDX-License-Identifier: MIT
// Painting: the update region, BeginPaint and EndPaint, and the DCs of windows and the screen.
#include "gdi/screen.h"
#include "gdi/surface_dc.h"
#include "user/message_queue.h"
#include "user/messages.h"
#include "user/window.h"
#include "user/window_class.h"

#include <win32/kernel.h>

#include <algorithm>

namespace vexil::user {

namespace {

// A RECT in client coordinates cut to the client area; null means all of it.
raster::Box client_box(const Window& window, const RECT* rect)
{
    raster::Box box = {0, 0, window.client_width, window.client_height};
    if (rect) {
        box.left = std::max<int32_t>(box.left, rect->left);
        box.top = std::max<int32_t>(box.top, rect->top);
        box.right = std::min<int32_t>(box.right, rect->right);
        box.bottom = std::min<int32_t>(box.bottom, rect->bottom);
    }
    return box;
}

RECT to_rect(const raster::Box& box)
{
    return RECT{box.left, box.top, box.right, box.bottom};
}

// A DC on the client area, remembered by the window so that it dies with it.
HDC make_window_dc(Window& window)
{
    kernel::FutexLockGuard guard(window.dc_lock);
    if (window.dcs_closed)
        return nullptr;
    HDC dc = gdi::create_surface_dc(client_surface(window));
    if (!dc)
        return nullptr;
    try {
        window.dcs.push_back(dc);
    } catch (...) {
        gdi::destroy_surface_dc(dc);
        return nullptr;
    }
    return dc;
}

bool release_window_dc(Window& window, HDC dc)
{
    kernel::FutexLockGuard guard(window.dc_lock);
    if (dc && dc == window.own_dc)
        return true;
    auto it = std::find(window.dcs.begin(), window.dcs.end(), dc);
    if (it == window.dcs.end())
        return false;
    window.dcs.erase(it);
    gdi::destroy_surface_dc(dc);
    return true;
}

} // namespace

} // namespace vexil::user

using namespace vexil;

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase)
{
    // The hot path of every drawing call: no allocation, no wait, and a system call only
    // when the region stops being empty and the owner thread must be woken. A box the region
    // already covers is found without a reference or a lock: only reads, after which the
    // handle is checked again, so a window destroyed meanwhile is never written to.
    const bool erase = bErase != FALSE;
    if (const user::Window* window = user::window_table().lookup(hWnd)) {
        const raster::Box box = user::client_box(*window, lpRect);
        if (box.empty() || window->region.covers(box, erase)) {
            if (user::window_table().lookup(hWnd) == window)
                return TRUE;
        }
    }
    user::WindowRef window = user::acquire_window(hWnd);
    if (!window)
        return FALSE;
    const raster::Box box = user::client_box(*window, lpRect);
    if (!box.empty() && window->region.add(box, erase))
        window->queue->wake();
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect)
{
    user::WindowRef window = user::acquire_window(hWnd);
    if (!window)
        return FALSE;
    if (lpRect)
        window->region.subtract(user::client_box(*window, lpRect));
    else
        window->region.clear();
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL)
{
    user::WindowRef window = user::acquire_window(hWnd);
    if (!window)
        return FALSE;
    const user::UpdateRegion::Contents contents = window->region.peek();
    if (lpRect)
        *lpRect = user::to_rect(contents.bounds());
    return contents.count != 0;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint)
{
    user::Window* window = user::find_own_window(hWnd, ERROR_WINDOW_OF_OTHER_THREAD);
    if (!window)
        return nullptr;
    if (!lpPaint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const user::UpdateRegion::Contents contents = window->region.take();
    HDC dc = user::make_window_dc(*window);
    if (!dc) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    RECT clip[user::UpdateRegion::kMaxBoxes] = {};
    for (int i = 0; i < contents.count; ++i)
        clip[i] = user::to_rect(contents.boxes[i]);
    // An empty region clips everything away: one empty rectangle, not "no limit".
    gdi::set_surface_dc_clip(dc, clip, std::max(contents.count, 1));
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = dc;
    lpPaint->rcPaint = user::to_rect(contents.bounds());
    if (contents.erase)
        lpPaint->fErase = user::call_procedure(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
    return dc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint)
{
    user::Window* window = user::find_own_window(hWnd, ERROR_WINDOW_OF_OTHER_THREAD);
    if (!window)
        return FALSE;
    if (!lpPaint || !user::release_window_dc(*window, lpPaint->hdc)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const RECT& painted = lpPaint->rcPaint;
    raster::Box box = {painted.left + window->client_x, painted.top + window->client_y,
                       painted.right + window->client_x, painted.bottom + window->client_y};
    box.left = std::max(box.left, window->client_x);
    box.top = std::max(box.top, window->client_y);
    box.right = std::min(box.right, window->client_x + window->client_width);
    box.bottom = std::min(box.bottom, window->client_y + window->client_height);
    if (!box.empty() && window->visible)
        backend::present(window->native, box);
    return TRUE;
}

HDC WINAPI GetDC(HWND hWnd)
{
    if (!hWnd) {
        int32_t width = 0;
        int32_t height = 0;
        backend::screen_size(&width, &height);
        gdi::set_screen_size(width, height);
        return gdi::screen_dc();
    }
    user::WindowRef window = user::acquire_window(hWnd);
    if (!window)
        return nullptr;
    if ((window->window_class->style & CS_OWNDC) != 0) {
        kernel::FutexLockGuard guard(window->dc_lock);
        if (!window->own_dc && !window->dcs_closed)
            window->own_dc = gdi::create_surface_dc(user::client_surface(*window));
        return window->own_dc;
    }
    HDC dc = user::make_window_dc(*window);
    if (!dc)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return dc;
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC)
{
    if (!hWnd)
        return hDC && hDC == gdi::screen_dc() ? 1 : 0;
    user::WindowRef window = user::acquire_window(hWnd);
    if (!window)
        return 0;
    return user::release_window_dc(*window, hDC) ? 1 : 0;
}
