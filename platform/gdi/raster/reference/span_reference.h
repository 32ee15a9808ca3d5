// SPDX-License-Identifier: MIT
// Pixel-by-pixel reference of the span writer, for tests only.
#pragma once

#include "gdi/raster/rop.h"
#include "gdi/raster/surface.h"

#include <cstdint>

namespace vexil::raster::reference {

// [x0, x1) of row y in one colour through the ROP2, each pixel checked against the surface.
inline void span(const Surface& s, Rop2 rop, uint32_t colour, int64_t y, int64_t x0, int64_t x1)
{
    if (y < 0 || y >= s.height)
        return;
    for (int64_t x = x0; x < x1; ++x)
        if (x >= 0 && x < s.width)
            s.row(int32_t(y))[x] = apply_rop2(rop, s.row(int32_t(y))[x], colour);
}

} // namespace vexil::raster::reference
