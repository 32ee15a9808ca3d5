// SPDX-License-Identifier: MIT
// Reading messages: GetMessageA and PeekMessageA, in Windows' order of service.
#include "user/input.h"
#include "user/message_queue.h"
#include "user/messages.h"
#include "user/window.h"

#include <win32/kernel.h>

namespace vexil::user {

namespace {

// The first window of the thread that waits to be painted and that the filter accepts.
bool take_paint(MessageQueue& queue, const MessageFilter& filter, MSG* out)
{
    if (!filter.accepts(WM_PAINT))
        return false;
    for (HWND handle : queue.owner().windows) {
        const Window* window = window_table().lookup(handle);
        if (window && window->visible && !window->region.empty() && filter.accepts_window(handle)) {
            *out = MSG{handle, WM_PAINT, 0, 0, tick_ms(), {0, 0}};
            return true;
        }
    }
    return false;
}

enum class Wait : uint8_t { UntilMessage, No };

/*
 * One look at every source, in Windows' order: messages sent from other threads, posted
 * messages, input, WM_QUIT once asked for (so it comes after everything posted before it), and
 * only then WM_PAINT, which is never queued but made for a window whose update region is not
 * empty. A window that was torn down in WM_DESTROY is therefore not painted after the quit.
 */
bool next_message(MessageQueue& queue, const MessageFilter& filter, bool remove, Wait wait, MSG* out)
{
    for (;;) {
        queue.begin_round();
        serve_sent_messages(queue);
        if (queue.take_posted(filter, remove, out))
            return true;
        pump_backend(queue);
        if (take_input(queue, filter, remove, out))
            return true;
        if (queue.take_quit(filter, remove, out))
            return true;
        if (take_paint(queue, filter, out))
            return true;
        if (wait == Wait::No)
            return false;
        queue.wait(MessageQueue::Sources::QueueAndBackend);
    }
}

// The queue and filter of a call, or null with the last error set for bad arguments.
MessageQueue* prepare(LPMSG message, HWND window, UINT first, UINT last, MessageFilter* filter)
{
    if (!message) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (window && !find_own_window(window, ERROR_INVALID_WINDOW_HANDLE))
        return nullptr; // a window of another thread would never see its messages here
    MessageQueue* queue = MessageQueue::current();
    if (!queue) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    *filter = MessageFilter{window, first, last};
    return queue;
}

} // namespace

} // namespace vexil::user

using namespace vexil;

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    user::MessageFilter filter;
    user::MessageQueue* queue = user::prepare(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, &filter);
    if (!queue)
        return -1;
    user::next_message(*queue, filter, true, user::Wait::UntilMessage, lpMsg);
    return lpMsg->message != WM_QUIT;
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    user::MessageFilter filter;
    user::MessageQueue* queue = user::prepare(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, &filter);
    if (!queue)
        return FALSE;
    return user::next_message(*queue, filter, (wRemoveMsg & PM_REMOVE) != 0, user::Wait::No, lpMsg);
}
