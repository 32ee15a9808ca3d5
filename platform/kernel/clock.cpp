// SPDX-License-Identifier: MIT
// Time: Sleep and GetTickCount.
#include "kernel/futex.h"

#include <win32/kernel.h>

#include <cerrno>
#include <sched.h>
#include <time.h>

using namespace vexil::kernel;

void WINAPI Sleep(DWORD dwMilliseconds)
{
    if (dwMilliseconds == 0) {
        // As on Windows: give the rest of the time slice to another ready thread.
        sched_yield();
        return;
    }
    if (dwMilliseconds == INFINITE) {
        for (;;)
            pause();
    }
    // An absolute deadline, so that a signal interrupting the sleep does not lengthen it.
    timespec deadline = deadline_after(dwMilliseconds);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

DWORD WINAPI GetTickCount(void)
{
    timespec now = monotonic_now();
    uint64_t milliseconds = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    // Wraps after 49.7 days, as Windows' does.
    return static_cast<DWORD>(milliseconds);
}
