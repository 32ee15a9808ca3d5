// SPDX-License-Identifier: MIT
// The span writer's set-up from pens and brushes, and its pixel kernels.
#include "gdi/raster/span_writer.h"

#include "gdi/raster/pixels4.h"

#include <cstring>

namespace vexil::raster {

namespace {

bool is_copy(AndXor op)
{
    return (op.and_mask & kPixelMask) == 0;
}

bool is_nop(AndXor op)
{
    return (op.and_mask & kPixelMask) == kPixelMask && (op.xor_mask & kPixelMask) == 0;
}

bool is_xor(AndXor op)
{
    return (op.and_mask & kPixelMask) == kPixelMask;
}

} // namespace

void span_fill_xrgb32(uint32_t* pixels, int32_t count, uint32_t value)
{
    const Pixels4 v = splat4(value);
    int32_t i = 0;
    for (; i + 16 <= count; i += 16) {
        store4(pixels + i, v);
        store4(pixels + i + 4, v);
        store4(pixels + i + 8, v);
        store4(pixels + i + 12, v);
    }
    for (; i + 4 <= count; i += 4)
        store4(pixels + i, v);
    for (; i < count; ++i)
        pixels[i] = value;
}

void span_xor_xrgb32(uint32_t* pixels, int32_t count, uint32_t value)
{
    const Pixels4 v = splat4(value);
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        store4(pixels + i, load4(pixels + i) ^ v);
        store4(pixels + i + 4, load4(pixels + i + 4) ^ v);
    }
    for (; i + 4 <= count; i += 4)
        store4(pixels + i, load4(pixels + i) ^ v);
    for (; i < count; ++i)
        pixels[i] ^= value;
}

void span_and_xor_xrgb32(uint32_t* pixels, int32_t count, AndXor op)
{
    const Pixels4 a = splat4(op.and_mask);
    const Pixels4 x = splat4(op.xor_mask);
    int32_t i = 0;
    for (; i + 4 <= count; i += 4)
        store4(pixels + i, (load4(pixels + i) & a) ^ x);
    for (; i < count; ++i)
        pixels[i] = (pixels[i] & op.and_mask) ^ op.xor_mask;
}

std::array<uint8_t, 8> hatch_rows(HatchStyle style)
{
    // Lines on the last row and column of the tile; the diagonals run corner to corner, so
    // neighbouring tiles join into unbroken lines.
    std::array<uint8_t, 8> rows{};
    for (int y = 0; y < 8; ++y) {
        uint8_t row = 0;
        const bool horizontal = style == HatchStyle::Horizontal || style == HatchStyle::Cross;
        const bool vertical = style == HatchStyle::Vertical || style == HatchStyle::Cross;
        const bool forward = style == HatchStyle::ForwardDiagonal || style == HatchStyle::DiagonalCross;
        const bool backward = style == HatchStyle::BackwardDiagonal || style == HatchStyle::DiagonalCross;
        if (horizontal && y == 7)
            row = 0xFF;
        if (vertical)
            row |= 0x01;               // column 7
        if (forward)
            row |= uint8_t(0x80 >> y); // column y
        if (backward)
            row |= uint8_t(0x01 << y); // column 7 - y
        rows[size_t(y)] = row;
    }
    return rows;
}

SpanWriter::SpanWriter(const Target& target, uint32_t colour) : m_surface(target.surface), m_clip(target.clip)
{
    init_solid(target.rop, colour);
}

SpanWriter::SpanWriter(const Target& target, const Brush& brush) : m_surface(target.surface), m_clip(target.clip)
{
    switch (brush.style) {
    case BrushStyle::Null:
        m_mode = Mode::Nothing;
        break;
    case BrushStyle::Solid:
        init_solid(target.rop, brush.colour);
        break;
    case BrushStyle::Hatch:
        init_tile(target, hatch_rows(brush.hatch), brush.colour, target.background_colour,
                  target.background_mode == BackgroundMode::Transparent);
        break;
    case BrushStyle::Pattern: {
        // 1 bits are the background colour, 0 bits the text colour; both always paint.
        init_tile(target, brush.pattern, target.background_colour, target.text_colour, false);
        break;
    }
    }
    if (m_clip.empty())
        m_mode = Mode::Nothing;
}

