// SPDX-License-Identifier: MIT
// The X screen a connection uses, and its size, which every thread of the process shares.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>

namespace vexil::backend::x11 {

// Screen `number` of the server's setup, or null when it has no such screen.
const xcb_screen_t* screen_of(const xcb_setup_t* setup, int number);

// Called by each connection as it opens, so the process-wide query needs no connection.
void remember_screen_size(int32_t width, int32_t height);

} // namespace vexil::backend::x11
