// SPDX-License-Identifier: MIT
// Window classes, creating and destroying windows, their sizes and values.
#include "user_fixture.h"

#include "backend/headless/control.h"

namespace vexil::user::testing {
namespace {

using WindowTest = UserTest;

WNDCLASSEXA describe(const char* name)
{
    WNDCLASSEXA description = {};
    description.cbSize = sizeof description;
    description.lpfnWndProc = test_procedure;
    description.lpszClassName = name;
    return description;
}

TEST_F(WindowTest, SecondRegistrationOfANameFails)
{
    WNDCLASSEXA description = describe("VexilTwice");
    ASSERT_NE(RegisterClassExA(&description), 0);
    description.lpszClassName = "VEXILTWICE"; // class names ignore case
    SetLastError(0);
    EXPECT_EQ(RegisterClassExA(&description), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    EXPECT_TRUE(UnregisterClassA("vexiltwice", nullptr));
    EXPECT_NE(RegisterClassExA(&description), 0);
    EXPECT_TRUE(UnregisterClassA("VexilTwice", nullptr));
}

TEST_F(WindowTest, RegistrationChecksItsDescription)
{
    WNDCLASSEXA description = describe("VexilBad");
    description.cbSize = 48; // the 32-bit size: not this structure's
    EXPECT_EQ(RegisterClassExA(&description), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    description = describe("");
    EXPECT_EQ(RegisterClassExA(&description), 0);
    EXPECT_EQ(RegisterClassExA(nullptr), 0);
    EXPECT_FALSE(UnregisterClassA("NoSuchClass", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
}

TEST_F(WindowTest, ClassWithWindowsCannotBeUnregistered)
{
    WNDCLASSEXA description = describe("VexilBusy");
    ASSERT_NE(RegisterClassExA(&description), 0);
    HWND window = make_window(50, 50, kCaptioned, "Busy", "VexilBusy");
    EXPECT_FALSE(UnregisterClassA("VexilBusy", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA("VexilBusy", nullptr));
    EXPECT_EQ(CreateWindowExA(0, "VexilBusy", "", kCaptioned, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

// Outer size = client + frame (+ caption), as the library computes it, gives the exact client.
TEST_F(WindowTest, ClientAreaIsOuterSizeLessFrameAndCaption)
{
    struct Case {
        DWORD style;
        backend::WindowKind kind;
        int surface_extra_x;
        int surface_extra_y;
    };
    const int frame_x = GetSystemMetrics(SM_CXDLGFRAME);
    const int frame_y = GetSystemMetrics(SM_CYDLGFRAME);
    EXPECT_EQ(frame_x, GetSystemMetrics(SM_CXFIXEDFRAME));
    EXPECT_GT(GetSystemMetrics(SM_CYCAPTION), 0);
    for (const Case& c : {Case{kCaptioned, backend::WindowKind::Framed, 0, 0},
                          Case{kCaptionless, backend::WindowKind::Bare, 2 * frame_x, 2 * frame_y}}) {
        HWND window = make_window(1200, 900, c.style, c.style == kCaptioned ? "Windows Vexil" : "");
        RECT client;
        ASSERT_TRUE(GetClientRect(window, &client));
        EXPECT_EQ(client.left, 0);
        EXPECT_EQ(client.top, 0);
        EXPECT_EQ(client.right, 1200);
        EXPECT_EQ(client.bottom, 900);
        const auto state = backend::headless::window_state(window);
        ASSERT_TRUE(state);
        EXPECT_EQ(state->kind, c.kind);
        EXPECT_EQ(state->width, 1200 + c.surface_extra_x);
        EXPECT_EQ(state->height, 900 + c.surface_extra_y);
        EXPECT_EQ(state->left, 10);
        EXPECT_EQ(state->top, 20);
        EXPECT_TRUE(state->visible);
    }
    EXPECT_EQ(backend::headless::window_state(m_windows[0])->title, "Windows Vexil");
}

TEST_F(WindowTest, CaptionlessWindowShowsItsFrame)
{
    HWND window = make_window(20, 10, kCaptionless, "");
    drain();
    const auto image = backend::headless::shown_image(window);
    ASSERT_TRUE(image);
    EXPECT_NE(image->at(0, 0), 0u);                 // the frame's corner
    EXPECT_NE(image->at(image->width - 1, 5), 0u);  // its right edge
    EXPECT_EQ(image->at(3, 3), 0u);                 // the client area, black from the class brush
}

TEST_F(WindowTest, CreationSendsNcCreateThenCreateWithTheParameters)
{
    int marker = 0;
    std::vector<UINT> order;
    t_hook = [&](HWND, UINT message, WPARAM, LPARAM lparam, LRESULT*) {
        if (message == WM_NCCREATE || message == WM_CREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
            EXPECT_EQ(create->lpCreateParams, &marker);
            EXPECT_STREQ(create->lpszName, "Made");
            EXPECT_EQ(create->cx, 70);
            EXPECT_EQ(create->y, 6);
            order.push_back(message);
        }
        return false;
    };
    HWND window = CreateWindowExA(0, kClassName, "Made", kCaptioned, 5, 6, 70, 80, nullptr, nullptr, nullptr, &marker);
    ASSERT_NE(window, nullptr);
    m_windows.push_back(window);
    EXPECT_EQ(order, (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
    EXPECT_FALSE(backend::headless::window_state(window)->visible); // no WS_VISIBLE
}

TEST_F(WindowTest, CreateReturningMinusOneFailsTheCreation)
{
    t_hook = [](HWND, UINT message, WPARAM, LPARAM, LRESULT* result) {
        *result = -1;
        return message == WM_CREATE;
    };
    EXPECT_EQ(CreateWindowExA(0, kClassName, "No", kCaptioned, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr),
              nullptr);
}

TEST_F(WindowTest, DestroyWindowSendsDestroyThenNcDestroyOnce)
{
    HWND window = make_window();
    int destroys = 0;
    t_hook = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT*) {
        if (message == WM_DESTROY) {
            ++destroys;
            EXPECT_TRUE(DestroyWindow(hwnd)); // destroying again from inside does nothing more
        }
        return false;
    };
    drain();
    take_logged_messages();
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(destroys, 1);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(backend::headless::window_state(window).has_value());
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowTest, UserDataHoldsAPointer)
{
    HWND window = make_window();
    int record = 0;
    const LONG_PTR value = reinterpret_cast<LONG_PTR>(&record);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 0);
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, value), 0);
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, value), value);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), value);
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE, WS_VISIBLE);
    EXPECT_EQ(SetWindowLongPtrA(window, -999, 1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    EXPECT_EQ(GetWindowLongPtrA(nullptr, GWLP_USERDATA), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowTest, MetricsComeFromTheDisplay)
{
    backend::headless::set_screen_size(1024, 768);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    EXPECT_EQ(GetDoubleClickTime(), 500u);
    EXPECT_EQ(GetSystemMetrics(SM_CXDOUBLECLK), 4);
    EXPECT_EQ(GetSystemMetrics(12345), 0);
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1024);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    backend::headless::set_screen_size(1920, 1080);
}

TEST_F(WindowTest, CursorsAreSharedAndSetCursorReturnsThePrevious)
{
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_NE(arrow, wait);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
    HWND window = make_window();
    SetCursor(arrow);
    EXPECT_EQ(SetCursor(wait), arrow);
    EXPECT_EQ(backend::headless::window_state(window)->cursor, backend::Cursor::Wait);
    EXPECT_EQ(SetCursor(arrow), wait);
}

} // namespace
} // namespace vexil::user::testing
