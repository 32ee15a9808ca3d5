// SPDX-License-Identifier: MIT
// Waiting for a window's thread to have handled everything, for tests that drive a window
// from another thread (inject input, then look at what the window did).
#pragma once

#include <win32/types.h>

#include <cstdint>

namespace vexil::user {

// Waits until the thread that owns `window` sleeps in GetMessageA with no message, input,
// native event or paint left. False when that does not happen within the timeout, or when the
// window does not exist.
bool wait_until_idle(HWND window, uint32_t timeout_ms);

} // namespace vexil::user
