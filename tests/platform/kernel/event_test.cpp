// SPDX-License-Identifier: MIT
// Tests of events: initial state, manual and auto reset, time-outs and waiters on other threads.
#include "kernel_test_support.h"

#include <win32/kernel.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace vexil::kernel::testing {
namespace {

TEST(EventTest, StateAfterEachCallInOneThread)
{
    struct Case {
        const char* name;
        BOOL manual;
        BOOL initial;
        bool set;
        bool reset;
        DWORD first;  // the first wait with a zero time-out
        DWORD second; // the one after it
    };
    const Case cases[] = {
        {"auto, not signalled", FALSE, FALSE, false, false, WAIT_TIMEOUT, WAIT_TIMEOUT},
        {"auto, initially signalled", FALSE, TRUE, false, false, WAIT_OBJECT_0, WAIT_TIMEOUT},
        {"auto, set", FALSE, FALSE, true, false, WAIT_OBJECT_0, WAIT_TIMEOUT},
        {"auto, set then reset", FALSE, FALSE, true, true, WAIT_TIMEOUT, WAIT_TIMEOUT},
        {"manual, initially signalled", TRUE, TRUE, false, false, WAIT_OBJECT_0, WAIT_OBJECT_0},
        {"manual, set", TRUE, FALSE, true, false, WAIT_OBJECT_0, WAIT_OBJECT_0},
        {"manual, set then reset", TRUE, TRUE, true, true, WAIT_TIMEOUT, WAIT_TIMEOUT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HANDLE event = CreateEventA(nullptr, c.manual, c.initial, nullptr);
        ASSERT_NE(event, nullptr);
        if (c.set) {
            EXPECT_TRUE(SetEvent(event));
        }
        if (c.reset) {
            EXPECT_TRUE(ResetEvent(event));
        }
        EXPECT_EQ(WaitForSingleObject(event, 0), c.first);
        EXPECT_EQ(WaitForSingleObject(event, 0), c.second);
        EXPECT_TRUE(CloseHandle(event));
    }
}

TEST(EventTest, SignalsDoNotAddUp)
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    EXPECT_TRUE(SetEvent(event));
    EXPECT_TRUE(SetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(event);
}

TEST(EventTest, ClosedOrInventedHandleFails)
{
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(CloseHandle(event));
    HANDLE bad[] = {event, nullptr, INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x1234)};
    for (HANDLE handle : bad) {
        SetLastError(0);
        EXPECT_FALSE(SetEvent(handle));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(0);
        EXPECT_FALSE(ResetEvent(handle));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(0);
        EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(handle));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
}

TEST(EventTest, NamedEventIsRefused)
{
    SetLastError(0);
    EXPECT_EQ(CreateEventA(nullptr, FALSE, FALSE, "shared"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

TEST(EventTest, TimedWaitWaitsAtLeastItsTimeOut)
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (DWORD timeout : {1u, 30u, 120u}) {
        auto start = Clock::now();
        EXPECT_EQ(WaitForSingleObject(event, timeout), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_GE(milliseconds_since(start), static_cast<long long>(timeout));
    }
    CloseHandle(event);
}

TEST(EventTest, DelayedSetEndsAnInfiniteWait)
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        SetEvent(event);
    });
    EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
    setter.join();
    // The waiter consumed the signal.
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(event);
}

TEST(EventTest, AutoResetReleasesOneWaiterPerSignal)
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<int> woken{0};
    auto waiter = [&] {
        EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
        ++woken;
    };
    std::thread first(waiter);
    std::thread second(waiter);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));

    ASSERT_TRUE(SetEvent(event));
    ASSERT_TRUE(eventually([&] { return woken.load() >= 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(woken.load(), 1);
    // The signal went to that waiter: the event is not left signalled.
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    ASSERT_TRUE(SetEvent(event));
    first.join();
    second.join();
    EXPECT_EQ(woken.load(), 2);
    CloseHandle(event);
}

TEST(EventTest, ManualResetReleasesEveryWaiterAndStaysSignalled)
{
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> woken{0};
    std::thread waiters[3];
    for (auto& waiter : waiters) {
        waiter = std::thread([&] {
            EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
            ++woken;
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(SetEvent(event));
    for (auto& waiter : waiters)
        waiter.join();
    EXPECT_EQ(woken.load(), 3);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    CloseHandle(event);
}

TEST(EventTest, WaiterSurvivesTheHandleBeingClosed)
{
    // On Windows a wait holds the object: closing the handle neither ends nor breaks it.
    uint32_t events_before = event_table().used_slots();
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    DWORD result = 0;
    std::thread waiter([&] { result = WaitForSingleObject(event, 100); });
    ASSERT_TRUE(eventually([&] { return has_waiters(event); }));
    EXPECT_TRUE(CloseHandle(event));
    waiter.join();
    EXPECT_EQ(result, static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(event_table().used_slots(), events_before);
}

} // namespace
} // namespace vexil::kernel::testing
