// SPDX-License-Identifier: MIT
// Filling and outlining rectangles given as boxes.
#pragma once

#include "gdi/raster/brush.h"
#include "gdi/raster/geometry.h"
#include "gdi/raster/pen.h"
#include "gdi/raster/target.h"

namespace vexil::raster {

// FillRect: the pixels left..right-1 by top..bottom-1 with the brush; an empty or reversed box
// fills nothing (callers normalise first where Win32 does).
void fill_rect(const Target& target, const Brush& brush, Rect64 box);

// Rectangle: the box (normalised) outlined through the points (l, t) .. (r - 1, b - 1), so a
// one-pixel pen runs along columns l and r - 1 and rows t and b - 1, and the inside filled.
void draw_rectangle(const Target& target, const Pen& pen, const Brush& brush, Rect64 box);

} // namespace vexil::raster
