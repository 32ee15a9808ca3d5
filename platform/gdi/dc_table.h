// SPDX-License-Identifier: MIT
// Making and unmaking device contexts of every kind, shared by the memory, screen and surface DCs.
#pragma once

#include "gdi/dc.h"

namespace vexil::gdi {

// A new DC of `kind` drawing on `surface`, with the state of a fresh DC: black pen, white brush,
// system font and, for a memory DC, the default 1 x 1 monochrome bitmap. Null with the last error
// set when it cannot be made.
[[nodiscard]] HDC make_dc(DcKind kind, raster::Surface surface);

// Deselects the DC's objects and frees it. False for a handle that names no DC.
bool unmake_dc(HDC handle);

} // namespace vexil::gdi
