// SPDX-License-Identifier: MIT
// What USER's tests share: a window class whose procedure a test can replace, windows made
// on the test thread, running the message loop until nothing is left, and the message log.
#pragma once

#include "backend/headless/control.h"
#include "user/message_log.h"

#include <win32/win32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <vector>

namespace vexil::user::testing {

inline constexpr DWORD kCaptioned = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX; // the library's two styles
inline constexpr DWORD kCaptionless = WS_POPUP | WS_DLGFRAME;
inline constexpr char kClassName[] = "VexilUserTest";

// The procedure of the test class: the test's hook when it returns a result, else the default.
using Hook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;
inline thread_local Hook t_hook;

inline LRESULT CALLBACK test_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    LRESULT result = 0;
    if (t_hook && t_hook(window, message, wparam, lparam, &result))
        return result;
    return DefWindowProcA(window, message, wparam, lparam);
}

inline void register_test_class(const char* name = kClassName, UINT style = CS_DBLCLKS)
{
    WNDCLASSEXA description = {};
    description.cbSize = sizeof description;
    description.style = style;
    description.lpfnWndProc = test_procedure;
    description.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    description.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    description.lpszClassName = name;
    if (!RegisterClassExA(&description)) {
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    }
}

class UserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        register_test_class();
        backend::headless::reset_input_devices();
        start_message_log();
    }
    void TearDown() override
    {
        t_hook = nullptr;
        for (HWND window : m_windows) {
            if (IsWindow(window))
                DestroyWindow(window);
        }
        drain();
        stop_message_log();
    }

    // A shown window whose client area is width x height, sized as the library sizes it.
    HWND make_window(int width = 200, int height = 150, DWORD style = kCaptioned, const char* title = "Test",
                     const char* class_name = kClassName)
    {
        const int caption = (style & WS_CAPTION) == WS_CAPTION ? GetSystemMetrics(SM_CYCAPTION) : 0;
        const int frame_x = GetSystemMetrics(SM_CXFIXEDFRAME);
        const int frame_y = GetSystemMetrics(SM_CYFIXEDFRAME);
        HWND window = CreateWindowExA(0, class_name, title, style, 10, 20, width + 2 * frame_x,
                                      height + caption + 2 * frame_y, nullptr, nullptr, nullptr, nullptr);
        EXPECT_NE(window, nullptr);
        if (window) {
            m_windows.push_back(window);
            ShowWindow(window, SW_SHOWNORMAL);
            UpdateWindow(window);
        }
        return window;
    }

    // Runs the message loop until no message is left, as the library's window thread does.
    static void drain()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    // The logged messages of a window whose kind is one of `kinds`, after draining the queue.
    static std::vector<LoggedMessage> received(HWND window, std::initializer_list<UINT> kinds)
    {
        drain();
        std::vector<LoggedMessage> all = take_logged_messages(window);
        std::vector<LoggedMessage> wanted;
        for (const LoggedMessage& message : all) {
            if (std::find(kinds.begin(), kinds.end(), message.message) != kinds.end())
                wanted.push_back(message);
        }
        return wanted;
    }

    std::vector<HWND> m_windows;
};

} // namespace vexil::user::testing
