// SPDX-License-Identifier: MIT
// Sending, posting and dispatching messages, and calling window procedures.
#include "user/messages.h"

#include "user/message_log.h"
#include "user/message_queue.h"
#include "user/window.h"

#include <win32/kernel.h>

#include <time.h>

namespace vexil::user {

LRESULT call_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    Window* target = window_table().lookup(window);
    if (!target)
        return 0;
    WNDPROC procedure = target->procedure;
    if (!message_log_active())
        return procedure(window, message, wparam, lparam);
    const size_t ticket = log_call(window, message, wparam, lparam);
    const LRESULT result = procedure(window, message, wparam, lparam);
    log_result(ticket, result);
    return result;
}

void serve_sent_messages(MessageQueue& queue)
{
    while (SentMessage* message = queue.take_sent()) {
        LRESULT result = 0;
        Window* target = window_table().lookup(message->window);
        if (target && target->queue == &queue)
            result = call_procedure(message->window, message->message, message->wparam, message->lparam);
        // Once `done` is set the sender may return and its message is gone: read it first.
        MessageQueue* sender = message->sender;
        message->result = result;
        message->done.store(true, std::memory_order_release);
        sender->wake();
    }
}

uint32_t tick_ms()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

} // namespace vexil::user

using namespace vexil;

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    user::MessageQueue* own = user::MessageQueue::existing();
    {
        user::WindowRef target = user::acquire_window(hWnd);
        if (!target)
            return 0;
        if (own && target->queue == own) {
            target.reset(); // our own window: only this thread can destroy it
            return user::call_procedure(hWnd, Msg, wParam, lParam);
        }
    }
    // Another thread's window: queue the message and wait for its answer, serving the messages
    // sent to this thread meanwhile, so two threads sending to each other never deadlock.
    own = user::MessageQueue::current();
    if (!own) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    user::SentMessage message;
    message.window = hWnd;
    message.message = Msg;
    message.wparam = wParam;
    message.lparam = lParam;
    message.sender = own;
    {
        user::WindowRef target = user::acquire_window(hWnd);
        if (!target)
            return 0;
        if (!target->queue->deliver_sent(&message, target->queue_generation)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
    }
    // Unbounded, as on Windows: the answer comes when the owner thread reads its messages, or
    // 0 when that thread ends first.
    for (;;) {
        own->begin_round();
        user::serve_sent_messages(*own);
        if (message.done.load(std::memory_order_acquire))
            return message.result;
        own->wait(user::MessageQueue::Sources::QueueOnly);
    }
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    MSG message = {hWnd, Msg, wParam, lParam, user::tick_ms(), {0, 0}};
    DWORD error = ERROR_SUCCESS;
    if (!hWnd) { // a message for the calling thread itself
        user::MessageQueue* own = user::MessageQueue::current();
        error = own ? own->post(message, own->generation()) : ERROR_NOT_ENOUGH_MEMORY;
    } else {
        user::WindowRef target = user::acquire_window(hWnd);
        if (!target)
            return FALSE;
        error = target->queue->post(message, target->queue_generation);
    }
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode)
{
    if (user::MessageQueue* own = user::MessageQueue::current())
        own->post_quit(nExitCode);
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg)
{
    if (!lpMsg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!lpMsg->hwnd) // thread messages have no procedure to go to
        return 0;
    if (!user::find_own_window(lpMsg->hwnd, ERROR_WINDOW_OF_OTHER_THREAD))
        return 0;
    return user::call_procedure(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}
