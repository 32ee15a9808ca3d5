// SPDX-License-Identifier: MIT
// Futex waits and wakes on 32-bit words, and the monotonic clock that timed waits use.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>

namespace vexil::kernel {

enum class WaitOutcome { Woken, TimedOut };

// Now on the monotonic clock.
timespec monotonic_now() noexcept;

// Now plus the given milliseconds on the monotonic clock.
timespec deadline_after(uint32_t milliseconds) noexcept;

// Sleeps while *word == expected, until woken or until the absolute monotonic deadline (null:
// none). Returns TimedOut only once the deadline has passed; Woken may be spurious, so callers
// test their condition again.
WaitOutcome futex_wait(std::atomic<uint32_t>& word, uint32_t expected, const timespec* deadline) noexcept;

// Wakes up to count threads sleeping on word.
void futex_wake(std::atomic<uint32_t>& word, int count) noexcept;

} // namespace vexil::kernel
