// SPDX-License-Identifier: MIT
// Futex waits and wakes on 32-bit words, and the monotonic clock that timed waits use.
#include "kernel/futex.h"

#include <cerrno>
#include <climits>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vexil::kernel {

static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t) && std::atomic<uint32_t>::is_always_lock_free,
              "futex words must be plain 32-bit words");

timespec monotonic_now() noexcept
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

timespec deadline_after(uint32_t milliseconds) noexcept
{
    timespec deadline = monotonic_now();
    deadline.tv_sec += static_cast<time_t>(milliseconds / 1000);
    deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_nsec -= 1000000000L;
        ++deadline.tv_sec;
    }
    return deadline;
}

static uint32_t* word_address(std::atomic<uint32_t>& word) noexcept
{
    return reinterpret_cast<uint32_t*>(&word);
}

WaitOutcome futex_wait(std::atomic<uint32_t>& word, uint32_t expected, const timespec* deadline) noexcept
{
    // FUTEX_WAIT_BITSET takes an absolute deadline on the monotonic clock, so a wait that is
    // woken early and resumes does not stretch its time-out.
    long result = syscall(SYS_futex, word_address(word), FUTEX_WAIT_BITSET | FUTEX_PRIVATE_FLAG, expected, deadline,
                          nullptr, FUTEX_BITSET_MATCH_ANY);
    if (result == -1 && errno == ETIMEDOUT)
        return WaitOutcome::TimedOut;
    return WaitOutcome::Woken;
}

void futex_wake(std::atomic<uint32_t>& word, int count) noexcept
{
    syscall(SYS_futex, word_address(word), FUTEX_WAKE | FUTEX_PRIVATE_FLAG, count, nullptr, nullptr, 0);
}

} // namespace vexil::kernel
