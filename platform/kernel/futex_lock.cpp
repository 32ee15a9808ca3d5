// SPDX-License-Identifier: MIT
// The contended paths of FutexLock.
#include "kernel/futex_lock.h"

#include "kernel/futex.h"

namespace vexil::kernel {

void FutexLock::lock_contended() noexcept
{
    // The sections this lock guards are short, so a holder on another core is usually about to
    // let go: spin a little before paying for a sleep.
    for (int spins = 0; spins < 100; ++spins) {
        uint32_t expected = 0;
        if (m_word.load(std::memory_order_relaxed) == 0 &&
            m_word.compare_exchange_weak(expected, 1, std::memory_order_acquire, std::memory_order_relaxed))
            return;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
    // Mark the lock contended before sleeping, so the holder's unlock wakes someone.
    while (m_word.exchange(2, std::memory_order_acquire) != 0)
        futex_wait(m_word, 2, nullptr);
}

void FutexLock::wake_one() noexcept
{
    futex_wake(m_word, 1);
}

} // namespace vexil::kernel
