// SPDX-License-Identifier: MIT
// The screen's device context, which USER hands out for GetDC(NULL), and the screen's size.
#pragma once

#include <win32/gdi.h>

#include <cstdint>

namespace vexil::gdi {

// The one screen DC: 32 bits per pixel, HORZRES x VERTRES of the screen size. It has no pixels
// of its own (the screen belongs to the backend's windows), so drawing on it changes nothing
// and GetPixel answers CLR_INVALID; it serves as the model of compatible DCs and bitmaps.
// DeleteDC refuses it. Never null once the process has memory for one DC.
[[nodiscard]] HDC screen_dc();

// The screen size that USER learns from the backend. Until it is set, 1920 x 1080.
// Non-positive sizes are ignored.
void set_screen_size(int32_t width, int32_t height);

} // namespace vexil::gdi
