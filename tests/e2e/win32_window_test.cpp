// SPDX-License-Identifier: MIT
// Windows of the Win32 layer on a virtual X server, seen from outside with xwininfo, xprop,
// xdotool and screenshots. Xvfb runs no window manager, so nothing draws captions or frames:
// the tests check what the program asks of a manager (hints) and what X itself shows (sizes,
// positions, pixels, the keys and clicks it delivers).
#include "win32_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <vector>

namespace vexil::e2e {
namespace {

using ::testing::HasSubstr;

// The library's window: the caption's text in the title, a client area of exactly 1200 x 900.
// Without a manager the X window is the client area, placed where the frame's corner was asked.
TEST_F(Win32Test, CaptionedWindowHasTheClientAreaAsked)
{
    HWND window = make_window("Windows Vexil", 1200, 900, kCaptioned, 40, 30);
    ASSERT_NE(window, nullptr);
    RECT client = {};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right - client.left, 1200);
    EXPECT_EQ(client.bottom - client.top, 900);

    const std::string id = xid_of("Windows Vexil");
    const std::string info = run_command("xwininfo -id " + id);
    EXPECT_EQ(field_after(info, "Width: "), 1200);
    EXPECT_EQ(field_after(info, "Height: "), 900);
    EXPECT_EQ(field_after(info, "Absolute upper-left X: "), 40);
    EXPECT_EQ(field_after(info, "Absolute upper-left Y: "), 30);
    const std::string props = run_command("xprop -id " + id);
    EXPECT_THAT(props, HasSubstr("WM_NAME(STRING) = \"Windows Vexil\""));
    EXPECT_THAT(props, HasSubstr("program specified minimum size: 1200 by 900"));
    EXPECT_THAT(props, HasSubstr("program specified maximum size: 1200 by 900"));
    EXPECT_THAT(props, ::testing::Not(HasSubstr("_MOTIF_WM_HINTS")));
}

// A captionless window asks for no decorations; it is all surface, frame included.
TEST_F(Win32Test, CaptionlessWindowHasNoDecorations)
{
    HWND window = make_window("Captionless", 300, 200, kCaptionless, 100, 50);
    ASSERT_NE(window, nullptr);
    const std::string id = xid_of("Captionless");
    const int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
    const std::string info = run_command("xwininfo -id " + id);
    EXPECT_EQ(field_after(info, "Width: "), 300 + 2 * frame);
    EXPECT_EQ(field_after(info, "Height: "), 200 + 2 * frame);
    EXPECT_EQ(field_after(info, "Absolute upper-left X: "), 100);
    EXPECT_THAT(run_command("xprop -id " + id + " _MOTIF_WM_HINTS"),
                HasSubstr("_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x2, 0x0, 0x0, 0x0, 0x0"));
}

// The library answers every hit test of a captionless window with HTCAPTION: dragging it with
// the mouse moves the window, here by the backend's own move as no manager is running.
TEST_F(Win32Test, CaptionlessWindowIsDraggedByItsBody)
{
    s_hook = [](HWND, UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (message != WM_NCHITTEST) {
            return false;
        }
        *result = HTCAPTION;
        return true;
    };
    HWND window = make_window("Dragged", 200, 100, kCaptionless, 100, 100);
    ASSERT_NE(window, nullptr);
    const std::string id = xid_of("Dragged");
    run_command("xdotool mousemove --sync 150 130 mousedown 1");
    pump_for(100);
    run_command("xdotool mousemove --sync 200 160 mousemove --sync 250 190 mouseup 1");
    EXPECT_TRUE(pump_until([&] {
        const std::string info = run_command("xwininfo -id " + id);
        return field_after(info, "Absolute upper-left X: ") == 200 &&
               field_after(info, "Absolute upper-left Y: ") == 160;
    }));
}

struct ExpectedMessage {
    UINT message;
    WPARAM wparam;
};

// Keys typed with xdotool come as the messages Windows sends: WM_KEYDOWN with the virtual key,
// WM_CHAR for keys that type a character, WM_SYSKEYDOWN for F10; the scan code rides in lParam.
TEST_F(Win32Test, TypedKeysArriveAsKeyMessages)
{
    HWND window = make_window("Keys", 200, 100);
    ASSERT_NE(window, nullptr);
    run_command("xdotool windowfocus --sync " + xid_of("Keys"));
    pump_for(50);
    user::take_logged_messages();
    run_command("xdotool key --delay 0 a shift+b Return Up F1 KP_Begin Escape F10");
    const ExpectedMessage expected[] = {
        {WM_KEYDOWN, 'A'},       {WM_CHAR, 'a'}, {WM_KEYDOWN, VK_SHIFT},  {WM_KEYDOWN, 'B'},   {WM_CHAR, 'B'},
        {WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13},  {WM_KEYDOWN, VK_UP},     {WM_KEYDOWN, VK_F1}, {WM_KEYDOWN, VK_CLEAR},
        {WM_KEYDOWN, VK_ESCAPE}, {WM_CHAR, 27},  {WM_SYSKEYDOWN, VK_F10},
    };
    std::vector<user::LoggedMessage> got;
    pump_until([&] {
        for (const user::LoggedMessage& message : received(window, {WM_KEYDOWN, WM_CHAR, WM_SYSKEYDOWN, WM_SYSCHAR})) {
            got.push_back(message);
        }
        return got.size() >= std::size(expected);
    });
    ASSERT_EQ(got.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(got[i].message, expected[i].message) << i;
        EXPECT_EQ(got[i].wparam, expected[i].wparam) << i;
    }
    // lParam: repeat count 1, scan code in bits 16..23, the extended-key bit 24 for Up.
    EXPECT_EQ(got[0].lparam & 0x01FFFFFF, 0x001E0001);
    EXPECT_EQ(got[7].lparam & 0x01FFFFFF, 0x01480001);
}

// The window's close box (here WM_DELETE_WINDOW, as the manager sends it) arrives as WM_CLOSE;
// a procedure that does not pass it on keeps its window.
TEST_F(Win32Test, CloseRequestArrivesAsWmClose)
{
    s_hook = [](HWND, UINT message, WPARAM, LPARAM, LRESULT* result) {
        *result = 0;
        return message == WM_CLOSE;
    };
    HWND window = make_window("Closing", 200, 100);
    ASSERT_NE(window, nullptr);
    user::take_logged_messages();
    send_close_request(static_cast<uint32_t>(std::stoul(xid_of("Closing"))));
    EXPECT_TRUE(pump_until([&] { return !received(window, {WM_CLOSE}).empty(); }));
    EXPECT_TRUE(IsWindow(window));
}

// Pixels blitted in WM_PAINT are on the screen exactly: the screenshot equals the bitmap.
TEST_F(Win32Test, PaintedWindowShowsWhatWasBlitted)
{
    constexpr int kWidth = 640;
    constexpr int kHeight = 480;
    std::vector<uint32_t> bits(static_cast<size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            bits[static_cast<size_t>(y) * kWidth + x] =
                (static_cast<uint32_t>(x) * 0x010307u + static_cast<uint32_t>(y) * 0x070301u) & 0x00FFFFFF;
        }
    }
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_EQ(SetBitmapBits(bitmap, static_cast<DWORD>(bits.size() * 4), bits.data()),
              static_cast<LONG>(bits.size() * 4));
    HGDIOBJ previous = SelectObject(source, bitmap);
    s_hook = [source](HWND window, UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (message != WM_PAINT) {
            return false;
        }
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        BitBlt(dc, paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right - paint.rcPaint.left,
               paint.rcPaint.bottom - paint.rcPaint.top, source, paint.rcPaint.left, paint.rcPaint.top, SRCCOPY);
        EndPaint(window, &paint);
        *result = 0;
        return true;
    };
    HWND window = make_window("Painted", kWidth, kHeight);
    ASSERT_NE(window, nullptr);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    pump_for(50);
    const auto id = static_cast<uint32_t>(std::stoul(xid_of("Painted")));
    std::vector<uint32_t> shown;
    EXPECT_TRUE(pump_until([&] {
        shown = window_pixels(id, kWidth, kHeight);
        return shown == bits;
    }));
    if (shown != bits && shown.size() == bits.size()) {
        const auto [at, want] = std::mismatch(shown.begin(), shown.end(), bits.begin());
        const auto index = static_cast<size_t>(at - shown.begin());
        ADD_FAILURE() << "first difference at " << index % kWidth << ", " << index / kWidth;
    }
    s_hook = nullptr;
    DestroyWindow(window);
    SelectObject(source, previous);
    DeleteObject(bitmap);
    DeleteDC(source);
}

} // namespace
} // namespace vexil::e2e
