// SPDX-License-Identifier: MIT
// USER's window object, the table of window handles, and what the other USER files ask of it.
#pragma once

#include "backend/backend.h"
#include "kernel/futex_lock.h"
#include "kernel/handle_table.h"
#include "user/frame.h"
#include "user/update_region.h"

#include <win32/user.h>

#include <atomic>
#include <string>
#include <vector>

namespace vexil::user {

class MessageQueue;
struct WindowClass;

/*
 * A window belongs to the thread that made it. The fields above the line are fixed when the
 * window is made and may be read by any thread holding a reference; user_data and the update
 * region are the only state other threads change. The rest is the owner thread's.
 */
struct Window {
    HWND handle = nullptr;
    WindowClass* window_class = nullptr;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    MessageQueue* queue = nullptr;
    uint32_t queue_generation = 0;
    backend::Window* native = nullptr;
    raster::Surface surface; // the native window's pixels
    FrameGeometry frame;
    int32_t client_width = 0; // may be 0; the surface is at least 1 x 1
    int32_t client_height = 0;
    int32_t client_x = 0; // where the client area starts in the surface
    int32_t client_y = 0;
    std::atomic<LONG_PTR> user_data{0};
    UpdateRegion region;
    // ------------------------------------------------------------------------------------
    std::string title;
    HWND owner = nullptr; // for the system-menu popup: the window whose menu it shows
    HMENU system_menu = nullptr;
    std::atomic<bool> visible{false}; // read by GetWindowLongPtrA on any thread
    bool minimized = false;           // as USER last made it
    bool destroying = false;

    kernel::FutexLock dc_lock; // DCs may be taken by any thread
    std::vector<HDC> dcs;      // from GetDC, until ReleaseDC; guarded by dc_lock
    HDC own_dc = nullptr;      // CS_OWNDC classes: the one DC GetDC hands out; guarded by dc_lock
    bool dcs_closed = false;   // the window is being destroyed: no more DCs; guarded by dc_lock
};

using WindowTable = kernel::HandleTable<Window, kernel::HandleKind::Window>;
using WindowRef = WindowTable::Ref;

WindowTable& window_table();

// The window a handle names, or null with ERROR_INVALID_WINDOW_HANDLE set. Only for windows
// the caller owns, or to read the fixed fields: nothing keeps the window alive.
Window* find_window(HWND handle);
// The same for a window that must belong to the calling thread; `other_thread_error` is set
// when it belongs to another one.
Window* find_own_window(HWND handle, DWORD other_thread_error);
// A counted reference, for work on a window of any thread. Empty with the last error set.
WindowRef acquire_window(HWND handle);

bool is_owned_by_caller(const Window& window);

// The client area's pixels, inside the window's surface.
raster::Surface client_surface(const Window& window);

// What kind of native window a new window gets: the one its style calls for, or a menu popup.
enum class NativeKind : uint8_t { FromStyle, Menu };

// Creates a window as CreateWindowExA does. `owner` may be null.
HWND create_window(DWORD ex_style, LPCSTR class_name, LPCSTR title, DWORD style, int x, int y, int width, int height,
                   HWND owner, LPVOID parameter, NativeKind kind);

// Destroys a window when its thread ends: no message reaches its procedure any more.
void destroy_window_silently(HWND handle);

} // namespace vexil::user
