// SPDX-License-Identifier: MIT
// Each thread's own kernel state: its id, the mutexes it owns and its exit callbacks.
#pragma once

#include <win32/types.h>

#include <cstdint>

namespace vexil::kernel {

/*
 * One record per thread, in trivially destructible thread-local storage, so that it stays
 * usable to the very end of the thread. The first time a thread needs work done at its end
 * (it takes a mutex or registers a callback), the record is armed: a pthread key destructor
 * then runs that work when the thread ends, and a CreateThread thread runs it itself as soon
 * as its start routine returns.
 *
 * Owned mutexes are kept by handle, not by pointer: at the end of the thread each is looked
 * up again, so a mutex closed meanwhile is simply skipped.
 */
struct ExitCallback;

struct ThreadRecord {
    static constexpr uint32_t kInlineOwned = 16;

    uint32_t id;
    bool armed;
    uint32_t owned_count;
    uint32_t owned_room; // entries owned can hold; 0 until the record is armed
    HANDLE* owned;       // owned_inline, or a heap block once more are owned at a time
    HANDLE owned_inline[kInlineOwned];
    ExitCallback* callbacks; // most recent first
};

// The calling thread's record, armed or not.
ThreadRecord& current_thread_record() noexcept;

// The calling thread's id, assigned on first use; never 0. No system call.
inline DWORD current_thread_id() noexcept;

// Gives the calling thread a chosen id before it runs anything else (CreateThread's threads).
void adopt_thread_id(DWORD id) noexcept;

// A new id for a thread about to be made.
DWORD allocate_thread_id() noexcept;

// Makes room to record that many more owned mutexes; false when no memory can be had.
[[nodiscard]] bool reserve_owned_mutexes(uint32_t count) noexcept;

// Remembers that the calling thread owns the mutex; false when no memory can be had (never
// after a successful reserve_owned_mutexes for it).
[[nodiscard]] inline bool record_owned_mutex(HANDLE mutex) noexcept;

// Forgets that the calling thread owns the mutex.
inline void forget_owned_mutex(HANDLE mutex) noexcept;

// Runs the calling thread's exit callbacks, then abandons the mutexes it still owns.
void run_thread_exit() noexcept;

// Defined in mutex.cpp: hands a mutex the ending thread still owns to its next waiter.
void abandon_mutex(HANDLE mutex, DWORD owner) noexcept;

namespace detail {
// Initial-exec: the layer is linked into programs, not loaded later, so the record is reached
// at a fixed offset from the thread pointer instead of through __tls_get_addr.
extern thread_local constinit ThreadRecord t_record __attribute__((tls_model("initial-exec")));
DWORD assign_thread_id() noexcept;
bool record_owned_mutex_slow(HANDLE mutex) noexcept;
void forget_owned_mutex_slow(HANDLE mutex) noexcept;
} // namespace detail

inline DWORD current_thread_id() noexcept
{
    DWORD id = detail::t_record.id;
    return id != 0 ? id : detail::assign_thread_id();
}

// The page lock takes and releases one mutex at a time: the common cases are an armed record
// with room, and a release of the mutex taken last.
inline bool record_owned_mutex(HANDLE mutex) noexcept
{
    ThreadRecord& record = detail::t_record;
    if (record.owned_count < record.owned_room) {
        record.owned[record.owned_count++] = mutex;
        return true;
    }
    return detail::record_owned_mutex_slow(mutex);
}

inline void forget_owned_mutex(HANDLE mutex) noexcept
{
    ThreadRecord& record = detail::t_record;
    if (record.owned_count != 0 && record.owned[record.owned_count - 1] == mutex) {
        --record.owned_count;
        return;
    }
    detail::forget_owned_mutex_slow(mutex);
}

} // namespace vexil::kernel
