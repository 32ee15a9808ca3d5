// SPDX-License-Identifier: MIT
// The screen and the process-wide queries: screen size, double-click limits, desktop services.
#include "backend/x11/screen.h"
#include "backend/backend.h"

#include "desktop/plain.h"

#include <xcb/xcb.h>

#include <atomic>

namespace vexil::backend::x11 {

namespace {

// Width in the high half, height in the low half; 0 until known. A process without a display
// keeps kNoDisplay, so each query does not try to connect again.
constexpr uint64_t kNoDisplay = UINT64_MAX;
std::atomic<uint64_t> s_screen_size{0};

uint64_t pack(int32_t width, int32_t height)
{
    return (static_cast<uint64_t>(static_cast<uint32_t>(width)) << 32) | static_cast<uint32_t>(height);
}

// A short connection of its own, for a thread that asks before any window exists.
uint64_t query_screen_size()
{
    int screen_number = 0;
    xcb_connection_t* xcb = xcb_connect(nullptr, &screen_number);
    uint64_t size = kNoDisplay;
    if (!xcb_connection_has_error(xcb)) {
        if (const xcb_screen_t* screen = screen_of(xcb_get_setup(xcb), screen_number)) {
            size = pack(screen->width_in_pixels, screen->height_in_pixels);
        }
    }
    xcb_disconnect(xcb);
    return size;
}

} // namespace

const xcb_screen_t* screen_of(const xcb_setup_t* setup, int number)
{
    auto screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < number && screens.rem; ++i) {
        xcb_screen_next(&screens);
    }
    return screens.rem ? screens.data : nullptr;
}

void remember_screen_size(int32_t width, int32_t height)
{
    s_screen_size.store(pack(width, height), std::memory_order_relaxed);
}

} // namespace vexil::backend::x11

namespace vexil::backend {

// 0 x 0 when there is no display at all.
void screen_size(int32_t* width, int32_t* height)
{
    uint64_t size = x11::s_screen_size.load(std::memory_order_relaxed);
    if (size == 0) {
        // Two threads may both ask the server; they store the same answer.
        size = x11::query_screen_size();
        uint64_t unknown = 0;
        x11::s_screen_size.compare_exchange_strong(unknown, size, std::memory_order_relaxed);
    }
    if (size == x11::kNoDisplay) {
        size = 0;
    }
    *width = static_cast<int32_t>(size >> 32);
    *height = static_cast<int32_t>(size & 0xFFFFFFFF);
}

// X has no standard for these; desktops that publish them do so through XSETTINGS, which the
// layer does not read. Windows' defaults serve.
uint32_t double_click_time_ms()
{
    return 500;
}

void double_click_size(int32_t* width, int32_t* height)
{
    *width = 4;
    *height = 4;
}

desktop::Provider& desktop_provider()
{
    // FIXME: message boxes and dialogs of the desktop (GTK) once that provider exists.
    return desktop::plain_provider();
}

} // namespace vexil::backend
