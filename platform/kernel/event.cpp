// SPDX-License-Identifier: MIT
// Events: CreateEventA, SetEvent and ResetEvent.
#include "kernel/event.h"

namespace vexil::kernel {

namespace {
constinit EventTable s_events;
}

EventTable& event_table() noexcept
{
    return s_events;
}

bool Event::take_locked() noexcept
{
    if (!m_signalled)
        return false;
    if (m_reset == EventReset::Auto)
        m_signalled = false;
    return true;
}

void Event::set_locked() noexcept
{
    if (m_reset == EventReset::Manual) {
        m_signalled = true;
        satisfy_all_waiters_locked(*this);
    } else if (!satisfy_first_waiter_locked(*this, false)) {
        // No one to release now: the event stays signalled for the next waiter. Signals do not
        // add up, so a second SetEvent changes nothing.
        m_signalled = true;
    }
}

namespace {

BOOL change_event(HANDLE handle, void (Event::*change)() noexcept) noexcept
{
    EventTable::Ref event = event_table().acquire(handle);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    FutexLockGuard guard(wait_lock());
    ((*event).*change)();
    return TRUE;
}

} // namespace

} // namespace vexil::kernel

using namespace vexil::kernel;

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName)
{
    // Named objects are shared between processes on Windows; the layer has no such namespace.
    if (lpName) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    HANDLE handle = event_table().create(bManualReset ? EventReset::Manual : EventReset::Auto, bInitialState != FALSE);
    SetLastError(handle ? ERROR_SUCCESS : ERROR_NOT_ENOUGH_MEMORY);
    return handle;
}

BOOL WINAPI SetEvent(HANDLE hEvent)
{
    return change_event(hEvent, &Event::set_locked);
}

BOOL WINAPI ResetEvent(HANDLE hEvent)
{
    return change_event(hEvent, &Event::reset_locked);
}
