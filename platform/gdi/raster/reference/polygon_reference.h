// SPDX-License-Identifier: MIT
// Point-in-polygon by counting crossings at each pixel centre, for tests only.
#pragma once

#include "gdi/raster/geometry.h"
#include "gdi/raster/polygon.h"
#include "gdi/raster/surface.h"
#include "gdi/raster/wide.h"

#include <cstdint>
#include <span>

namespace vexil::raster::reference {

// The pixel (x, y) is inside when the crossings of its row at or left of x (edges taken with
// their top end in and bottom end out) add up to an odd count (alternate) or a non-zero winding.
inline bool inside_polygon(std::span<const Point64> pts, FillMode mode, int64_t x, int64_t y)
{
    int count = 0, winding = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        Point64 a = pts[i], b = pts[(i + 1) % pts.size()];
        int dir = 1;
        if (a.y > b.y) {
            std::swap(a, b);
            dir = -1;
        }
        if (a.y == b.y || y < a.y || y >= b.y)
            continue;
        // crossing <= x  <=>  (a.x - x)(b.y - a.y) + (y - a.y)(b.x - a.x) <= 0
        const Int128 s = Int128(a.x - x) * (b.y - a.y) + Int128(y - a.y) * (b.x - a.x);
        if (s <= 0) {
            ++count;
            winding += dir;
        }
    }
    return mode == FillMode::Alternate ? (count % 2 == 1) : winding != 0;
}

inline void fill_polygon(const Surface& s, std::span<const Point64> pts, FillMode mode, uint32_t colour)
{
    if (pts.size() < 3)
        return;
    for (int32_t y = 0; y < s.height; ++y)
        for (int32_t x = 0; x < s.width; ++x)
            if (inside_polygon(pts, mode, x, y))
                s.row(y)[x] = colour;
}

} // namespace vexil::raster::reference
