// SPDX-License-Identifier: MIT
// Mouse input: the eleven client messages, double clicks, hit tests and the frame of a
// captionless window.
#include "user_fixture.h"

#include "backend/headless/control.h"

namespace vexil::user::testing {
namespace {

using backend::MouseButton;
namespace headless = backend::headless;

constexpr std::initializer_list<UINT> kMouseMessages = {
    WM_MOUSEMOVE,     WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
    WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP,   WM_MBUTTONDBLCLK, WM_MOUSEWHEEL,
};

class MouseTest : public UserTest {
protected:
    std::vector<LoggedMessage> mouse(HWND window) const { return received(window, kMouseMessages); }
};

TEST_F(MouseTest, GivesEveryKindWithClientCoordinatesAndButtonState)
{
    HWND window = make_window();
    drain();
    struct Step {
        MouseButton button;
        UINT down;
        WPARAM held;
    };
    for (const Step& step : {Step{MouseButton::Left, WM_LBUTTONDOWN, MK_LBUTTON},
                             Step{MouseButton::Right, WM_RBUTTONDOWN, MK_RBUTTON},
                             Step{MouseButton::Middle, WM_MBUTTONDOWN, MK_MBUTTON}}) {
        for (int press = 0; press < 2; ++press) { // the second press makes the double click
            ASSERT_TRUE(headless::mouse_down(window, 30, 40, step.button));
            ASSERT_TRUE(headless::mouse_up(window, 30, 40, step.button));
        }
        headless::advance_clock(1000);
        const std::vector<LoggedMessage> got = mouse(window);
        ASSERT_EQ(got.size(), 4u);
        const UINT kinds[] = {step.down, step.down + 1, step.down + 2, step.down + 1};
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(got[i].message, kinds[i]);
            EXPECT_EQ(GET_X_LPARAM(got[i].lparam), 30);
            EXPECT_EQ(GET_Y_LPARAM(got[i].lparam), 40);
            EXPECT_EQ(got[i].wparam, i % 2 == 0 ? step.held : 0u);
        }
    }
    ASSERT_TRUE(headless::move_mouse(window, -5, 7)); // outside, as during a drag
    ASSERT_TRUE(headless::move_mouse(window, 12, 13));
    ASSERT_TRUE(headless::turn_wheel(window, 12, 13, -WHEEL_DELTA));
    const std::vector<LoggedMessage> got = mouse(window);
    ASSERT_EQ(got.size(), 2u); // the point outside was a non-client move
    EXPECT_EQ(got[0].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(got[0].lparam, MAKELPARAM(12, 13));
    EXPECT_EQ(got[1].message, static_cast<UINT>(WM_MOUSEWHEEL));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(got[1].wparam), -WHEEL_DELTA);
    EXPECT_EQ(GET_X_LPARAM(got[1].lparam), 10 + 12); // screen coordinates
    EXPECT_EQ(GET_Y_LPARAM(got[1].lparam), 20 + 13);
}

TEST_F(MouseTest, DoubleClickNeedsTheTimeTheDistanceAndTheClassStyle)
{
    HWND window = make_window();
    drain();
    const auto second_press = [&](int32_t x, uint32_t pause) {
        headless::click(window, 50, 50);
        headless::advance_clock(pause);
        headless::click(window, x, 50);
        headless::advance_clock(1000);
        return mouse(window)[2].message;
    };
    EXPECT_EQ(second_press(51, 0), static_cast<UINT>(WM_LBUTTONDBLCLK));
    EXPECT_EQ(second_press(52, 0), static_cast<UINT>(WM_LBUTTONDBLCLK)); // half the 4-pixel box
    EXPECT_EQ(second_press(53, 0), static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(second_press(50, 497), static_cast<UINT>(WM_LBUTTONDBLCLK)); // 499 ms apart
    EXPECT_EQ(second_press(50, 499), static_cast<UINT>(WM_LBUTTONDOWN));  // 501 ms apart

    register_test_class("VexilNoDoubleClicks", 0);
    HWND plain = make_window(200, 150, kCaptioned, "Plain", "VexilNoDoubleClicks");
    drain();
    headless::click(plain, 50, 50);
    headless::click(plain, 50, 50);
    const std::vector<LoggedMessage> got = mouse(plain);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[2].message, static_cast<UINT>(WM_LBUTTONDOWN));

    // A third press after a double click starts afresh.
    headless::advance_clock(1000);
    for (int i = 0; i < 3; ++i)
        headless::click(window, 50, 50);
    const std::vector<LoggedMessage> triple = mouse(window);
    ASSERT_EQ(triple.size(), 6u);
    EXPECT_EQ(triple[4].message, static_cast<UINT>(WM_LBUTTONDOWN));
}

// The frame of a captionless window is not client area: a press there is WM_NCLBUTTONDOWN
// with the hit in wParam. A procedure that answers HTCAPTION makes it a move of the window.
TEST_F(MouseTest, CaptionlessFrameHitsTheBorderAndCaptionAnswersMove)
{
    HWND window = make_window(100, 100, kCaptionless, "");
    drain();
    take_logged_messages();
    headless::click(window, 1, 50);
    std::vector<LoggedMessage> got = received(window, {WM_NCHITTEST, WM_NCLBUTTONDOWN, WM_LBUTTONDOWN});
    ASSERT_EQ(got.size(), 3u); // press: hit test, down; release: hit test
    EXPECT_EQ(got[0].result, HTBORDER);
    EXPECT_EQ(got[1].message, static_cast<UINT>(WM_NCLBUTTONDOWN));
    EXPECT_EQ(got[1].wparam, static_cast<WPARAM>(HTBORDER));
    EXPECT_EQ(headless::window_state(window)->moves_started, 0);

    headless::click(window, 3 + 10, 3 + 10); // the client area starts inside the 3-pixel frame
    got = received(window, {WM_NCHITTEST, WM_LBUTTONDOWN});
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].result, HTCLIENT);
    EXPECT_EQ(got[1].lparam, MAKELPARAM(10, 10));

    t_hook = [](HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
        if (message != WM_NCHITTEST)
            return false;
        *result = DefWindowProcA(hwnd, message, wparam, lparam);
        if (*result != HTCLIENT)
            *result = HTCAPTION;
        return true;
    };
    headless::mouse_down(window, 1, 50);
    drain();
    const auto state = headless::window_state(window);
    EXPECT_EQ(state->moves_started, 1);
    EXPECT_EQ(state->last_move, backend::MoveStart::Pointer);
    headless::mouse_up(window, 1, 50);
}

TEST_F(MouseTest, ClassCursorIsSetOverTheClientArea)
{
    HWND window = make_window();
    drain();
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    ASSERT_EQ(headless::window_state(window)->cursor, backend::Cursor::Wait);
    headless::move_mouse(window, 20, 20);
    drain();
    EXPECT_EQ(headless::window_state(window)->cursor, backend::Cursor::Arrow);
}

} // namespace
} // namespace vexil::user::testing
