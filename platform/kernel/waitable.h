// SPDX-License-Identifier: MIT
// What the waitable kernel objects share: the wait lock, waiter lists and wait blocks.
#pragma once

/*
 * Every blocking wait, and every change of an object's state that can end one, happens under
 * one process-wide wait lock. A waiter fills a WaitBlock on its stack with one WaitEntry per
 * object, links each entry into its object's list of waiters (oldest first) and sleeps on the
 * block's futex word.
 *
 * An object that becomes signalled serves its waiters in order. A wait-any waiter is
 * *satisfied*: the object gives itself to that waiter (an auto-reset event is consumed, a
 * mutex changes owner), records which index it was, unlinks all the waiter's entries and wakes
 * it. A wait-all waiter is only *notified*: it wakes, takes the lock and tries again to take
 * all its objects at once. The uncontended mutex paths do not take the wait lock; see mutex.h
 * for how they stay consistent with it.
 *
 * Lock order: the wait lock may be taken before a handle table's lock, never after it.
 */

#include "kernel/futex_lock.h"

#include <win32/kernel.h>

#include <atomic>
#include <cstdint>

namespace vexil::kernel {

enum class WaitableKind : uint8_t { Event, Mutex, Thread };
enum class WaitMode : uint8_t { Any, All };

class Waitable;
struct WaitBlock;

struct WaitEntry {
    WaitBlock* block;
    Waitable* object;
    uint32_t index;
    bool linked;
    WaitEntry* prev;
    WaitEntry* next;
};

struct WaitBlock {
    std::atomic<uint32_t> woken{0};
    DWORD thread_id = 0;
    WaitMode mode = WaitMode::Any;
    int32_t satisfied_index = -1; // set by the object that satisfied a wait-any waiter
    bool abandoned = false;       // that object was a mutex whose owner ended holding it
    uint32_t count = 0;
    WaitEntry entries[MAXIMUM_WAIT_OBJECTS];
};

class Waitable {
public:
    explicit Waitable(WaitableKind kind) noexcept : m_kind(kind) {}

    WaitableKind kind() const noexcept { return m_kind; }
    // Called with the wait lock held.
    bool has_waiters() const noexcept { return m_first != nullptr; }

private:
    friend void link_waiter_locked(WaitEntry& entry) noexcept;
    friend void unlink_waiter_locked(WaitEntry& entry) noexcept;
    friend WaitBlock* satisfy_first_waiter_locked(Waitable& object, bool abandoned) noexcept;
    friend void satisfy_all_waiters_locked(Waitable& object) noexcept;

    WaitableKind m_kind;
    WaitEntry* m_first = nullptr; // guarded by the wait lock
    WaitEntry* m_last = nullptr;
};

FutexLock& wait_lock() noexcept;

// Each called with the wait lock held.
void link_waiter_locked(WaitEntry& entry) noexcept;
void unlink_waiter_locked(WaitEntry& entry) noexcept;
// Gives the object to its oldest wait-any waiter, notifying the wait-all waiters before it;
// returns the satisfied block, or null when no wait-any waiter was there.
WaitBlock* satisfy_first_waiter_locked(Waitable& object, bool abandoned) noexcept;
// Satisfies every wait-any waiter and notifies every wait-all waiter.
void satisfy_all_waiters_locked(Waitable& object) noexcept;

} // namespace vexil::kernel
