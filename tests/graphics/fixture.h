// SPDX-License-Identifier: MIT
// What the library's tests share: a window per test, reading pages and the window's pixels,
// catching what a call invalidates, and small pixel pictures.
#pragma once

#include "internal.h"

#include "backend/headless/control.h"
#include "user/idle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexil::graphics::testing {

// Death tests run in a fresh copy of the program, as the window threads make fork() unsafe.
// Called first in each test that has death tests.
inline void use_threadsafe_death_tests()
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
}

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

// Waits until the window thread has handled everything, painting included.
inline void wait_until_painted()
{
    EXPECT_TRUE(user::wait_until_idle(current_hwnd(), 5000));
}

// What the window shows at a client pixel, once painting is done, as a COLORREF.
inline COLORREF shown_pixel(int x, int y)
{
    wait_until_painted();
    const std::optional<backend::headless::Image> image = backend::headless::shown_image(current_hwnd());
    if (!image || x < 0 || y < 0 || x >= image->width || y >= image->height) {
        ADD_FAILURE() << "the window shows no pixel (" << x << ", " << y << ")";
        return CLR_INVALID;
    }
    const uint32_t rgb = image->at(x, y);
    return RGB(rgb >> 16, rgb >> 8, rgb);
}

// The update region's bounding box after `call`, starting from an empty region; empty when
// nothing was invalidated. Holding the page lock keeps the window thread from painting meanwhile.
template <typename Call> RECT invalidated_by(Call&& call)
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
