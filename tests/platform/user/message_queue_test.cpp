// SPDX-License-Identifier: MIT
// The thread's message queue: order of service, WM_PAINT, WM_QUIT, peeking and bad arguments.
#include "user_fixture.h"

#include <thread>

namespace vexil::user::testing {
namespace {

using MessageQueueTest = UserTest;

// Everything the test posts or injects waits; then the messages come out in Windows' order.
TEST_F(MessageQueueTest, ServesPostedThenInputThenQuitThenPaint)
{
    HWND window = make_window();
    drain();
    InvalidateRect(window, nullptr, FALSE);
    PostQuitMessage(7);
    ASSERT_TRUE(backend::headless::press_key(window, "Left"));
    PostMessageA(window, WM_USER + 1, 0, 0);
    PostMessageA(window, WM_USER + 2, 0, 0);

    std::vector<UINT> order;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0))
        order.push_back(message.message);
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_KEYDOWN, WM_KEYUP}));

    // The quit was taken; the paint is still due, and comes last.
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(message.hwnd, window);
}

TEST_F(MessageQueueTest, ManyInvalidationsGiveOnePaintOfTheirUnion)
{
    HWND window = make_window();
    drain();
    std::vector<RECT> painted;
    t_hook = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (message != WM_PAINT)
            return false;
        PAINTSTRUCT paint;
        BeginPaint(hwnd, &paint);
        painted.push_back(paint.rcPaint);
        EndPaint(hwnd, &paint);
        *result = 0;
        return true;
    };
    for (int i = 0; i < 50; ++i) {
        const RECT box = {i, 2 * i, i + 10, 2 * i + 5};
        InvalidateRect(window, &box, FALSE);
    }
    drain();
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_EQ(painted[0].left, 0);
    EXPECT_EQ(painted[0].top, 0);
    EXPECT_EQ(painted[0].right, 59);
    EXPECT_EQ(painted[0].bottom, 103);
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(window, &pending, FALSE));
}

TEST_F(MessageQueueTest, InvalidationIsClippedToTheClientArea)
{
    HWND window = make_window(100, 80);
    drain();
    const RECT outside = {150, 150, 300, 300};
    EXPECT_TRUE(InvalidateRect(window, &outside, FALSE));
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(window, &pending, FALSE));
    const RECT across = {-20, 50, 500, 60};
    InvalidateRect(window, &across, FALSE);
    ASSERT_TRUE(GetUpdateRect(window, &pending, FALSE));
    EXPECT_EQ(pending.left, 0);
    EXPECT_EQ(pending.right, 100);
    EXPECT_EQ(pending.top, 50);
    EXPECT_EQ(pending.bottom, 60);
}

TEST_F(MessageQueueTest, PaintWaitsWhileTheWindowIsHidden)
{
    HWND window = make_window();
    drain();
    ShowWindow(window, SW_HIDE);
    InvalidateRect(window, nullptr, FALSE);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    ShowWindow(window, SW_SHOW);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
}

TEST_F(MessageQueueTest, PeekWithoutRemovingLeavesTheMessage)
{
    HWND window = make_window();
    drain();
    PostMessageA(window, WM_USER, 1, 2);
    ASSERT_TRUE(backend::headless::click(window, 5, 5));
    MSG message;
    for (UINT expected : {static_cast<UINT>(WM_USER), static_cast<UINT>(WM_LBUTTONDOWN)}) {
        ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
        EXPECT_EQ(message.message, expected);
        ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(message.message, expected);
    }
    // The hit test was asked once for the press, though the press was looked at twice.
    std::vector<LoggedMessage> hits = received(window, {WM_NCHITTEST});
    EXPECT_EQ(hits.size(), 2u); // the press and the release
}

TEST_F(MessageQueueTest, FiltersByWindowAndRange)
{
    HWND first = make_window();
    HWND second = make_window();
    drain();
    PostMessageA(first, WM_USER + 5, 0, 0);
    PostMessageA(second, WM_USER + 6, 0, 0);
    PostMessageA(nullptr, WM_USER + 7, 0, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, second, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 6));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER + 7, WM_USER + 7, PM_REMOVE));
    EXPECT_EQ(message.hwnd, nullptr);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 5));
}

TEST_F(MessageQueueTest, GetMessageWaitsForAPostFromAnotherThread)
{
    HWND window = make_window();
    drain();
    std::thread poster([window] {
        Sleep(20);
        PostMessageA(window, WM_USER + 3, 42, 0);
    });
    MSG message;
    ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 3));
    EXPECT_EQ(message.wParam, 42u);
    poster.join();
}

TEST_F(MessageQueueTest, RejectsBadArguments)
{
    HWND window = make_window();
    MSG message;
    EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(GetMessageA(&message, reinterpret_cast<HWND>(0x1234), 0, 0), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    DestroyWindow(window);
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(InvalidateRect(window, nullptr, FALSE));
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
}

TEST_F(MessageQueueTest, RefusesPostsBeyondTheQueueLimit)
{
    HWND window = make_window();
    drain();
    int posted = 0;
    while (PostMessageA(window, WM_USER, 0, 0))
        ++posted;
    EXPECT_EQ(posted, 10000);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_QUOTA));
    drain();
    EXPECT_TRUE(PostMessageA(window, WM_USER, 0, 0));
}

} // namespace
} // namespace vexil::user::testing
