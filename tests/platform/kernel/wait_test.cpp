// SPDX-License-Identifier: MIT
// Tests of WaitForMultipleObjects: index order, mixed kinds, wait-all, time-outs and bad input.
#include "kernel_test_support.h"

#include <win32/kernel.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace vexil::kernel::testing {
namespace {

struct Events {
    explicit Events(int count, BOOL manual = FALSE)
    {
        for (int i = 0; i < count; ++i)
            handles.push_back(CreateEventA(nullptr, manual, FALSE, nullptr));
    }
    ~Events()
    {
        for (HANDLE handle : handles)
            CloseHandle(handle);
    }
    DWORD count() const { return static_cast<DWORD>(handles.size()); }
    std::vector<HANDLE> handles;
};

TEST(WaitTest, WaitAnyReturnsTheLowestSignalledIndex)
{
    struct Case {
        std::vector<int> signalled;
        DWORD expected;
    };
    const Case cases[] = {
        {{}, WAIT_TIMEOUT},          {{0}, WAIT_OBJECT_0},    {{2}, WAIT_OBJECT_0 + 2},
        {{1, 2}, WAIT_OBJECT_0 + 1}, {{3, 0}, WAIT_OBJECT_0},
    };
    for (const Case& c : cases) {
        Events events(4);
        for (int index : c.signalled)
            SetEvent(events.handles[index]);
        EXPECT_EQ(WaitForMultipleObjects(events.count(), events.handles.data(), FALSE, 0), c.expected);
        // Only the auto-reset event that satisfied the wait was consumed.
        for (int index : c.signalled) {
            DWORD expected = WAIT_OBJECT_0 + static_cast<DWORD>(index) == c.expected ? WAIT_TIMEOUT : WAIT_OBJECT_0;
            EXPECT_EQ(WaitForSingleObject(events.handles[index], 0), expected);
        }
    }
}

TEST(WaitTest, WaitAnyWakesForTheObjectSignalledLater)
{
    Events events(3);
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        SetEvent(events.handles[2]);
    });
    EXPECT_EQ(WaitForMultipleObjects(events.count(), events.handles.data(), FALSE, 5000), WAIT_OBJECT_0 + 2);
    setter.join();
    // Nothing is left behind on the objects that did not end the wait.
    for (HANDLE handle : events.handles)
        EXPECT_FALSE(has_waiters(handle));
}

DWORD WINAPI end_at_once(LPVOID)
{
    return 3;
}

DWORD WINAPI signal_and_stay(LPVOID event)
{
    SetEvent(static_cast<HANDLE>(event));
    Sleep(50);
    return 0;
}

TEST(WaitTest, ThreadHandleAndReadyEvent)
{
    // A starting thread either ends (index 0) or reports ready (index 1).
    HANDLE ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE ended = CreateThread(nullptr, 0, end_at_once, nullptr, 0, nullptr);
    HANDLE both[] = {ended, ready};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, INFINITE), WAIT_OBJECT_0);

    HANDLE running = CreateThread(nullptr, 0, signal_and_stay, ready, 0, nullptr);
    both[0] = running;
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, INFINITE), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForSingleObject(running, INFINITE), WAIT_OBJECT_0);
    CloseHandle(ended);
    CloseHandle(running);
    CloseHandle(ready);
}

TEST(WaitTest, WaitAnyTakesAFreeMutexAndReportsItsIndex)
{
    Events events(1);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    HANDLE handles[] = {events.handles[0], mutex};
    EXPECT_EQ(WaitForMultipleObjects(2, handles, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex));
    CloseHandle(mutex);
}

