// SPDX-License-Identifier: MIT
// Painting: BeginPaint and EndPaint, the erase with the class brush, and what the window shows.
#include "user_fixture.h"

#include "backend/headless/control.h"

namespace vexil::user::testing {
namespace {

namespace headless = backend::headless;

class PaintTest : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        WNDCLASSEXA description = {};
        description.cbSize = sizeof description;
        description.lpfnWndProc = test_procedure;
        description.hbrBackground = m_blue;
        description.lpszClassName = "VexilBlue";
        if (!RegisterClassExA(&description)) {
            ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
        }
    }
    void TearDown() override
    {
        UserTest::TearDown();
        UnregisterClassA("VexilBlue", nullptr);
        DeleteObject(m_blue);
    }

    HBRUSH m_blue = CreateSolidBrush(RGB(0, 0, 255));
};

// The procedure paints a red box; EndPaint shows exactly the painted part.
TEST_F(PaintTest, EndPaintShowsWhatWasPaintedInTheUpdateRegion)
{
    t_hook = [](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (message != WM_PAINT)
            return false;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        const RECT all = {0, 0, 40, 30};
        FillRect(dc, &all, red); // clipped to the update region
        DeleteObject(red);
        EndPaint(hwnd, &paint);
        *result = 0;
        return true;
    };
    HWND window = make_window(40, 30, kCaptioned, "Paint", "VexilBlue");
    drain(); // the first paint, after showing, erased with blue first and then filled red
    auto image = headless::shown_image(window);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->at(0, 0), 0xFF0000u);
    EXPECT_EQ(image->at(39, 29), 0xFF0000u);

    t_hook = nullptr; // default painting now: erase (when asked) and nothing else
    const RECT box = {10, 10, 20, 15};
    InvalidateRect(window, &box, TRUE);
    drain();
    image = headless::shown_image(window);
    EXPECT_EQ(image->at(10, 10), 0x0000FFu);
    EXPECT_EQ(image->at(19, 14), 0x0000FFu);
    EXPECT_EQ(image->at(20, 14), 0xFF0000u);
    EXPECT_EQ(image->at(9, 10), 0xFF0000u);

    InvalidateRect(window, nullptr, FALSE); // no erase asked: the pixels stay
    drain();
    EXPECT_EQ(headless::shown_image(window)->at(15, 12), 0x0000FFu);
}

TEST_F(PaintTest, EraseBackgroundIsSentOnlyWhenAsked)
{
    HWND window = make_window(40, 30, kCaptioned, "Erase", "VexilBlue");
    drain();
    take_logged_messages();
    InvalidateRect(window, nullptr, FALSE);
    EXPECT_TRUE(received(window, {WM_ERASEBKGND}).empty());
    InvalidateRect(window, nullptr, FALSE);
    InvalidateRect(window, nullptr, TRUE);
    const std::vector<LoggedMessage> erases = received(window, {WM_ERASEBKGND});
    ASSERT_EQ(erases.size(), 1u);
    EXPECT_EQ(erases[0].result, 1); // the brush filled it
}

TEST_F(PaintTest, UpdateWindowPaintsAtOnce)
{
    HWND window = make_window();
    drain();
    take_logged_messages();
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(take_logged_messages(window).size(), 1u); // WM_PAINT, before any message loop
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(window, &pending, FALSE));
}

TEST_F(PaintTest, ExposureShowsTheSurfaceAgain)
{
    HWND window = make_window(40, 30);
    drain();
    HDC dc = GetDC(window);
    SetPixel(dc, 5, 5, RGB(0, 255, 0));
    ReleaseDC(window, dc);
    EXPECT_EQ(headless::shown_image(window)->at(5, 5), 0u); // drawn, not yet shown
    headless::expose(window, {0, 0, 40, 30});
    drain();
    EXPECT_EQ(headless::shown_image(window)->at(5, 5), 0x00FF00u);
}

TEST_F(PaintTest, WindowDcsDieWithTheWindow)
{
    HWND window = make_window(40, 30);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    DestroyWindow(window);
    EXPECT_EQ(SetPixel(dc, 1, 1, RGB(1, 2, 3)), CLR_INVALID);
    EXPECT_EQ(ReleaseDC(window, dc), 0);
}

} // namespace
} // namespace vexil::user::testing
