// SPDX-License-Identifier: MIT
// Mutexes: CreateMutexA, ReleaseMutex, ownership hand-over and abandonment.
#include "kernel/mutex.h"

#include "kernel/thread_record.h"

namespace vexil::kernel {

constinit MutexTable detail::mutex_table_storage;

void Mutex::release_contended() noexcept
{
    FutexLockGuard guard(wait_lock());
    hand_over_locked(false);
}

bool Mutex::can_take_locked(DWORD thread_id) const noexcept
{
    uint32_t owner = m_owner.load(std::memory_order_relaxed);
    return owner == 0 || (owner & ~kWaitersBit) == thread_id;
}

Take Mutex::take_locked(DWORD thread_id) noexcept
{
    // Waiters still linked keep the bit, so the new owner's release hands the mutex on.
    return take_as(thread_id, has_waiters() ? kWaitersBit : 0);
}

bool Mutex::mark_waited_locked() noexcept
{
    uint32_t owner = m_owner.load(std::memory_order_relaxed);
    for (;;) {
        if (owner == 0)
            return false;
        if ((owner & kWaitersBit) != 0 ||
            m_owner.compare_exchange_weak(owner, owner | kWaitersBit, std::memory_order_relaxed))
            return true;
    }
}

void Mutex::waiters_gone_locked() noexcept
{
    uint32_t owner = m_owner.load(std::memory_order_relaxed);
    while ((owner & kWaitersBit) != 0 &&
           !m_owner.compare_exchange_weak(owner, owner & ~kWaitersBit, std::memory_order_relaxed)) {
    }
}

void Mutex::hand_over_locked(bool abandoned) noexcept
{
    if (WaitBlock* next = satisfy_first_waiter_locked(*this, abandoned)) {
        m_recursion = 1;
        m_owner.store(next->thread_id | (has_waiters() ? kWaitersBit : 0), std::memory_order_release);
        return;
    }
    m_recursion = 0;
    if (abandoned)
        m_abandoned.store(true, std::memory_order_relaxed);
    m_owner.store(0, std::memory_order_release);
}

void Mutex::undo_take_locked(Take take) noexcept
{
    if (take == Take::TakenAgain)
        --m_recursion;
    else if (take == Take::Taken || take == Take::TakenAbandoned)
        hand_over_locked(take == Take::TakenAbandoned);
}

void abandon_mutex(HANDLE handle, DWORD owner) noexcept
{
    // A mutex closed meanwhile is still reached while a waiter holds it, and that waiter must
    // learn that the owner is gone.
    MutexTable::Ref mutex = mutex_table().acquire(handle, Liveness::EvenIfClosed);
    if (!mutex)
        return;
    FutexLockGuard guard(wait_lock());
    if (mutex->owner() == owner)
        mutex->hand_over_locked(true);
}

} // namespace vexil::kernel

using namespace vexil::kernel;

HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL bInitialOwner, LPCSTR lpName)
{
    // Named objects are shared between processes on Windows; the layer has no such namespace.
    if (lpName) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    HANDLE handle = mutex_table().create();
    if (!handle) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (bInitialOwner) {
        static_cast<void>(mutex_table().lookup(handle)->try_take_fast(current_thread_id()));
        if (!record_owned_mutex(handle)) {
            static_cast<void>(mutex_table().destroy(handle));
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
    }
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL WINAPI ReleaseMutex(HANDLE hMutex)
{
    Mutex* mutex = mutex_table().lookup(hMutex);
    if (!mutex) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD thread_id = current_thread_id();
    if (mutex->owner() != thread_id) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    if (mutex->release(thread_id) == Release::Freed)
        forget_owned_mutex(hMutex);
    return TRUE;
}
