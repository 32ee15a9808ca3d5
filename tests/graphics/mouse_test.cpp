// SPDX-License-Identifier: MIT
// The mouse step of the window procedure: one queue per message kind, the last position, handlers.
#include "fixture.h"

#include "user/message_log.h"

#include <vector>

namespace vexil::graphics::testing {
namespace {

using MouseTest = WindowTest;

constexpr int kind_of(UINT message)
{
    return static_cast<int>(message - WM_MOUSEFIRST);
}

void send_mouse(UINT message, int x, int y)
{
    SendMessageA(current_hwnd(), message, 0, MAKELPARAM(x, y));
}

std::vector<POINTS> queue_of(UINT message)
{
    const auto& queue = current_window().MouseQueue[kind_of(message)];
    return {queue.begin(), queue.end()};
}

bool same(POINTS a, POINTS b)
{
    return a.x == b.x && a.y == b.y;
}

TEST_F(MouseTest, EachKindKeepsOnlyItsLatestEvent)
{
    send_mouse(WM_LBUTTONDOWN, 10, 20);
    send_mouse(WM_LBUTTONUP, 10, 20);
    send_mouse(WM_LBUTTONDOWN, 90, 80);
    send_mouse(WM_LBUTTONUP, 91, 81);
    send_mouse(WM_MOUSEMOVE, 5, 6);
    send_mouse(WM_MOUSEMOVE, 7, 8);

    const std::vector<POINTS> presses = queue_of(WM_LBUTTONDOWN);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_TRUE(same(presses[0], POINTS{90, 80}));
    const std::vector<POINTS> moves = queue_of(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_TRUE(same(moves[0], POINTS{7, 8}));
    EXPECT_TRUE(same(current_window().MousePos.load(), POINTS{7, 8}));
}

TEST_F(MouseTest, EveryKindFromMoveToWheelIsRecorded)
{
    for (UINT message = WM_MOUSEFIRST; message <= WM_MOUSEWHEEL; ++message) {
        const int x = static_cast<int>(message) - 0x1F0;
        send_mouse(message, x, -x);
        const std::vector<POINTS> queue = queue_of(message);
        ASSERT_EQ(queue.size(), 1u) << message;
        EXPECT_TRUE(same(queue[0], POINTS{static_cast<SHORT>(x), static_cast<SHORT>(-x)})) << message;
    }
    // Wheel messages carry screen coordinates, which may be negative.
    EXPECT_TRUE(same(current_window().MousePos.load(), POINTS{26, -26}));
}

TEST_F(MouseTest, DoubleClickIsRecordedInTheOrderItCame)
{
    const HWND hwnd = current_hwnd();
    backend::headless::reset_input_devices();
    user::start_message_log();
    backend::headless::click(hwnd, 20, 30);
    backend::headless::click(hwnd, 20, 30);
    ASSERT_TRUE(user::wait_until_idle(hwnd, 5000));
    std::vector<UINT> buttons;
    for (const user::LoggedMessage& logged : user::take_logged_messages(hwnd))
        if (logged.message >= WM_LBUTTONDOWN && logged.message <= WM_LBUTTONDBLCLK)
            buttons.push_back(logged.message);
    user::stop_message_log();
    EXPECT_EQ(buttons, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
    EXPECT_EQ(queue_of(WM_LBUTTONDBLCLK).size(), 1u);
    EXPECT_TRUE(same(current_window().MousePos.load(), POINTS{20, 30}));
}

struct HandlerCall {
    int x;
    int y;
    size_t queued;
    POINTS position;
};
std::vector<HandlerCall> s_calls;

void record_press(int x, int y)
{
    const WindowData& window = current_window();
    s_calls.push_back({x, y, window.MouseQueue[kind_of(WM_LBUTTONDOWN)].size(), window.MousePos.load()});
}

TEST_F(MouseTest, HandlerIsCalledAfterThePointIsQueuedAndRemembered)
{
    WindowData& window = current_window();
    s_calls.clear();
    // Set before the messages are sent, which hands them to the window thread.
    window.MouseQueueAll[kind_of(WM_LBUTTONDOWN)] = true;
    window.MouseHandler[kind_of(WM_LBUTTONDOWN)] = record_press;
    send_mouse(WM_LBUTTONDOWN, 3, 4);
    send_mouse(WM_LBUTTONDOWN, -5, 6);

    ASSERT_EQ(s_calls.size(), 2u);
    EXPECT_EQ(s_calls[0].x, 3);
    EXPECT_EQ(s_calls[0].queued, 1u);
    EXPECT_TRUE(same(s_calls[0].position, POINTS{3, 4}));
    EXPECT_EQ(s_calls[1].x, -5);
    EXPECT_EQ(s_calls[1].y, 6);
    EXPECT_EQ(s_calls[1].queued, 2u);
    EXPECT_EQ(queue_of(WM_LBUTTONDOWN).size(), 2u);
}

TEST_F(MouseTest, DefaultsResetOnlyThePosition)
{
    send_mouse(WM_RBUTTONDOWN, 30, 40);
    graphdefaults();
    EXPECT_TRUE(same(current_window().MousePos.load(), POINTS{0, 0}));
    EXPECT_EQ(queue_of(WM_RBUTTONDOWN).size(), 1u);
}

} // namespace
} // namespace vexil::graphics::testing
