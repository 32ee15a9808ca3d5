// SPDX-License-Identifier: MIT
// Points and rectangles in 64-bit device coordinates, as primitives take them.
#pragma once

#include "gdi/raster/surface.h"

#include <algorithm>
#include <cstdint>

namespace vexil::raster {

// Device coordinates: GDI adds the viewport origin in 64-bit arithmetic, so a point may lie far
// outside the 32-bit range. Primitives clip before any arithmetic that could overflow.
struct Point64 {
    int64_t x = 0;
    int64_t y = 0;

    friend bool operator==(const Point64&, const Point64&) = default;
};

// [left, right) x [top, bottom) in device coordinates; empty when left >= right or top >= bottom.
struct Rect64 {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;

    bool empty() const { return left >= right || top >= bottom; }

    // The same rectangle with its corners ordered, as Rectangle and Ellipse take a reversed one.
    Rect64 normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
};

// Paths (lines, polygons, curves) are computed exactly while every coordinate lies within
// +-kCoordinateLimit, which keeps every product of the edge and line setup within 128 bits
// even in 1/256-pixel fixed point. That is 2^40, far past a 32-bit coordinate plus a 32-bit
// origin; a path with a coordinate beyond it draws nothing. Boxes (fill_rect, blits) clamp
// exactly and have no such limit.
inline constexpr int64_t kCoordinateLimit = int64_t{1} << 40;

inline bool within_coordinate_limit(Point64 p)
{
    return p.x >= -kCoordinateLimit && p.x <= kCoordinateLimit && p.y >= -kCoordinateLimit &&
           p.y <= kCoordinateLimit;
}

} // namespace vexil::raster
