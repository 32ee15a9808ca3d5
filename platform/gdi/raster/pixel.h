// SPDX-License-Identifier: MIT
// Single pixels: SetPixel and GetPixel.
#pragma once

#include "gdi/raster/clip.h"
#include "gdi/raster/geometry.h"
#include "gdi/raster/surface.h"

#include <cstdint>
#include <optional>

namespace vexil::raster {

// Sets the pixel to `colour` (no ROP2, as SetPixel ignores it); false when it lies outside the clip.
bool set_pixel(const Surface& surface, const ClipList& clip, Point64 at, uint32_t colour);

// The pixel's 24 colour bits, or nothing outside the surface or the clip (GDI's CLR_INVALID).
std::optional<uint32_t> get_pixel(const Surface& surface, const ClipList& clip, Point64 at);

} // namespace vexil::raster
