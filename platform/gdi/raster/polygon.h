// SPDX-License-Identifier: MIT
// Filling polygons, alone or with their outline.
#pragma once

#include "gdi/raster/brush.h"
#include "gdi/raster/geometry.h"
#include "gdi/raster/pen.h"
#include "gdi/raster/target.h"

#include <span>

namespace vexil::raster {

// Numbered as Win32's ALTERNATE and WINDING.
enum class FillMode : uint8_t {
    Alternate = 1,
    Winding = 2,
};

// Fills the pixels whose points lie inside the polygon (closed implicitly), left and top edges
// in, right and bottom edges out.
void fill_polygon(const Target& target, const Brush& brush, std::span<const Point64> points, FillMode mode);

// Polygon: the inside with the brush and the closed outline with the pen. A pixel is painted
// once: by the outline where the pen covers it, else by the brush.
void draw_polygon(const Target& target, const Pen& pen, const Brush& brush, std::span<const Point64> points,
                  FillMode mode);

} // namespace vexil::raster
