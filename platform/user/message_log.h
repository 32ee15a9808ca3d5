// SPDX-License-Identifier: MIT
// A record of the window-procedure calls USER makes, for tests that check what a window got.
#pragma once

#include <win32/user.h>

#include <vector>

namespace vexil::user {

struct LoggedMessage {
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    LRESULT result = 0; // what the procedure returned
};

// From now on every call of a window procedure, on any thread, is recorded in the order the
// calls began (a message sent from inside a procedure comes after the one being handled).
void start_message_log();
// Stops recording and forgets what was recorded.
void stop_message_log();
// The calls recorded so far, oldest first, for one window or (null) for all; the record is
// emptied of those it returns.
std::vector<LoggedMessage> take_logged_messages(HWND window = nullptr);

// Called by USER around each procedure call; the first returns a ticket for the second.
[[nodiscard]] size_t log_call(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void log_result(size_t ticket, LRESULT result);
bool message_log_active();

} // namespace vexil::user