TEST(WaitTest, WaitAllNeedsEveryObjectAtOnce)
{
    Events events(2);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    HANDLE handles[] = {events.handles[0], mutex, events.handles[1]};
    SetEvent(events.handles[0]);
    EXPECT_EQ(WaitForMultipleObjects(3, handles, TRUE, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    // A failed wait-all takes nothing: the first event is still signalled, the mutex free.
    EXPECT_EQ(WaitForSingleObject(events.handles[0], 0), WAIT_OBJECT_0);
    SetEvent(events.handles[0]);

    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        SetEvent(events.handles[1]);
    });
    EXPECT_EQ(WaitForMultipleObjects(3, handles, TRUE, 5000), WAIT_OBJECT_0);
    setter.join();
    // Both auto-reset events were consumed and the mutex is owned.
    EXPECT_EQ(WaitForMultipleObjects(2, events.handles.data(), FALSE, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(ReleaseMutex(mutex));
    CloseHandle(mutex);
}

TEST(WaitTest, WaitAllWaitsForAMutexHeldElsewhere)
{
    Events events(1, TRUE);
    SetEvent(events.handles[0]);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    HANDLE release_it = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::thread owner([&] {
        WaitForSingleObject(mutex, INFINITE);
        WaitForSingleObject(release_it, INFINITE);
        ReleaseMutex(mutex);
    });
    ASSERT_TRUE(eventually([&] { return mutex_table().lookup(mutex)->owner() != 0; }));
    HANDLE handles[] = {events.handles[0], mutex};
    EXPECT_EQ(WaitForMultipleObjects(2, handles, TRUE, 30), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(release_it);
    EXPECT_EQ(WaitForMultipleObjects(2, handles, TRUE, 5000), WAIT_OBJECT_0);
    owner.join();
    EXPECT_TRUE(ReleaseMutex(mutex));
    CloseHandle(release_it);
    CloseHandle(mutex);
}

TEST(WaitTest, WaitAllAndLockFreeTakesExcludeEachOther)
{
    // Two threads take the mutex on its lock-free path while a third takes it together with a
    // manual event through wait-all; the counter is guarded by the mutex alone.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    HANDLE open = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    HANDLE both[] = {mutex, open};
    constexpr int kRounds = 1000;
    int counter = 0;
    auto plain = [&] {
        for (int i = 0; i < kRounds; ++i) {
            ASSERT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
            ++counter;
            ReleaseMutex(mutex);
        }
    };
    std::thread first(plain);
    std::thread second(plain);
    std::thread together([&] {
        for (int i = 0; i < kRounds; ++i) {
            ASSERT_EQ(WaitForMultipleObjects(2, both, TRUE, INFINITE), WAIT_OBJECT_0);
            ++counter;
            ReleaseMutex(mutex);
        }
    });
    first.join();
    second.join();
    together.join();
    EXPECT_EQ(counter, 3 * kRounds);
    CloseHandle(open);
    CloseHandle(mutex);
}

TEST(WaitTest, BadArgumentsFail)
{
    Events events(2);
    HANDLE closed = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(closed);
    HANDLE file_like = GlobalAlloc(GMEM_MOVEABLE, 4);
    HANDLE with_closed[] = {events.handles[0], closed};
    HANDLE with_memory[] = {events.handles[0], file_like};
    HANDLE twice[] = {events.handles[0], events.handles[0]};
    std::vector<HANDLE> too_many(MAXIMUM_WAIT_OBJECTS + 1, events.handles[0]);
    struct Case {
        const char* name;
        DWORD count;
        const HANDLE* handles;
        BOOL wait_all;
        DWORD error;
    };
    const Case cases[] = {
        {"no handles", 0, events.handles.data(), FALSE, ERROR_INVALID_PARAMETER},
        {"null array", 2, nullptr, FALSE, ERROR_INVALID_PARAMETER},
        {"too many", MAXIMUM_WAIT_OBJECTS + 1, too_many.data(), FALSE, ERROR_INVALID_PARAMETER},
        {"closed handle", 2, with_closed, FALSE, ERROR_INVALID_HANDLE},
        {"not waitable", 2, with_memory, FALSE, ERROR_INVALID_HANDLE},
        {"one object twice, wait-all", 2, twice, TRUE, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        EXPECT_EQ(WaitForMultipleObjects(c.count, c.handles, c.wait_all, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), c.error);
    }
    // Wait-any accepts one object twice.
    SetEvent(events.handles[0]);
    EXPECT_EQ(WaitForMultipleObjects(2, twice, FALSE, 0), WAIT_OBJECT_0);
    GlobalFree(file_like);
}

} // namespace
} // namespace vexil::kernel::testing
