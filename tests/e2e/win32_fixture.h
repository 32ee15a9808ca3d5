// SPDX-License-Identifier: MIT
// What the end-to-end tests of the Win32 layer share: one Xvfb for the test program, a window
// class whose procedure a test can hook, windows sized as the library sizes them, a message
// loop run until a condition holds, and the messages the windows received.
#pragma once

#include "x11_inspect.h"
#include "xvfb_server.h"

#include "user/message_log.h"

#include <win32/win32.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace vexil::e2e {

inline constexpr DWORD kCaptioned = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX; // the library's two styles
inline constexpr DWORD kCaptionless = WS_POPUP | WS_DLGFRAME;

// The procedure's hook: returns true with *result set to answer a message itself.
using Hook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;

class Win32Test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A shown window whose client area is width x height at outer corner (left, top), sized as
    // the library sizes its windows; it is on the screen when this returns.
    HWND make_window(const char* title, int width, int height, DWORD style = kCaptioned, int left = 0, int top = 0);

    // Runs the message loop until `condition` holds; false after 5 s.
    bool pump_until(const std::function<bool()>& condition);
    // Runs the message loop for `milliseconds`.
    void pump_for(int milliseconds);

    // The messages of `window` among `kinds` received since the last call, oldest first.
    std::vector<user::LoggedMessage> received(HWND window, std::initializer_list<UINT> kinds);

    // The X window of a window of ours, found by its title.
    static std::string xid_of(const char* title);

    static Hook s_hook;
    std::vector<HWND> m_windows;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
};

} // namespace vexil::e2e
