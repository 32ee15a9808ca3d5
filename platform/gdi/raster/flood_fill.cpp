// SPDX-License-Identifier: MIT
// FloodFill and ExtFloodFill: a scanline fill with an explicit stack and a visited map.
#include "gdi/raster/flood_fill.h"

#include "gdi/raster/scratch.h"
#include "gdi/raster/span_writer.h"

#include <vector>

namespace vexil::raster {

/*
 * A pixel belongs to the area when it lies in the clip and its colour (24 bits) is not the
 * border colour (border mode) or is the surface colour (surface mode). The fill pops a seed,
 * grows it into the widest run of area pixels on its row, paints that run and marks it
 * visited, then pushes one seed per run of unvisited area pixels touching it above and below.
 * The visited map (one bit per pixel of the clip bounds) decides membership once a pixel is
 * painted, so brushes of any colour, patterns and XOR fill correctly. Both buffers are kept
 * per thread; the map is bounded by the page, and the stack by its pixels.
 */

namespace {

thread_local std::vector<uint64_t> s_visited;
thread_local std::vector<Point64> s_stack;

class Area {
public:
    Area(const Target& target, uint32_t colour, FloodMode mode)
        : m_surface(target.surface), m_clip(target.clip), m_bounds(target.clip.bounds()),
          m_width(int64_t(m_bounds.right) - m_bounds.left), m_colour(colour & kPixelMask), m_mode(mode)
    {
    }

    [[nodiscard]] bool prepare()
    {
        const size_t words = size_t((m_width * (int64_t(m_bounds.bottom) - m_bounds.top) + 63) / 64);
        if (!ensure_size(s_visited, words))
            return false;
        std::fill_n(s_visited.begin(), words, 0);
        return true;
    }

    // In the area and not yet filled.
    bool open(int64_t x, int64_t y) const
    {
        if (x < m_bounds.left || x >= m_bounds.right || y < m_bounds.top || y >= m_bounds.bottom)
            return false;
        const size_t bit = index(x, y);
        if ((s_visited[bit / 64] >> (bit % 64)) & 1)
            return false;
        if (!m_clip.single() && !m_clip.contains(x, y))
            return false;
        const uint32_t p = m_surface.row(int32_t(y))[x] & kPixelMask;
        return m_mode == FloodMode::Border ? p != m_colour : p == m_colour;
    }

    void mark(int64_t y, int64_t x0, int64_t x1) const
    {
        for (int64_t x = x0; x <= x1; ++x) {
            const size_t bit = index(x, y);
            s_visited[bit / 64] |= uint64_t(1) << (bit % 64);
        }
    }

private:
    size_t index(int64_t x, int64_t y) const { return size_t((y - m_bounds.top) * m_width + (x - m_bounds.left)); }

    const Surface& m_surface;
    const ClipList& m_clip;
    Box m_bounds;
    int64_t m_width;
    uint32_t m_colour;
    FloodMode m_mode;
};

[[nodiscard]] bool push(int64_t x, int64_t y)
{
    return push_back_checked(s_stack, Point64{x, y});
}

} // namespace

FloodResult flood_fill(const Target& target, const Brush& brush, Point64 seed, uint32_t colour, FloodMode mode)
{
    if (!target.clip.contains(seed.x, seed.y))
        return FloodResult::NothingToFill;
    Area area(target, colour, mode);
    if (!area.prepare())
        return FloodResult::OutOfMemory;
    if (!area.open(seed.x, seed.y))
        return FloodResult::NothingToFill;
    const SpanWriter writer(target, brush);
    s_stack.clear();
    if (!push(seed.x, seed.y))
        return FloodResult::OutOfMemory;
    while (!s_stack.empty()) {
        const Point64 p = s_stack.back();
        s_stack.pop_back();
        if (!area.open(p.x, p.y))
            continue;
        int64_t l = p.x, r = p.x;
        while (area.open(l - 1, p.y))
            --l;
        while (area.open(r + 1, p.y))
            ++r;
        area.mark(p.y, l, r);
        writer.span(p.y, l, r + 1);
        for (const int64_t y : {p.y - 1, p.y + 1}) {
            bool in_run = false;
            for (int64_t x = l; x <= r; ++x) {
                const bool o = area.open(x, y);
                if (o && !in_run && !push(x, y))
                    return FloodResult::OutOfMemory;
                in_run = o;
            }
        }
    }
    return FloodResult::Filled;
}

} // namespace vexil::raster
