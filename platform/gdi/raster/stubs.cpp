// SPDX-License-Identifier: MIT
// Entry points whose rasterization is still being written; they draw nothing yet.
#include "gdi/raster/ellipse.h"
#include "gdi/raster/flood_fill.h"

namespace vexil::raster {

// FIXME: every function here is a placeholder that draws nothing.
void draw_ellipse(const Target&, const Pen&, const Brush&, Rect64) {}
void draw_arc(const Target&, const Pen&, Rect64, Point64, Point64, ArcDirection) {}
void draw_pie(const Target&, const Pen&, const Brush&, Rect64, Point64, Point64, ArcDirection) {}
FloodResult flood_fill(const Target&, const Brush&, Point64, uint32_t, FloodMode)
{
    return FloodResult::NothingToFill;
}

} // namespace vexil::raster
