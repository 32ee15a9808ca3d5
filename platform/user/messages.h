// SPDX-License-Identifier: MIT
// Calling window procedures, serving sent messages, and the clock of messages.
#pragma once

#include <win32/user.h>

#include <cstdint>

namespace vexil::user {

class MessageQueue;

// Calls the procedure of a window of the calling thread; 0 when the window no longer exists.
LRESULT call_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Runs every message other threads have sent to the queue's windows, answering each sender.
void serve_sent_messages(MessageQueue& queue);

// The time stamp of messages made by USER itself, in milliseconds since an arbitrary start.
uint32_t tick_ms();

} // namespace vexil::user
