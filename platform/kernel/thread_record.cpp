// SPDX-License-Identifier: MIT
// Each thread's own kernel state, and the work run when a thread ends.
#include "kernel/thread_record.h"

#include "kernel/thread_exit.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <pthread.h>

namespace vexil::kernel {

struct ExitCallback {
    void (*fn)(void*);
    void* arg;
    ExitCallback* next;
};

namespace detail {
thread_local constinit ThreadRecord t_record __attribute__((tls_model("initial-exec"))){};
}

namespace {

// Ids stay below the top bit, which the mutex keeps for its waiters.
constexpr uint32_t kThreadIdMask = 0x7fffffff;
std::atomic<uint32_t> s_next_thread_id{1};

void on_thread_end(void*)
{
    run_thread_exit();
}

pthread_key_t exit_key() noexcept
{
    static const pthread_key_t key = [] {
        pthread_key_t created{};
        pthread_key_create(&created, &on_thread_end);
        return created;
    }();
    return key;
}

void arm(ThreadRecord& record) noexcept
{
    if (!record.armed) {
        // Any non-null value makes the key's destructor run when the thread ends.
        pthread_setspecific(exit_key(), &record);
        record.armed = true;
    }
    if (!record.owned) {
        record.owned = record.owned_inline;
        record.owned_room = ThreadRecord::kInlineOwned;
    }
}

} // namespace

ThreadRecord& current_thread_record() noexcept
{
    return detail::t_record;
}

DWORD allocate_thread_id() noexcept
{
    for (;;) {
        uint32_t id = s_next_thread_id.fetch_add(1, std::memory_order_relaxed) & kThreadIdMask;
        if (id != 0)
            return id;
    }
}

DWORD detail::assign_thread_id() noexcept
{
    t_record.id = allocate_thread_id();
    return t_record.id;
}

void adopt_thread_id(DWORD id) noexcept
{
    detail::t_record.id = id;
}

bool reserve_owned_mutexes(uint32_t count) noexcept
{
    ThreadRecord& record = detail::t_record;
    arm(record);
    if (count <= record.owned_room - record.owned_count)
        return true;
    uint64_t needed = uint64_t{record.owned_count} + count;
    uint64_t capacity = uint64_t{record.owned_room} * 2;
    while (capacity < needed)
        capacity *= 2;
    if (capacity > UINT32_MAX)
        return false;
    auto* grown = static_cast<HANDLE*>(std::malloc(capacity * sizeof(HANDLE)));
    if (!grown)
        return false;
    std::memcpy(grown, record.owned, record.owned_count * sizeof(HANDLE));
    if (record.owned != record.owned_inline)
        std::free(record.owned);
    record.owned = grown;
    record.owned_room = static_cast<uint32_t>(capacity);
    return true;
}

bool detail::record_owned_mutex_slow(HANDLE mutex) noexcept
{
    if (!reserve_owned_mutexes(1))
        return false;
    ThreadRecord& record = detail::t_record;
    record.owned[record.owned_count++] = mutex;
    return true;
}

void detail::forget_owned_mutex_slow(HANDLE mutex) noexcept
{
    ThreadRecord& record = detail::t_record;
    HANDLE* owned = record.owned;
    // The mutex released is nearly always the one taken last.
    for (uint32_t i = record.owned_count; i-- > 0;) {
        if (owned[i] == mutex) {
            std::memmove(owned + i, owned + i + 1, (record.owned_count - i - 1) * sizeof(HANDLE));
            --record.owned_count;
            return;
        }
    }
}

bool at_thread_exit(void (*fn)(void*), void* arg) noexcept
{
    ThreadRecord& record = detail::t_record;
    auto* callback = new (std::nothrow) ExitCallback{fn, arg, record.callbacks};
    if (!callback)
        return false;
    arm(record);
    record.callbacks = callback;
    return true;
}

void run_thread_exit() noexcept
{
    ThreadRecord& record = detail::t_record;
    DWORD id = current_thread_id();
    // Callbacks may register more callbacks or take mutexes; keep going until nothing is left.
    for (;;) {
        if (ExitCallback* callback = record.callbacks) {
            record.callbacks = callback->next;
            void (*fn)(void*) = callback->fn;
            void* arg = callback->arg;
            delete callback;
            fn(arg);
        } else if (record.owned_count != 0) {
            abandon_mutex(record.owned[--record.owned_count], id);
        } else {
            break;
        }
    }
    if (record.owned != record.owned_inline)
        std::free(record.owned);
    record.owned = nullptr;
    record.owned_room = 0;
    if (record.armed) {
        pthread_setspecific(exit_key(), nullptr);
        record.armed = false;
    }
}

} // namespace vexil::kernel
