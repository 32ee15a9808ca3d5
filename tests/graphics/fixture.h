// SPDX-License-Identifier: MIT
// What the library's tests share: a window per test, reading pages and the window's pixels,
// catching what a call invalidates, and small pixel pictures.
#pragma once

#include "internal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vexil::graphics::testing {

// Death tests run in a fresh copy of the program, as the window threads make fork() unsafe.
inline const bool kThreadsafeDeathTests = [] {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    return true;
}();

inline constexpr const char* kNoWindowPattern =
    "Error: Drawing operation was attempted when there was no current window\\.";

inline HWND current_hwnd()
{
    return VEXIL__WindowTable[getcurrentwindow()];
}

// Opens a window of the given size for each test and closes every window after it. The close
// box does not end the program, so close requests can be tested.
class WindowTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 150;

    void SetUp() override
    {
        m_index = initwindow(kWidth, kHeight, "Test", 0, 0, false, false);
        ASSERT_GE(m_index, 0);
    }
    void TearDown() override { closegraph(ALL_WINDOWS); }

    int m_index = -1;
};

// The pixels of a page as 0x00RRGGBB, row after row, read past any viewport or clipping.
inline std::vector<uint32_t> page_pixels(int page)
{
    WindowData& window = current_window();
    std::vector<uint32_t> pixels(static_cast<size_t>(window.Width) * window.Height);
    const PageLock lock(window);
    EXPECT_TRUE(lock);
    const HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(lock.page(page), OBJ_BITMAP));
    GetBitmapBits(bitmap, static_cast<LONG>(pixels.size() * sizeof(uint32_t)), pixels.data());
    return pixels;
}

// One pixel of a page as a COLORREF (0x00BBGGRR), in page coordinates.
inline COLORREF page_pixel(int page, int x, int y)
{
    const uint32_t rgb = page_pixels(page)[static_cast<size_t>(y) * current_window().Width + x];
    return RGB(rgb >> 16, rgb >> 8, rgb);
}

inline COLORREF active_pixel(int x, int y)
{
    return page_pixel(getactivepage(), x, y);
}

// A picture of a page's rectangle [left, right) x [top, bottom): '#' where the pixel has the
// colour, '.' elsewhere, one line per row.
inline std::string page_picture(int page, COLORREF colour, int left, int top, int right, int bottom)
{
    const std::vector<uint32_t> pixels = page_pixels(page);
    const int width = current_window().Width;
    std::string picture;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const uint32_t rgb = pixels[static_cast<size_t>(y) * width + x];
            picture += RGB(rgb >> 16, rgb >> 8, rgb) == colour ? '#' : '.';
        }
        picture += '\n';
    }
    return picture;
}

// Waits until the window thread has painted everything invalidated so far: its update region
// is empty while the page lock is held, and painting copies under that lock.
inline void wait_until_painted()
{
    WindowData& window = current_window();
    for (int attempt = 0; attempt < 5000; ++attempt) {
        {
            const PageLock lock(window);
            RECT pending;
            if (!GetUpdateRect(window.hWnd, &pending, FALSE))
                return;
        }
        Sleep(1);
    }
    ADD_FAILURE() << "the window was not painted within 5 seconds";
}

// What the window shows at a client pixel, once painting is done.
inline COLORREF shown_pixel(int x, int y)
{
    wait_until_painted();
    const HDC screen = GetDC(current_hwnd());
    const COLORREF pixel = GetPixel(screen, x, y);
    ReleaseDC(current_hwnd(), screen);
    return pixel;
}

// The update region's bounding box after `call`, starting from an empty region; empty when
// nothing was invalidated. Holding the page lock keeps the window thread from painting meanwhile.
template <typename Call>
RECT invalidated_by(Call&& call)
{
    WindowData& window = current_window();
    const PageLock lock(window);
    EXPECT_TRUE(lock);
    ValidateRect(window.hWnd, nullptr);
    call();
    RECT pending{};
    if (!GetUpdateRect(window.hWnd, &pending, FALSE))
        pending = {};
    return pending;
}

inline RECT whole_window()
{
    const WindowData& window = current_window();
    return {0, 0, window.Width, window.Height};
}

} // namespace vexil::graphics::testing

inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const RECT& rect)
{
    return out << '{' << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << '}';
}