void SpanWriter::init_solid(Rop2 rop, uint32_t colour)
{
    m_op = and_xor_of(rop, colour & kPixelMask);
    if (m_clip.empty() || is_nop(m_op))
        m_mode = Mode::Nothing;
    else if (is_copy(m_op))
        m_mode = Mode::Fill;
    else if (is_xor(m_op))
        m_mode = Mode::Xor;
    else
        m_mode = Mode::AndXor;
}

void SpanWriter::init_tile(const Target& target, const std::array<uint8_t, 8>& rows, uint32_t set, uint32_t clear,
                           bool clear_transparent)
{
    const AndXor set_op = and_xor_of(target.rop, set & kPixelMask);
    const AndXor clear_op = clear_transparent ? AndXor{~0u, 0} : and_xor_of(target.rop, clear & kPixelMask);
    bool all_copy = true;
    bool all_nop = true;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool bit = (rows[size_t(y)] >> (7 - x)) & 1;
            const AndXor op = bit ? set_op : clear_op;
            m_tile[size_t(y * 8 + x)] = op;
            all_copy = all_copy && is_copy(op);
            all_nop = all_nop && is_nop(op);
        }
    m_mode = all_nop ? Mode::Nothing : all_copy ? Mode::TileFill : Mode::Tile;
}

void SpanWriter::span(int64_t y, int64_t x0, int64_t x1) const
{
    if (m_mode == Mode::Nothing)
        return;
    m_clip.clip_span(y, x0, x1, [this, y](int32_t l, int32_t r) { run(static_cast<int32_t>(y), l, r); });
}

void SpanWriter::pixel(int64_t x, int64_t y) const
{
    if (m_mode == Mode::Nothing || !m_clip.contains(x, y))
        return;
    uint32_t& p = m_surface.row(static_cast<int32_t>(y))[x];
    const AndXor op = (m_mode == Mode::Tile || m_mode == Mode::TileFill) ? m_tile[size_t((y & 7) * 8 + (x & 7))] : m_op;
    p = (p & op.and_mask) ^ op.xor_mask;
}

void SpanWriter::run(int32_t y, int32_t x0, int32_t x1) const
{
    uint32_t* row = m_surface.row(y);
    const int32_t count = x1 - x0;
    switch (m_mode) {
    case Mode::Nothing:
        return;
    case Mode::Fill:
        span_fill_xrgb32(row + x0, count, m_op.xor_mask);
        return;
    case Mode::Xor:
        span_xor_xrgb32(row + x0, count, m_op.xor_mask);
        return;
    case Mode::AndXor:
        span_and_xor_xrgb32(row + x0, count, m_op);
        return;
    case Mode::TileFill: {
        // One period of the row, starting at x0's phase, then whole periods copied after it.
        const AndXor* ops = &m_tile[size_t((y & 7) * 8)];
        uint32_t period[8];
        for (int i = 0; i < 8; ++i)
            period[i] = ops[(x0 + i) & 7].xor_mask;
        int32_t i = 0;
        for (; i + 8 <= count; i += 8)
            std::memcpy(row + x0 + i, period, sizeof period);
        for (int k = 0; i < count; ++i, ++k)
            row[x0 + i] = period[k];
        return;
    }
    case Mode::Tile: {
        const AndXor* ops = &m_tile[size_t((y & 7) * 8)];
        for (int32_t x = x0; x < x1; ++x) {
            const AndXor op = ops[x & 7];
            row[x] = (row[x] & op.and_mask) ^ op.xor_mask;
        }
        return;
    }
    }
}

} // namespace vexil::raster
