// SPDX-License-Identifier: MIT
// Stroking lines and polylines with a pen.
#pragma once

#include "gdi/raster/geometry.h"
#include "gdi/raster/pen.h"
#include "gdi/raster/target.h"

#include <span>

namespace vexil::raster {

enum class PathShape : uint8_t {
    Open,   // Polyline, LineTo: caps at both ends
    Closed, // Polygon outlines: the last point joins the first
};

// LineTo from `from` to `to`: a cosmetic pen leaves `to` out, a geometric pen sets both ends.
void stroke_line(const Target& target, const Pen& pen, Point64 from, Point64 to);

// One stroke through all points: the dash pattern runs on from segment to segment, starting
// afresh with each call, and every pixel of the stroke is painted once.
void stroke_polyline(const Target& target, const Pen& pen, std::span<const Point64> points, PathShape shape);

} // namespace vexil::raster
