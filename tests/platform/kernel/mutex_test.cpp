// SPDX-License-Identifier: MIT
// Tests of mutexes: recursion, ownership errors, hand-over, time-outs and abandonment.
#include "kernel_test_support.h"

#include <win32/kernel.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace vexil::kernel::testing {
namespace {

DWORD wait_from_other_thread(HANDLE mutex, DWORD timeout)
{
    DWORD result = 0;
    std::thread other([&] {
        result = WaitForSingleObject(mutex, timeout);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED)
            ReleaseMutex(mutex);
    });
    other.join();
    return result;
}

TEST(MutexTest, IsFreeAfterAsManyReleasesAsTakes)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    ASSERT_NE(mutex, nullptr);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(WaitForSingleObject(mutex, 5000), WAIT_OBJECT_0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(wait_from_other_thread(mutex, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "after " << i << " releases";
        ASSERT_TRUE(ReleaseMutex(mutex));
    }
    EXPECT_EQ(wait_from_other_thread(mutex, 0), WAIT_OBJECT_0);
    // One release too many.
    SetLastError(0);
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
    CloseHandle(mutex);
}

TEST(MutexTest, InitialOwnerOwnsIt)
{
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    EXPECT_EQ(wait_from_other_thread(mutex, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(wait_from_other_thread(mutex, 0), WAIT_OBJECT_0);
    CloseHandle(mutex);
}

TEST(MutexTest, NonOwnerCannotReleaseARecursivelyTakenMutex)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    ASSERT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
    ASSERT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
    std::thread other([&] {
        SetLastError(0);
        EXPECT_FALSE(ReleaseMutex(mutex));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
        EXPECT_EQ(WaitForSingleObject(mutex, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    });
    other.join();
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_TRUE(ReleaseMutex(mutex));
    CloseHandle(mutex);
}

TEST(MutexTest, TimedWaitOnAHeldMutexWaitsAtLeastItsTimeOut)
{
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    std::thread other([&] {
        auto start = Clock::now();
        EXPECT_EQ(WaitForSingleObject(mutex, 80), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_GE(milliseconds_since(start), 80);
    });
    other.join();
    // The timed-out waiter left no trace: releasing takes the plain path and frees it.
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(wait_from_other_thread(mutex, 0), WAIT_OBJECT_0);
    CloseHandle(mutex);
}

TEST(MutexTest, ReleaseHandsTheMutexToTheWaiter)
{
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    std::atomic<bool> owned_by_other{false};
    HANDLE release_it = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::thread other([&] {
        EXPECT_EQ(WaitForSingleObject(mutex, 5000), WAIT_OBJECT_0);
        owned_by_other = true;
        WaitForSingleObject(release_it, INFINITE);
        EXPECT_TRUE(ReleaseMutex(mutex));
    });
    ASSERT_TRUE(eventually([&] { return has_waiters(mutex); }));
    EXPECT_TRUE(ReleaseMutex(mutex));
    ASSERT_TRUE(eventually([&] { return owned_by_other.load(); }));
    // The waiter owns it now; this thread cannot take it back until it is released.
    EXPECT_EQ(WaitForSingleObject(mutex, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(release_it);
    EXPECT_EQ(WaitForSingleObject(mutex, 5000), WAIT_OBJECT_0);
    other.join();
    EXPECT_TRUE(ReleaseMutex(mutex));
    CloseHandle(release_it);
    CloseHandle(mutex);
}

TEST(MutexTest, ContendedCounterStaysExact)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    constexpr int kThreads = 4;
    constexpr int kRounds = 2000;
    int counter = 0; // guarded by the mutex alone, so TSan sees any gap in the exclusion
    std::thread threads[kThreads];
    for (auto& thread : threads) {
        thread = std::thread([&] {
            for (int i = 0; i < kRounds; ++i) {
                ASSERT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
                ASSERT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
                ++counter;
                ReleaseMutex(mutex);
                ReleaseMutex(mutex);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(counter, kThreads * kRounds);
    CloseHandle(mutex);
}

DWORD WINAPI take_and_end(LPVOID mutex)
{
    WaitForSingleObject(static_cast<HANDLE>(mutex), INFINITE);
    WaitForSingleObject(static_cast<HANDLE>(mutex), INFINITE);
    return 0;
}

TEST(MutexTest, OwnerEndingHoldingItAbandonsIt)
{
    struct Case {
        const char* name;
        bool create_thread; // CreateThread, else a thread the layer did not make
    };
    for (Case c : {Case{"CreateThread", true}, Case{"std::thread", false}}) {
        SCOPED_TRACE(c.name);
        HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
        if (c.create_thread) {
            HANDLE thread = CreateThread(nullptr, 0, take_and_end, mutex, 0, nullptr);
            ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
            CloseHandle(thread);
        } else {
            std::thread(take_and_end, mutex).join();
        }
        EXPECT_EQ(WaitForSingleObject(mutex, 0), static_cast<DWORD>(WAIT_ABANDONED));
        // This thread owns it now, once, and the abandonment is reported only once.
        EXPECT_TRUE(ReleaseMutex(mutex));
        EXPECT_FALSE(ReleaseMutex(mutex));
        EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
        EXPECT_TRUE(ReleaseMutex(mutex));
        CloseHandle(mutex);
    }
}

TEST(MutexTest, BlockedWaiterLearnsOfAbandonment)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    HANDLE end_now = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::thread owner([&] {
        WaitForSingleObject(mutex, INFINITE);
        WaitForSingleObject(end_now, INFINITE);
    });
    ASSERT_TRUE(eventually([&] { return mutex_table().lookup(mutex)->owner() != 0; }));
    DWORD result = 0;
    std::thread waiter([&] {
        result = WaitForSingleObject(mutex, INFINITE);
        ReleaseMutex(mutex);
    });
    ASSERT_TRUE(eventually([&] { return has_waiters(mutex); }));
    // Closing the handle meanwhile does not rob the waiter of the news.
    EXPECT_TRUE(CloseHandle(mutex));
    SetEvent(end_now);
    owner.join();
    waiter.join();
    EXPECT_EQ(result, static_cast<DWORD>(WAIT_ABANDONED));
    CloseHandle(end_now);
}

TEST(MutexTest, ReleasingAnInvalidHandleFails)
{
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (HANDLE bad : {event, static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
        SetLastError(0);
        EXPECT_FALSE(ReleaseMutex(bad));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    EXPECT_TRUE(CloseHandle(mutex));
    SetLastError(0);
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    CloseHandle(event);
}

} // namespace
} // namespace vexil::kernel::testing
