// SPDX-License-Identifier: MIT
// The record of window-procedure calls for tests.
#include "user/message_log.h"

#include "kernel/futex_lock.h"

#include <atomic>
#include <cstdint>

namespace vexil::user {

namespace {

struct Log {
    kernel::FutexLock lock;
    std::vector<LoggedMessage> calls;
    uint64_t dropped = 0; // calls taken out of the record, so tickets stay valid
};

std::atomic<bool> s_active{false};

// Made once and never destroyed: procedures may run on other threads while the process exits.
Log& log()
{
    static Log* s_log = new Log;
    return *s_log;
}

constexpr size_t kNoTicket = SIZE_MAX;

} // namespace

bool message_log_active()
{
    return s_active.load(std::memory_order_relaxed);
}

void start_message_log()
{
    s_active.store(true);
}

void stop_message_log()
{
    s_active.store(false);
    Log& record = log();
    kernel::FutexLockGuard guard(record.lock);
    record.dropped += record.calls.size();
    record.calls.clear();
}

std::vector<LoggedMessage> take_logged_messages(HWND window)
{
    Log& record = log();
    kernel::FutexLockGuard guard(record.lock);
    std::vector<LoggedMessage> taken;
    // The entries stay in place, so a ticket still finds its entry: taken ones are blanked.
    for (LoggedMessage& call : record.calls) {
        if (call.window && (!window || call.window == window)) {
            taken.push_back(call);
            call.window = nullptr;
            call.message = WM_NULL;
        }
    }
    return taken;
}

size_t log_call(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    Log& record = log();
    kernel::FutexLockGuard guard(record.lock);
    try {
        record.calls.push_back({window, message, wparam, lparam, 0});
    } catch (...) {
        return kNoTicket;
    }
    return static_cast<size_t>(record.dropped + record.calls.size() - 1);
}

void log_result(size_t ticket, LRESULT result)
{
    if (ticket == kNoTicket)
        return;
    Log& record = log();
    kernel::FutexLockGuard guard(record.lock);
    if (ticket >= record.dropped && ticket - record.dropped < record.calls.size())
        record.calls[ticket - record.dropped].result = result;
}

} // namespace vexil::user
