// SPDX-License-Identifier: MIT
// The screen size, shared by every thread of the process.
#pragma once

#include <cstdint>

namespace vexil::backend::x11 {

// Called by each connection as it opens, so the process-wide query needs no connection.
void remember_screen_size(int32_t width, int32_t height);

} // namespace vexil::backend::x11
