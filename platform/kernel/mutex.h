// SPDX-License-Identifier: MIT
// The mutex object: recursive ownership by one thread, handed over to waiters in order.
#pragma once

/*
 * The owner word holds the owning thread's id, or 0 when the mutex is free, plus a waiters bit
 * that is set while threads sleep on the mutex (only ever with an owner). Thread ids stay
 * below that bit.
 *
 * Uncontended, a take is one compare-and-swap of the owner word from 0 to the caller's id and
 * a release one compare-and-swap back, with the recursion count a plain field that only the
 * owner touches; no wait lock, no allocation, no system call. Whoever finds the waiters bit
 * set goes through the wait lock instead: a waiter sets the bit under the lock before it
 * sleeps, so a release that fails its compare-and-swap takes the lock and hands the mutex
 * straight to the oldest waiter (the owner word changes from one id to the other, never
 * passing through 0, so no other thread can slip in).
 *
 * A mutex whose owner ends while holding it is abandoned: the next owner learns it from
 * WAIT_ABANDONED, as on Windows.
 */

#include "kernel/handle_table.h"
#include "kernel/waitable.h"

#include <atomic>

namespace vexil::kernel {

// How a take went: not at all, fresh, once more by the owner, fresh from an ended owner, or
// refused because the owner already holds it as often as a mutex can be held.
enum class Take : uint8_t { Unavailable, Taken, TakenAgain, TakenAbandoned, TooDeep };

enum class Release : uint8_t { StillOwned, Freed };

class Mutex : public Waitable {
public:
    static constexpr uint32_t kWaitersBit = 0x80000000u;
    static constexpr uint32_t kMaxRecursion = 0x7fffffff; // as many takes as Windows allows

    Mutex() noexcept : Waitable(WaitableKind::Mutex) {}

    // The owner, 0 when free.
    DWORD owner() const noexcept { return m_owner.load(std::memory_order_relaxed) & ~kWaitersBit; }

    // Takes the mutex without the wait lock if it is free or already the caller's.
    Take try_take_fast(DWORD thread_id) noexcept { return take_as(thread_id, 0); }

    // Releases one level of ownership; the caller owns the mutex. Without the wait lock
    // unless a waiter must be handed the mutex.
    Release release(DWORD thread_id) noexcept
    {
        if (m_recursion > 1) {
            --m_recursion;
            return Release::StillOwned;
        }
        m_recursion = 0;
        uint32_t expected = thread_id;
        if (!m_owner.compare_exchange_strong(expected, 0, std::memory_order_release, std::memory_order_relaxed))
            [[unlikely]]
            release_contended();
        return Release::Freed;
    }

    // Each called with the wait lock held.
    bool can_take_locked(DWORD thread_id) const noexcept;
    Take take_locked(DWORD thread_id) noexcept;
    // Sets the waiters bit before a thread sleeps on the mutex; false when it has no owner.
    bool mark_waited_locked() noexcept;
    void waiters_gone_locked() noexcept;
    // Gives the mutex up on the owner's behalf: to the oldest wait-any waiter, or free.
    void hand_over_locked(bool abandoned) noexcept;
    // Undoes a take that a wait-all could not complete.
    void undo_take_locked(Take take) noexcept;

private:
    // Takes the mutex if it is free or already the caller's; a fresh owner word carries the
    // given waiters bit.
    Take take_as(DWORD thread_id, uint32_t waiters_bit) noexcept
    {
        uint32_t owner = m_owner.load(std::memory_order_relaxed);
        if ((owner & ~kWaitersBit) == thread_id) {
            if (m_recursion == kMaxRecursion)
                return Take::TooDeep;
            ++m_recursion;
            return Take::TakenAgain;
        }
        uint32_t expected = 0;
        if (owner != 0 || !m_owner.compare_exchange_strong(expected, thread_id | waiters_bit, std::memory_order_acquire,
                                                           std::memory_order_relaxed))
            return Take::Unavailable;
        m_recursion = 1;
        // Set by an ended owner before it let go (with release order), so the acquire above sees it.
        if (m_abandoned.load(std::memory_order_relaxed)) [[unlikely]] {
            m_abandoned.store(false, std::memory_order_relaxed);
            return Take::TakenAbandoned;
        }
        return Take::Taken;
    }

    // The waiters bit is set: the oldest waiter gets the mutex.
    void release_contended() noexcept;

    std::atomic<uint32_t> m_owner{0};
    uint32_t m_recursion = 0; // touched only by the owner, or under the wait lock at a hand-over
    std::atomic<bool> m_abandoned{false};
};

using MutexTable = HandleTable<Mutex, HandleKind::Mutex>;

namespace detail {
extern constinit MutexTable mutex_table_storage;
}

// Inline, as the page lock's fast path starts here.
inline MutexTable& mutex_table() noexcept
{
    return detail::mutex_table_storage;
}

} // namespace vexil::kernel
