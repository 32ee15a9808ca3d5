// SPDX-License-Identifier: MIT
// Straightforward one-pixel lines and dash patterns, for tests only.
#pragma once

#include "gdi/raster/geometry.h"
#include "gdi/raster/pen.h"
#include "gdi/raster/surface.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace vexil::raster::reference {

// Whether the pixel at `pos` steps along a stroke is set, straight from the dash rules.
inline bool dash_on(const Pen& pen, uint64_t pos)
{
    std::vector<uint64_t> lengths(pen.dashes.begin(), pen.dashes.begin() + pen.dash_count);
    if (lengths.size() % 2 == 1)
        lengths.insert(lengths.end(), lengths.begin(), lengths.end());
    uint64_t period = 0;
    for (uint64_t l : lengths)
        period += l;
    if (period == 0)
        return true;
    const uint64_t p = pos % period;
    const bool caps = pen.kind != PenKind::Cosmetic;
    uint64_t start = 0;
    for (size_t i = 0; i < lengths.size(); start += lengths[i], ++i) {
        if (i % 2 != 0)
            continue;
        const uint64_t end = start + lengths[i];
        if (caps ? (p >= start && p <= end) : (p >= start && p < end))
            return true;
    }
    return false;
}

// Every step of the segment from a to b, plotted where it lands on the surface; the pixel of
// step k is a + k along the major axis and a + round(k * dminor / n) along the other, ties to
// the smaller coordinate.
inline void line(const Surface& s, const Pen& pen, Point64 a, Point64 b, uint32_t colour)
{
    const bool include_last = pen.kind != PenKind::Cosmetic;
    const int64_t dx = b.x - a.x, dy = b.y - a.y;
    const int64_t n = std::max(std::llabs(dx), std::llabs(dy));
    for (int64_t k = 0; k <= (include_last ? n : n - 1); ++k) {
        if (!dash_on(pen, uint64_t(k)))
            continue;
        auto along = [&](int64_t d) {
            if (n == 0)
                return int64_t(0);
            // round(k * d / n), halves down: floor((2kd + n - 1) / 2n) for the positive case.
            const int64_t num = 2 * k * std::llabs(d);
            const int64_t q = d >= 0 ? (num + n - 1) / (2 * n) : (num + n) / (2 * n);
            return d >= 0 ? q : -q;
        };
        const int64_t x = a.x + along(dx), y = a.y + along(dy);
        if (x >= 0 && x < s.width && y >= 0 && y < s.height)
            s.row(int32_t(y))[x] = colour;
    }
}

} // namespace vexil::raster::reference
