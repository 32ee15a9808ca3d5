// SPDX-License-Identifier: MIT
// SendMessageA on one thread and across threads, and windows ending with their thread.
#include "user_fixture.h"

#include "backend/headless/control.h"

#include <atomic>
#include <future>
#include <thread>

namespace vexil::user::testing {
namespace {

using SendMessageTest = UserTest;

// A thread with one window that runs its message loop until WM_QUIT.
class WindowThread {
public:
    explicit WindowThread(Hook hook)
    {
        std::future<HWND> window = m_made.get_future();
        m_thread = std::thread([this, hook = std::move(hook)] {
            t_hook = hook;
            HWND handle = CreateWindowExA(0, kClassName, "Peer", kCaptioned, 0, 0, 100, 100, nullptr, nullptr,
                                          nullptr, nullptr);
            m_made.set_value(handle);
            MSG message;
            while (GetMessageA(&message, nullptr, 0, 0) > 0)
                DispatchMessageA(&message);
            t_hook = nullptr;
        });
        m_window = window.get();
    }
    ~WindowThread()
    {
        PostMessageA(m_window, WM_QUIT_REQUEST, 0, 0);
        m_thread.join();
    }
    HWND window() const { return m_window; }

    static constexpr UINT WM_QUIT_REQUEST = WM_USER + 100;

private:
    std::promise<HWND> m_made;
    std::thread m_thread;
    HWND m_window = nullptr;
};

bool quit_on_request(UINT message)
{
    if (message == WindowThread::WM_QUIT_REQUEST)
        PostQuitMessage(0);
    return message == WindowThread::WM_QUIT_REQUEST;
}

TEST_F(SendMessageTest, SameThreadCallsTheProcedureDirectly)
{
    HWND window = make_window();
    t_hook = [](HWND, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
        *result = static_cast<LRESULT>(wparam + lparam);
        return message == WM_USER;
    };
    EXPECT_EQ(SendMessageA(window, WM_USER, 40, 2), 42);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(SendMessageTest, OtherThreadRunsTheProcedureOnItsOwnThread)
{
    std::atomic<std::thread::id> ran_on{};
    WindowThread peer([&](HWND, UINT message, WPARAM wparam, LPARAM, LRESULT* result) {
        if (message != WM_USER)
            return quit_on_request(message);
        ran_on = std::this_thread::get_id();
        Sleep(20); // the sender must wait for this
        *result = static_cast<LRESULT>(wparam * 2);
        return true;
    });
    EXPECT_EQ(SendMessageA(peer.window(), WM_USER, 21, 0), 42);
    EXPECT_NE(ran_on.load(), std::this_thread::get_id());
    EXPECT_NE(ran_on.load(), std::thread::id{});
}

TEST_F(SendMessageTest, TwoThreadsSendingToEachOtherDoNotDeadlock)
{
    HWND mine = make_window();
    std::atomic<int> handled_here{0};
    t_hook = [&](HWND, UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (message != WM_USER + 1)
            return false;
        ++handled_here;
        *result = 7;
        return true;
    };
    // The peer, while handling our message, sends one back to our window and waits for it.
    WindowThread peer([mine](HWND, UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (message != WM_USER)
            return quit_on_request(message);
        *result = SendMessageA(mine, WM_USER + 1, 0, 0) * 6;
        return true;
    });
    EXPECT_EQ(SendMessageA(peer.window(), WM_USER, 0, 0), 42);
    EXPECT_EQ(handled_here.load(), 1);
}

TEST_F(SendMessageTest, SendersGetZeroWhenTheOwnerThreadEnds)
{
    std::promise<HWND> made;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::thread owner([&] {
        HWND handle = CreateWindowExA(0, kClassName, "Leaving", kCaptioned, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                      nullptr);
        made.set_value(handle);
        released.wait(); // ends without ever reading its messages
    });
    HWND window = made.get_future().get();
    std::future<LRESULT> answer = std::async(std::launch::async, [window] {
        return SendMessageA(window, WM_USER, 0, 0);
    });
    Sleep(20);
    release.set_value();
    owner.join();
    EXPECT_EQ(answer.get(), 0);
}

TEST_F(SendMessageTest, ThreadEndDestroysItsWindowsWithoutCallingThem)
{
    std::atomic<int> destroys{0};
    HWND window = nullptr;
    std::thread owner([&] {
        t_hook = [&](HWND, UINT message, WPARAM, LPARAM, LRESULT*) {
            if (message == WM_DESTROY)
                ++destroys;
            return false;
        };
        window = CreateWindowExA(0, kClassName, "Gone", kCaptioned, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                 nullptr);
        ShowWindow(window, SW_SHOW);
    });
    owner.join();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(backend::headless::window_state(window).has_value());
    EXPECT_EQ(destroys.load(), 0);
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

} // namespace
} // namespace vexil::user::testing
