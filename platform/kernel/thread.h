// SPDX-License-Identifier: MIT
// The thread object: signalled, with its exit code, once the thread has ended.
#pragma once

#include "kernel/handle_table.h"
#include "kernel/waitable.h"

namespace vexil::kernel {

class Thread : public Waitable {
public:
    Thread() noexcept : Waitable(WaitableKind::Thread) {}

    // Each called with the wait lock held.
    bool has_ended() const noexcept { return m_ended; }
    DWORD exit_code() const noexcept { return m_exit_code; }
    void finish_locked(DWORD exit_code) noexcept;

private:
    bool m_ended = false; // guarded by the wait lock
    DWORD m_exit_code = STILL_ACTIVE;
};

using ThreadTable = HandleTable<Thread, HandleKind::Thread>;
ThreadTable& thread_table() noexcept;

} // namespace vexil::kernel
