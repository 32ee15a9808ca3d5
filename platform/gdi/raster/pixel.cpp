// SPDX-License-Identifier: MIT
// SetPixel and GetPixel on a clipped surface.
#include "gdi/raster/pixel.h"

#include "gdi/raster/rop.h"

namespace vexil::raster {

bool set_pixel(const Surface& surface, const ClipList& clip, Point64 at, uint32_t colour)
{
    if (!clip.contains(at.x, at.y))
        return false;
    surface.row(static_cast<int32_t>(at.y))[at.x] = colour & kPixelMask;
    return true;
}

std::optional<uint32_t> get_pixel(const Surface& surface, const ClipList& clip, Point64 at)
{
    if (!clip.contains(at.x, at.y))
        return std::nullopt;
    return surface.row(static_cast<int32_t>(at.y))[at.x] & kPixelMask;
}

} // namespace vexil::raster
