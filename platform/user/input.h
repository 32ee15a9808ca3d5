// SPDX-License-Identifier: MIT
// Input from the backend: queued as it arrives, made into messages when the program reads it.
#pragma once

#include "user/message_queue.h"

namespace vexil::user {

// Moves the native events waiting for the thread into its input queue, without waiting.
void pump_backend(MessageQueue& queue);

// The next input message the filter accepts, made from the front of the input queue. Making
// a mouse message asks the window for WM_NCHITTEST and WM_SETCURSOR first, as Windows does;
// with `remove` false the message stays at the front, already made.
bool take_input(MessageQueue& queue, const MessageFilter& filter, bool remove, MSG* out);

} // namespace vexil::user
