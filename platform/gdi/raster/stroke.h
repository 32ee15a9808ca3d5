// SPDX-License-Identifier: MIT
// Stroking paths: one-pixel stepping of segments, and the outlines of wide pens.
#pragma once

#include "gdi/raster/dash.h"
#include "gdi/raster/geometry.h"
#include "gdi/raster/line.h"
#include "gdi/raster/pen.h"
#include "gdi/raster/span_set.h"
#include "gdi/raster/wide.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace vexil::raster {

struct PointD {
    double x = 0;
    double y = 0;
};

// True when the pen strokes as a wide outline rather than one pixel per step.
inline bool is_wide(const Pen& pen)
{
    return pen.kind == PenKind::Geometric && pen.width > 1;
}

/*
 * One pixel per step along the major axis: step k (0 <= k <= n, n = max(|dx|, |dy|)) sets the
 * pixel at a + k along the major axis and a + round(k * d_minor / n) along the minor one, where
 * a tie (exactly half way) goes to the smaller minor coordinate, so a segment and its reverse
 * set the same pixels. `include_last` sets step n too (geometric pens), else it is left out
 * (cosmetic pens).
 * Only the steps inside `bounds` are visited: their range is solved for exactly (128-bit), so
 * the loop never walks outside, whatever the end points. `walker`, when given, is at the
 * segment's start on entry and at its end (step n) on return; plot(x, y) is called for the
 * steps it marks on. Both points within +-kCoordinateLimit.
 */
template <typename Plot>
void step_segment(Point64 a, Point64 b, bool include_last, const Box& bounds, DashWalker* walker, Plot&& plot)
{
    const int64_t dx = b.x - a.x, dy = b.y - a.y;
    const bool x_major = std::llabs(dx) >= std::llabs(dy);
    const int64_t n = x_major ? std::llabs(dx) : std::llabs(dy);
    const int64_t last = include_last ? n : n - 1;
    int64_t k0 = 0, k1 = last;
    // Major axis: M(k) = am + k * sm. Minor: m(k) = an + sn * t(k), t(k) = floor((2 k dn + e) / 2n).
    const int64_t am = x_major ? a.x : a.y, an = x_major ? a.y : a.x;
    const int64_t sm = (x_major ? dx : dy) < 0 ? -1 : 1;
    const int64_t dminor = x_major ? dy : dx;
    const int64_t sn = dminor < 0 ? -1 : 1, dn = std::llabs(dminor);
    const int64_t e = n - (sn > 0 ? 1 : 0); // the tie bias: half way rounds to the smaller coordinate
    const int64_t bm0 = x_major ? bounds.left : bounds.top, bm1 = x_major ? bounds.right : bounds.bottom;
    const int64_t bn0 = x_major ? bounds.top : bounds.left, bn1 = x_major ? bounds.bottom : bounds.right;
    if (sm > 0) {
        k0 = std::max(k0, bm0 - am);
        k1 = std::min(k1, bm1 - 1 - am);
    } else {
        k0 = std::max(k0, am - (bm1 - 1));
        k1 = std::min(k1, am - bm0);
    }
    const int64_t tlo = sn > 0 ? bn0 - an : an - (bn1 - 1);
    const int64_t thi = sn > 0 ? bn1 - 1 - an : an - bn0;
    if (n == 0 || dn == 0) {
        if (tlo > 0 || thi < 0)
            k1 = -1;
    } else if (k0 <= k1) {
        const Int128 two_n = Int128(2) * n, two_dn = Int128(2) * dn;
        k0 = std::max<int64_t>(k0, clamp_to_int64(ceil_div(two_n * tlo - e, two_dn)));
        k1 = std::min<int64_t>(k1, clamp_to_int64(ceil_div(two_n * (Int128(thi) + 1) - e, two_dn) - 1));
    }
    if (k0 > k1) {
        if (walker)
            walker->advance(uint64_t(n));
        return;
    }
    if (walker)
        walker->advance(uint64_t(k0));
    int64_t major = am + sm * k0;
    int64_t t = 0, rem = 0, two_n = 2 * n;
    if (n > 0) {
        const Int128 num = Int128(2) * k0 * dn + e;
        t = int64_t(floor_div(num, two_n));
        rem = int64_t(num - Int128(t) * two_n);
    }
    for (int64_t k = k0;; ++k) {
        if (!walker || walker->on()) {
            const int64_t minor = an + sn * t;
            if (x_major)
                plot(major, minor);
            else
                plot(minor, major);
        }
        if (k == k1)
            break;
        if (walker)
            walker->step();
        major += sm;
        rem += 2 * dn;
        if (rem >= two_n) {
            rem -= two_n;
            ++t;
        }
    }
    // The walker stands at step k1; the next segment starts at step n.
    if (walker)
        walker->advance(uint64_t(n - k1));
}

// Gathers into `out` (already cleared to the clip bounds) the pixels of a pen's stroke along
// integer points; consecutive repeated points are ignored. False when memory is short.
[[nodiscard]] bool gather_stroke(const Pen& pen, std::span<const Point64> points, PathShape shape, SpanSet& out);

// The outline of a wide pen along real points (a flattened curve), as gather_stroke.
[[nodiscard]] bool gather_wide_stroke(const Pen& pen, std::span<const PointD> points, PathShape shape, SpanSet& out);

} // namespace vexil::raster
