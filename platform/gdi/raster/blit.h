// SPDX-License-Identifier: MIT
// Copying rectangles between surfaces with the raster operations BitBlt and StretchBlt take.
#pragma once

#include "gdi/raster/clip.h"
#include "gdi/raster/geometry.h"
#include "gdi/raster/surface.h"

#include <cstdint>

namespace vexil::raster {

// Numbered as Win32's ternary raster operation codes. S is the source pixel, D the destination.
enum class BlitOp : uint32_t {
    SrcCopy = 0x00CC0020,    // S
    SrcInvert = 0x00660046,  // D ^ S
    SrcPaint = 0x00EE0086,   // D | S
    SrcAnd = 0x008800C6,     // D & S
    NotSrcCopy = 0x00330008, // ~S
    DstInvert = 0x00550009,  // ~D
    Blackness = 0x00000042,  // 0
    Whiteness = 0x00FF0062,  // 1
};

// True for the codes above.
bool is_supported_blit_op(uint32_t code);

// True when the operation reads the source.
constexpr bool blit_op_uses_source(BlitOp op)
{
    return op != BlitOp::DstInvert && op != BlitOp::Blackness && op != BlitOp::Whiteness;
}

// A rectangle as Win32 passes one to a blit: an origin and signed extents. A negative extent
// covers [origin + extent, origin): StretchBlt mirrors where the signs of source and
// destination extents differ.
struct Extent {
    int64_t x = 0;
    int64_t y = 0;
    int64_t width = 0;
    int64_t height = 0;
};

// BitBlt: width x height pixels from `src` at `from` to `dst` at `to`. Pixels whose source lies
// outside `src` are left alone. `src` may be `dst` itself, overlapping in any direction.
// Extents that are not positive copy nothing.
void blit(const Surface& dst, const ClipList& clip, Point64 to, int64_t width, int64_t height, const Surface& src,
          Point64 from, BlitOp op);

// StretchBlt with nearest-pixel sampling: destination pixel i (counted from the rectangle's
// own left edge) takes the source pixel whose span contains i's centre. Any scale, either
// direction; a zero extent copies nothing.
void stretch_blit(const Surface& dst, const ClipList& clip, Extent to, const Surface& src, Extent from, BlitOp op);

} // namespace vexil::raster
