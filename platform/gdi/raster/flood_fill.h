// SPDX-License-Identifier: MIT
// Flood fill of a 4-connected area with a brush.
#pragma once

#include "gdi/raster/brush.h"
#include "gdi/raster/geometry.h"
#include "gdi/raster/target.h"

#include <cstdint>

namespace vexil::raster {

// Numbered as Win32's FLOODFILLBORDER and FLOODFILLSURFACE.
enum class FloodMode : uint8_t {
    Border = 0,  // fill up to pixels of `colour`
    Surface = 1, // fill the pixels of `colour`
};

enum class FloodResult : uint8_t {
    Filled,
    NothingToFill, // the seed is outside the clip, or is a border pixel (not of the surface colour)
    OutOfMemory,   // the visited map or the stack could not grow; the fill may have stopped short
};

// The 4-connected area around `seed` within the clip, compared on the 24 colour bits. Iterative;
// its memory (one bit per pixel of the clip bounds, and a stack of spans) is bounded by the page
// and kept per thread for the next call.
[[nodiscard]] FloodResult flood_fill(const Target& target, const Brush& brush, Point64 seed, uint32_t colour,
                                     FloodMode mode);

} // namespace vexil::raster
