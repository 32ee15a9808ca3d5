// SPDX-License-Identifier: MIT
// Entry points whose rasterization is still being written; they draw nothing yet.
#include "gdi/raster/flood_fill.h"

namespace vexil::raster {

// FIXME: every function here is a placeholder that draws nothing.
FloodResult flood_fill(const Target&, const Brush&, Point64, uint32_t, FloodMode)
{
    return FloodResult::NothingToFill;
}

} // namespace vexil::raster
