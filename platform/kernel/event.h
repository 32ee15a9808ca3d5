// SPDX-License-Identifier: MIT
// The event object: manual- or auto-reset, signalled or not.
#pragma once

#include "kernel/handle_table.h"
#include "kernel/waitable.h"

namespace vexil::kernel {

enum class EventReset : uint8_t { Manual, Auto };

class Event : public Waitable {
public:
    Event(EventReset reset, bool signalled) noexcept
        : Waitable(WaitableKind::Event), m_reset(reset), m_signalled(signalled)
    {
    }

    // Each called with the wait lock held.
    bool is_signalled() const noexcept { return m_signalled; }
    // Takes the signal for one waiter: an auto-reset event returns to non-signalled.
    bool take_locked() noexcept;
    void set_locked() noexcept;
    void reset_locked() noexcept { m_signalled = false; }

private:
    EventReset m_reset;
    bool m_signalled; // guarded by the wait lock
};

using EventTable = HandleTable<Event, HandleKind::Event>;
EventTable& event_table() noexcept;

} // namespace vexil::kernel
