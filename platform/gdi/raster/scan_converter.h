// SPDX-License-Identifier: MIT
// The scan converter: fills the inside of a set of edges, row by row, under either fill rule.
#pragma once

#include "gdi/raster/geometry.h"
#include "gdi/raster/polygon.h"
#include "gdi/raster/span_sink.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vexil::raster {

// Coordinates in 1/256 of a pixel: wide pens put vertices between pixel centres.
inline constexpr int kFixShift = 8;
inline constexpr int64_t kFixOne = int64_t{1} << kFixShift;

struct FixPoint {
    int64_t x = 0;
    int64_t y = 0;
};

inline FixPoint to_fix(Point64 p)
{
    return {p.x * kFixOne, p.y * kFixOne};
}

/*
 * Edges are kept directed downwards (y0 < y1) with the winding they add (+1 for an edge that
 * ran down, -1 for one that ran up); horizontal edges add nothing and are dropped.
 * The pixel (x, y) is inside when its centre, the point (x, y), is: an edge covers the rows
 * whose centre line y meets [y0, y1) (top ends in, bottom ends out), and on a row the span
 * between two crossings c0 <= c1 is the pixels x with c0 <= x < c1 (left edges in, right edges
 * out). Crossings are exact rationals, stepped row to row with an integer quotient and remainder.
 * Coordinates must lie within +-kCoordinateLimit (in pixels), which keeps the set-up within
 * 128-bit and the stepping within 64-bit arithmetic.
 */
class EdgeList {
public:
    void clear() { m_edges.clear(); }
    // A closed polygon: the last point joins the first. False when memory is short.
    [[nodiscard]] bool add_polygon(std::span<const FixPoint> points);
    [[nodiscard]] bool add_edge(FixPoint a, FixPoint b);
    bool empty() const { return m_edges.empty(); }

    // Calls sink(y, x0, x1) for the inside spans of rows [top, bottom), rows in increasing
    // order, spans of a row left to right and disjoint. False when memory is short.
    [[nodiscard]] bool fill(FillMode mode, int64_t top, int64_t bottom, SpanSink sink);

private:
    struct Edge {
        int64_t x0, y0, x1, y1;
        int32_t winding;
    };
    struct Active {
        int64_t q;  // floor of the crossing in pixels
        int64_t r;  // remainder, 0 <= r < d
        int64_t d;  // denominator: 256 * (y1 - y0)
        int64_t qs; // per-row step of q and r
        int64_t rs;
        int64_t end_row; // first row no longer covered
        int32_t winding;

        // The first pixel at or right of the crossing.
        int64_t ceil() const { return q + (r != 0); }
    };

    std::vector<Edge> m_edges;
    std::vector<Active> m_active;
};

} // namespace vexil::raster
