// SPDX-License-Identifier: MIT
// exit(0) from a window thread, while other threads use USER, ends the process cleanly.
#include "user_fixture.h"

#include <cstdlib>
#include <thread>

namespace vexil::user::testing {
namespace {

// Runs in a fresh copy of the program: the test's threads make fork() unsafe.
class ExitTest : public UserTest {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        UserTest::SetUp();
    }
};

[[noreturn]] void run_until_a_window_thread_exits()
{
    register_test_class();
    HWND mine = CreateWindowExA(0, kClassName, "Main", kCaptioned, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(mine, SW_SHOW);
    std::thread drawer([mine] { // a program thread drawing all the while
        for (int i = 0;; ++i) {
            const RECT box = {i % 90, 0, i % 90 + 10, 10};
            InvalidateRect(mine, &box, FALSE);
            SendMessageA(mine, WM_NULL, 0, 0);
        }
    });
    std::thread window_thread([] {
        HWND own = CreateWindowExA(0, kClassName, "Ends", kCaptioned, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                   nullptr);
        ShowWindow(own, SW_SHOW);
        Sleep(30);
        std::exit(0); // as the library does for a close box with its close flag set
    });
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    std::abort(); // never reached: the loop has no quit
}

TEST_F(ExitTest, ExitFromAWindowThreadEndsTheProcessWithItsStatus)
{
    EXPECT_EXIT(run_until_a_window_thread_exits(), ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace vexil::user::testing
