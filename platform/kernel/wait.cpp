// SPDX-License-Identifier: MIT
// WaitForSingleObject and WaitForMultipleObjects over events, mutexes and threads.
#include "kernel/event.h"
#include "kernel/futex.h"
#include "kernel/mutex.h"
#include "kernel/thread.h"
#include "kernel/thread_record.h"
#include "kernel/waitable.h"

#include <optional>
#include <variant>

namespace vexil::kernel {

namespace {

constinit FutexLock s_wait_lock;

using ObjectRef = std::variant<std::monostate, EventTable::Ref, MutexTable::Ref, ThreadTable::Ref>;

// A counted reference to the waitable object a handle names, or null.
Waitable* acquire_waitable(HANDLE handle, ObjectRef& ref) noexcept
{
    switch (handle_kind(handle)) {
    case HandleKind::Event:
        return std::get<EventTable::Ref>(ref = event_table().acquire(handle)).get();
    case HandleKind::Mutex:
        return std::get<MutexTable::Ref>(ref = mutex_table().acquire(handle)).get();
    case HandleKind::Thread:
        return std::get<ThreadTable::Ref>(ref = thread_table().acquire(handle)).get();
    default:
        return nullptr;
    }
}

Mutex& as_mutex(Waitable& object) noexcept
{
    return static_cast<Mutex&>(object);
}

bool is_mutex(const WaitEntry& entry) noexcept
{
    return entry.object->kind() == WaitableKind::Mutex;
}

bool is_fresh(Take take) noexcept
{
    return take == Take::Taken || take == Take::TakenAbandoned;
}

void wake_locked(WaitBlock& block) noexcept
{
    if (block.woken.load(std::memory_order_relaxed) == 0) {
        block.woken.store(1, std::memory_order_release);
        futex_wake(block.woken, 1);
    }
}

void unlink_all_locked(WaitBlock& block) noexcept
{
    for (uint32_t i = 0; i < block.count; ++i) {
        if (block.entries[i].linked)
            unlink_waiter_locked(block.entries[i]);
    }
}

void satisfy_locked(WaitBlock& block, uint32_t index, bool abandoned) noexcept
{
    block.satisfied_index = static_cast<int32_t>(index);
    block.abandoned = abandoned;
    unlink_all_locked(block);
    wake_locked(block);
}

// Takes the object of one entry for a wait-any or single wait, if it is signalled.
Take take_one_locked(WaitEntry& entry, DWORD thread_id) noexcept
{
    Waitable& object = *entry.object;
    switch (object.kind()) {
    case WaitableKind::Event:
        return static_cast<Event&>(object).take_locked() ? Take::Taken : Take::Unavailable;
    case WaitableKind::Thread:
        return static_cast<Thread&>(object).has_ended() ? Take::Taken : Take::Unavailable;
    case WaitableKind::Mutex:
        return as_mutex(object).take_locked(thread_id);
    }
    return Take::Unavailable;
}

bool can_take_locked(const WaitEntry& entry, DWORD thread_id) noexcept
{
    Waitable& object = *entry.object;
    switch (object.kind()) {
    case WaitableKind::Event:
        return static_cast<Event&>(object).is_signalled();
    case WaitableKind::Thread:
        return static_cast<Thread&>(object).has_ended();
    case WaitableKind::Mutex:
        return as_mutex(object).can_take_locked(thread_id);
    }
    return false;
}

// WAIT_FAILED for a mutex already held as often as it can be; the caller sets the error.
DWORD result_for(uint32_t index, Take take) noexcept
{
    if (take == Take::TooDeep)
        return WAIT_FAILED;
    return (take == Take::TakenAbandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + index;
}

// Wait-any: the lowest index whose object is signalled, taken.
std::optional<DWORD> complete_any_locked(WaitBlock& block, Take* takes) noexcept
{
    for (uint32_t i = 0; i < block.count; ++i) {
        takes[i] = take_one_locked(block.entries[i], block.thread_id);
        if (takes[i] != Take::Unavailable)
            return result_for(i, takes[i]);
    }
    return std::nullopt;
}

// Wait-all: every object taken at once, or none. Mutexes are taken first because only they can
// still be lost, to a thread taking one on its lock-free path after the check.
std::optional<DWORD> complete_all_locked(WaitBlock& block, Take* takes) noexcept
{
    for (uint32_t i = 0; i < block.count; ++i) {
        takes[i] = Take::Unavailable;
        if (!can_take_locked(block.entries[i], block.thread_id))
            return std::nullopt;
    }
    for (uint32_t i = 0; i < block.count; ++i) {
        if (!is_mutex(block.entries[i]))
            continue;
        takes[i] = as_mutex(*block.entries[i].object).take_locked(block.thread_id);
        if (takes[i] == Take::Unavailable || takes[i] == Take::TooDeep) {
            bool too_deep = takes[i] == Take::TooDeep;
            for (uint32_t j = 0; j <= i; ++j) {
                if (is_mutex(block.entries[j]))
                    as_mutex(*block.entries[j].object).undo_take_locked(takes[j]);
                takes[j] = Take::Unavailable;
            }
            return too_deep ? std::optional<DWORD>(WAIT_FAILED) : std::nullopt;
        }
    }
    DWORD result = WAIT_OBJECT_0;
    for (uint32_t i = block.count; i-- > 0;) {
        if (!is_mutex(block.entries[i]))
            takes[i] = take_one_locked(block.entries[i], block.thread_id);
        if (takes[i] == Take::TakenAbandoned)
            result = WAIT_ABANDONED_0 + i;
    }
    return result;
}

// Whether an object other than a mutex still blocks a wait-all. Those objects change only
// under the wait lock, so the answer holds until the lock is let go.
bool blocked_by_other_than_mutex_locked(const WaitBlock& block) noexcept
{
    for (uint32_t i = 0; i < block.count; ++i) {
        if (!is_mutex(block.entries[i]) && !can_take_locked(block.entries[i], block.thread_id))
            return true;
    }
    return false;
}

// Links the block into every object's waiters before it sleeps. False when a mutex came free
// meanwhile, released on its lock-free path, which wakes no one: the wait tries again at once.
// A wait-all that another object still blocks sleeps all the same, since that object's signal,
// given under the wait lock, wakes it.
bool link_all_locked(WaitBlock& block) noexcept
{
    block.woken.store(0, std::memory_order_relaxed);
    for (uint32_t i = 0; i < block.count; ++i) {
        WaitEntry& entry = block.entries[i];
        link_waiter_locked(entry);
        if (is_mutex(entry) && !as_mutex(*entry.object).mark_waited_locked() &&
            (block.mode == WaitMode::Any || !blocked_by_other_than_mutex_locked(block))) {
            unlink_all_locked(block);
            return false;
        }
    }
    return true;
}

bool deadline_passed(const timespec& deadline) noexcept
{
    timespec now = monotonic_now();
    return now.tv_sec > deadline.tv_sec || (now.tv_sec == deadline.tv_sec && now.tv_nsec >= deadline.tv_nsec);
}

DWORD fail(DWORD error) noexcept
{
    SetLastError(error);
    return WAIT_FAILED;
}

// The wait itself; block entries are filled and their objects referenced.
DWORD wait_locked_loop(WaitBlock& block, Take* takes, DWORD milliseconds) noexcept
{
    std::optional<timespec> deadline;
    if (milliseconds != INFINITE && milliseconds != 0)
        deadline = deadline_after(milliseconds);

    FutexLockGuard guard(s_wait_lock);
    for (;;) {
        std::optional<DWORD> result =
            block.mode == WaitMode::Any ? complete_any_locked(block, takes) : complete_all_locked(block, takes);
        if (result)
            return *result;
        if (milliseconds == 0 || (deadline && deadline_passed(*deadline)))
            return WAIT_TIMEOUT;
        if (!link_all_locked(block))
            continue;

        s_wait_lock.unlock();
        while (block.woken.load(std::memory_order_acquire) == 0) {
            if (futex_wait(block.woken, 0, deadline ? &*deadline : nullptr) == WaitOutcome::TimedOut)
                break;
        }
        s_wait_lock.lock();

        if (block.satisfied_index >= 0) {
            uint32_t index = static_cast<uint32_t>(block.satisfied_index);
            takes[index] = block.abandoned ? Take::TakenAbandoned : Take::Taken;
            return result_for(index, takes[index]);
        }
        unlink_all_locked(block);
    }
}

DWORD wait_for_objects(DWORD count, const HANDLE* handles, WaitMode mode, DWORD milliseconds) noexcept
{
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles)
        return fail(ERROR_INVALID_PARAMETER);

    ObjectRef refs[MAXIMUM_WAIT_OBJECTS];
    WaitBlock block;
    block.thread_id = current_thread_id();
    block.mode = mode;
    block.count = count;
    uint32_t mutexes = 0;
    for (uint32_t i = 0; i < count; ++i) {
        Waitable* object = acquire_waitable(handles[i], refs[i]);
        if (!object)
            return fail(ERROR_INVALID_HANDLE);
        block.entries[i] = WaitEntry{&block, object, i, false, nullptr, nullptr};
        mutexes += object->kind() == WaitableKind::Mutex;
    }
    // Windows refuses to wait for all of a list that names one object twice.
    if (mode == WaitMode::All) {
        for (uint32_t i = 0; i < count; ++i) {
            for (uint32_t j = 0; j < i; ++j) {
                if (block.entries[i].object == block.entries[j].object)
                    return fail(ERROR_INVALID_PARAMETER);
            }
        }
    }
    // Room to record every mutex this wait may take, so that recording cannot fail later.
    if (mutexes != 0 && !reserve_owned_mutexes(mutexes))
        return fail(ERROR_NOT_ENOUGH_MEMORY);

    Take takes[MAXIMUM_WAIT_OBJECTS];
    DWORD result = wait_locked_loop(block, takes, milliseconds);
    if (result == WAIT_FAILED)
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    if (result != WAIT_TIMEOUT) {
        for (uint32_t i = 0; i < count; ++i) {
            if (is_mutex(block.entries[i]) && is_fresh(takes[i]))
                static_cast<void>(record_owned_mutex(handles[i]));
        }
    }
    return result;
}

// The rest of a single wait on a mutex after its lock-free take: abandoned, refused, not
// recorded, or not taken at all.
[[gnu::noinline]] DWORD finish_mutex_take(HANDLE handle, Mutex& mutex, Take take, DWORD milliseconds) noexcept
{
    switch (take) {
    case Take::TooDeep:
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    case Take::Taken:
    case Take::TakenAbandoned:
        if (record_owned_mutex(handle))
            return result_for(0, take);
        {
            FutexLockGuard guard(s_wait_lock);
            mutex.undo_take_locked(take);
        }
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    case Take::TakenAgain:
        return WAIT_OBJECT_0;
    case Take::Unavailable:
        break;
    }
    if (milliseconds == 0)
        return WAIT_TIMEOUT;
    return wait_for_objects(1, &handle, WaitMode::Any, milliseconds);
}

} // namespace

FutexLock& wait_lock() noexcept
{
    return s_wait_lock;
}

void link_waiter_locked(WaitEntry& entry) noexcept
{
    Waitable& object = *entry.object;
    entry.prev = object.m_last;
    entry.next = nullptr;
    (object.m_last ? object.m_last->next : object.m_first) = &entry;
    object.m_last = &entry;
    entry.linked = true;
}

void unlink_waiter_locked(WaitEntry& entry) noexcept
{
    Waitable& object = *entry.object;
    (entry.prev ? entry.prev->next : object.m_first) = entry.next;
    (entry.next ? entry.next->prev : object.m_last) = entry.prev;
    entry.linked = false;
    if (object.kind() == WaitableKind::Mutex && !object.has_waiters())
        as_mutex(object).waiters_gone_locked();
}

WaitBlock* satisfy_first_waiter_locked(Waitable& object, bool abandoned) noexcept
{
    for (WaitEntry* entry = object.m_first; entry; entry = entry->next) {
        WaitBlock& block = *entry->block;
        if (block.mode == WaitMode::Any) {
            satisfy_locked(block, entry->index, abandoned);
            return &block;
        }
        wake_locked(block);
    }
    return nullptr;
}

void satisfy_all_waiters_locked(Waitable& object) noexcept
{
    WaitEntry* entry = object.m_first;
    while (entry) {
        WaitBlock& block = *entry->block;
        if (block.mode == WaitMode::Any) {
            // Satisfying unlinks all of the block's entries, perhaps more than one of this list.
            satisfy_locked(block, entry->index, false);
            entry = object.m_first;
        } else {
            wake_locked(block);
            entry = entry->next;
        }
    }
}

} // namespace vexil::kernel

using namespace vexil::kernel;

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds)
{
    // The page lock's path: an uncontended mutex is taken without the wait lock or a reference,
    // and whatever is not that plain case leaves through one call.
    if (handle_kind(hHandle) == HandleKind::Mutex) {
        if (Mutex* mutex = mutex_table().lookup(hHandle)) {
            Take take = mutex->try_take_fast(current_thread_id());
            if (take == Take::TakenAgain || (take == Take::Taken && record_owned_mutex(hHandle)))
                return WAIT_OBJECT_0;
            return finish_mutex_take(hHandle, *mutex, take, dwMilliseconds);
        }
    }
    return wait_for_objects(1, &hHandle, WaitMode::Any, dwMilliseconds);
}

DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds)
{
    return wait_for_objects(nCount, lpHandles, bWaitAll ? WaitMode::All : WaitMode::Any, dwMilliseconds);
}
