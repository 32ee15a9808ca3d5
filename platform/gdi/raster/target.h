// SPDX-License-Identifier: MIT
// Where a primitive paints and how its colours combine with the page.
#pragma once

#include "gdi/raster/clip.h"
#include "gdi/raster/rop.h"
#include "gdi/raster/surface.h"

#include <cstdint>

namespace vexil::raster {

// Numbered as Win32's TRANSPARENT and OPAQUE.
enum class BackgroundMode : uint8_t {
    Transparent = 1,
    Opaque = 2,
};

// The state of a device context that the rasterizer reads: the surface, the clip, the ROP2 and
// the colours that brushes use. Colours are pixel values (0x00RRGGBB), converted once per call.
struct Target {
    const Surface& surface;
    const ClipList& clip;
    Rop2 rop = Rop2::CopyPen;
    uint32_t text_colour = 0;                // 0 bits of pattern brushes
    uint32_t background_colour = 0x00FFFFFF; // 1 bits of pattern brushes, gaps of opaque hatches
    BackgroundMode background_mode = BackgroundMode::Opaque;
};

} // namespace vexil::raster
