// SPDX-License-Identifier: MIT
// Ellipses, arcs and pies inscribed in a box.
#pragma once

#include "gdi/raster/brush.h"
#include "gdi/raster/geometry.h"
#include "gdi/raster/pen.h"
#include "gdi/raster/target.h"

namespace vexil::raster {

// Numbered as Win32's AD_COUNTERCLOCKWISE and AD_CLOCKWISE (on the page, y down).
enum class ArcDirection : uint8_t {
    CounterClockwise = 1,
    Clockwise = 2,
};

// Every call takes the box as Win32 does, (l, t, r, b), normalised, and uses the ellipse
// inscribed in the points (l, t) .. (r - 1, b - 1): Ellipse(10, 10, 110, 60) stays within
// x 10..109, y 10..59. An empty box draws nothing.

// Ellipse: outline with the pen, inside with the brush; each pixel painted once.
void draw_ellipse(const Target& target, const Pen& pen, const Brush& brush, Rect64 box);

// Arc: the part of the outline from the ray through `start` to the ray through `end`, in the
// given direction; when both rays coincide, the whole ellipse.
void draw_arc(const Target& target, const Pen& pen, Rect64 box, Point64 start, Point64 end, ArcDirection direction);

// Pie: the arc closed by two radii to the centre, filled with the brush.
void draw_pie(const Target& target, const Pen& pen, const Brush& brush, Rect64 box, Point64 start, Point64 end,
              ArcDirection direction);

} // namespace vexil::raster
