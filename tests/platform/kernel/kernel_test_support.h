// SPDX-License-Identifier: MIT
// Helpers shared by the kernel tests: elapsed time and bounded polling.
#pragma once

#include "kernel/event.h"
#include "kernel/mutex.h"
#include "kernel/thread.h"

#include <chrono>
#include <thread>

namespace vexil::kernel::testing {

using Clock = std::chrono::steady_clock;

inline long long milliseconds_since(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Polls until the condition holds or ten seconds passed; returns whether it held.
template <typename Condition> bool eventually(Condition condition)
{
    auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Whether a thread is blocked on the object, so a test can act once a waiter really waits.
inline bool has_waiters(HANDLE handle)
{
    FutexLockGuard guard(wait_lock());
    Waitable* object = nullptr;
    switch (handle_kind(handle)) {
    case HandleKind::Event:
        object = event_table().lookup(handle);
        break;
    case HandleKind::Mutex:
        object = mutex_table().lookup(handle);
        break;
    case HandleKind::Thread:
        object = thread_table().lookup(handle);
        break;
    default:
        break;
    }
    return object && object->has_waiters();
}

} // namespace vexil::kernel::testing
