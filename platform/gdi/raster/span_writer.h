// SPDX-License-Identifier: MIT
// The span writer: paints horizontal runs of pixels in one colour or an 8x8 tile through the clip and the ROP2.
#pragma once

#include "gdi/raster/brush.h"
#include "gdi/raster/clip.h"
#include "gdi/raster/rop.h"
#include "gdi/raster/surface.h"
#include "gdi/raster/target.h"

#include <array>
#include <cstdint>

namespace vexil::raster {

// Every ROP2 with a fixed source colour maps a page pixel d to (d & and_mask) ^ xor_mask, bit by
// bit: a bit is cleared, set, kept or inverted. So one pair per colour describes any operation,
// and the kernels below need only recognise the pairs that mean copy, XOR or no change.
struct AndXor {
    uint32_t and_mask = 0;
    uint32_t xor_mask = 0;
};

constexpr AndXor and_xor_of(Rop2 rop, uint32_t colour)
{
    const uint32_t zero = apply_rop2(rop, 0, colour);
    const uint32_t ones = apply_rop2(rop, kPixelMask, colour);
    return {zero ^ ones, zero};
}

// The pixel kernels, exposed so tests can compare them with the reference on random rows.
void span_fill_xrgb32(uint32_t* pixels, int32_t count, uint32_t value);
void span_xor_xrgb32(uint32_t* pixels, int32_t count, uint32_t value);
void span_and_xor_xrgb32(uint32_t* pixels, int32_t count, AndXor op);

/*
 * A writer is made once per primitive (no allocation) and then takes spans [x0, x1) of rows in
 * any order and at any 64-bit coordinates: each is cut by the clip list (hence the surface)
 * before a pixel is touched.
 * Tiles repeat every 8 pixels from the surface's origin, so pattern and hatch brushes line up
 * between primitives whatever the viewport origin. Tile pixel (x & 7, y & 7) has its own and-xor
 * pair; transparent pixels keep the page ({~0, 0}).
 */
class SpanWriter {
public:
    // Paints in one colour, as pens do.
    SpanWriter(const Target& target, uint32_t colour);
    // Paints with a brush; a null brush makes a writer that paints nothing.
    SpanWriter(const Target& target, const Brush& brush);

    bool paints() const { return m_mode != Mode::Nothing; }

    // For pixel loops that clip themselves, on writers made from one colour (pens): calls
    // loop(op) with a functor that applies the colour to a pixel reference (copy, XOR or
    // and-xor), so the loop is compiled once per kind with the operation inlined.
    template <typename Loop>
    void with_pixel_op(Loop&& loop) const;

    void span(int64_t y, int64_t x0, int64_t x1) const;
    void pixel(int64_t x, int64_t y) const;

private:
    enum class Mode : uint8_t { Nothing, Fill, Xor, AndXor, TileFill, Tile };

    void run(int32_t y, int32_t x0, int32_t x1) const;
    void init_tile(const Target& target, const std::array<uint8_t, 8>& rows, uint32_t set, uint32_t clear,
                   bool clear_transparent);
    void init_solid(Rop2 rop, uint32_t colour);

    const Surface& m_surface;
    const ClipList& m_clip;
    Mode m_mode = Mode::Nothing;
    AndXor m_op;
    // Tile modes only: [(y & 7) * 8 + (x & 7)]. Left uninitialised otherwise, since pens make a
    // writer per line and the table would cost more to clear than a short line to draw.
    std::array<AndXor, 64> m_tile;
};

template <typename Loop>
void SpanWriter::with_pixel_op(Loop&& loop) const
{
    const uint32_t x = m_op.xor_mask, a = m_op.and_mask;
    switch (m_mode) {
    case Mode::Nothing:
        return;
    case Mode::Fill:
        loop([x](uint32_t& p) { p = x; });
        return;
    case Mode::Xor:
        loop([x](uint32_t& p) { p ^= x; });
        return;
    default:
        loop([a, x](uint32_t& p) { p = (p & a) ^ x; });
        return;
    }
}

// The rows of a hatch style: a set bit (most significant leftmost) is a line pixel.
std::array<uint8_t, 8> hatch_rows(HatchStyle style);

} // namespace vexil::raster
