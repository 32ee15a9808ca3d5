// SPDX-License-Identifier: MIT
// Tests of threads: exit codes, thread ids, closed handles, Sleep and thread-exit callbacks.
#include "kernel/thread_exit.h"
#include "kernel_test_support.h"

#include <win32/kernel.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace vexil::kernel::testing {
namespace {

DWORD WINAPI wait_then_return(LPVOID event)
{
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 0xC0DE1234u;
}

TEST(ThreadTest, ExitCodeIsStillActiveUntilTheThreadEnds)
{
    HANDLE go = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, wait_then_return, go, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(WaitForSingleObject(thread, 20), static_cast<DWORD>(WAIT_TIMEOUT));

    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 0xC0DE1234u);
    // An ended thread stays signalled.
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(thread));
    SetLastError(0);
    EXPECT_FALSE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    CloseHandle(go);
}

DWORD WINAPI report_id(LPVOID out)
{
    *static_cast<DWORD*>(out) = GetCurrentThreadId();
    return 0;
}

TEST(ThreadTest, ReportedIdIsTheThreadsOwn)
{
    DWORD reported = 0;
    DWORD seen = 0;
    HANDLE thread = CreateThread(nullptr, 64 * 1024, report_id, &seen, 0, &reported);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    EXPECT_EQ(seen, reported);
    EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
    CloseHandle(thread);
}

TEST(ThreadTest, HandleClosedWhileTheThreadRunsLeaksNothing)
{
    uint32_t before = thread_table().used_slots();
    HANDLE go = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, wait_then_return, go, 0, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);
    SetEvent(go);
    // The running thread held its object; it goes once the thread has ended. (Threads of
    // earlier tests may let go of theirs meanwhile, hence at most.)
    EXPECT_TRUE(eventually([&] { return thread_table().used_slots() <= before; }));
    CloseHandle(go);
}

TEST(ThreadTest, BadArgumentsFail)
{
    SetLastError(0);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(CreateThread(nullptr, 0, report_id, nullptr, CREATE_SUSPENDED, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    DWORD code = 0;
    SetLastError(0);
    EXPECT_FALSE(GetExitCodeThread(nullptr, &code));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(ThreadTest, SleepWaitsAtLeastItsTime)
{
    auto start = Clock::now();
    Sleep(40);
    EXPECT_GE(milliseconds_since(start), 40);
    DWORD ticks = GetTickCount();
    Sleep(20);
    EXPECT_GE(GetTickCount() - ticks, 19u); // tick counts are whole milliseconds
    Sleep(0);
}

struct ExitLog {
    std::vector<int> order;
};

ExitLog* s_log = nullptr;

void log_exit(void* value)
{
    s_log->order.push_back(static_cast<int>(reinterpret_cast<intptr_t>(value)));
}

void log_exit_and_register_more(void* value)
{
    log_exit(value);
    EXPECT_TRUE(at_thread_exit(log_exit, reinterpret_cast<void*>(intptr_t{99})));
}

DWORD WINAPI register_three(LPVOID)
{
    EXPECT_TRUE(at_thread_exit(log_exit, reinterpret_cast<void*>(intptr_t{1})));
    EXPECT_TRUE(at_thread_exit(log_exit_and_register_more, reinterpret_cast<void*>(intptr_t{2})));
    EXPECT_TRUE(at_thread_exit(log_exit, reinterpret_cast<void*>(intptr_t{3})));
    return 0;
}

TEST(ThreadTest, ExitCallbacksRunMostRecentFirst)
{
    const std::vector<int> expected = {3, 2, 99, 1};
    for (bool create_thread : {true, false}) {
        SCOPED_TRACE(create_thread ? "CreateThread" : "std::thread");
        ExitLog log;
        s_log = &log;
        if (create_thread) {
            HANDLE thread = CreateThread(nullptr, 0, register_three, nullptr, 0, nullptr);
            // Once the handle is signalled, every callback has run.
            ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
            EXPECT_EQ(log.order, expected);
            CloseHandle(thread);
        } else {
            std::thread(register_three, nullptr).join();
            EXPECT_EQ(log.order, expected);
        }
        s_log = nullptr;
    }
}

void announce_exit(void*)
{
    std::fputs("callback ran\n", stderr);
}

TEST(ThreadTest, ExitCallbacksDoNotRunWhenTheProcessExits)
{
    EXPECT_EXIT(
        {
            at_thread_exit(announce_exit, nullptr);
            std::fputs("exiting\n", stderr);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "^exiting\n$");
}

} // namespace
} // namespace vexil::kernel::testing
