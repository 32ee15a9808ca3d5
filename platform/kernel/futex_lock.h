// SPDX-License-Identifier: MIT
// A small mutual-exclusion lock on a futex word, for the layer's short internal sections.
#pragma once

#include <atomic>
#include <cstdint>

namespace vexil::kernel {

/*
 * The word is 0 when free, 1 when held, 2 when held and someone may sleep on it. Taking a free
 * lock is one compare-and-swap and releasing an uncontended one is one exchange, so neither
 * makes a system call; a waiter spins briefly, then sleeps in the kernel.
 * Unlike std::mutex it is trivially destructible, so a static one is never torn down by exit()
 * under a thread that still uses it.
 */
class FutexLock {
public:
    void lock() noexcept
    {
        uint32_t expected = 0;
        if (!m_word.compare_exchange_strong(expected, 1, std::memory_order_acquire, std::memory_order_relaxed))
            lock_contended();
    }
    void unlock() noexcept
    {
        if (m_word.exchange(0, std::memory_order_release) == 2)
            wake_one();
    }

private:
    void lock_contended() noexcept;
    void wake_one() noexcept;

    std::atomic<uint32_t> m_word{0};
};

// Holds a FutexLock for a scope.
class FutexLockGuard {
public:
    explicit FutexLockGuard(FutexLock& lock) noexcept : m_lock(lock) { m_lock.lock(); }
    ~FutexLockGuard() { m_lock.unlock(); }
    FutexLockGuard(const FutexLockGuard&) = delete;
    FutexLockGuard& operator=(const FutexLockGuard&) = delete;

private:
    FutexLock& m_lock;
};

} // namespace vexil::kernel
