// SPDX-License-Identifier: MIT
// The scan converter's edge set-up, active edge list and span output.
#include "gdi/raster/scan_converter.h"

#include "gdi/raster/scratch.h"
#include "gdi/raster/wide.h"

#include <algorithm>

namespace vexil::raster {

namespace {

// First row whose centre line (y * 256 in fixed point) is at or below the fixed coordinate.
int64_t first_row_at_or_below(int64_t fixed_y)
{
    return int64_t(ceil_div(fixed_y, kFixOne));
}

} // namespace

bool EdgeList::add_edge(FixPoint a, FixPoint b)
{
    if (a.y == b.y)
        return true;
    const Edge e = a.y < b.y ? Edge{a.x, a.y, b.x, b.y, 1} : Edge{b.x, b.y, a.x, a.y, -1};
    // Edges between two row centre lines cover no row at all.
    if (first_row_at_or_below(e.y0) >= first_row_at_or_below(e.y1))
        return true;
    return push_back_checked(m_edges, e);
}

bool EdgeList::add_polygon(std::span<const FixPoint> points)
{
    for (size_t i = 0; i < points.size(); ++i)
        if (!add_edge(points[i], points[(i + 1) % points.size()]))
            return false;
    return true;
}

bool EdgeList::fill(FillMode mode, int64_t top, int64_t bottom, SpanSink sink)
{
    if (m_edges.empty() || top >= bottom)
        return true;
    // Edges by the first row they cover within [top, bottom).
    auto start_row = [top](const Edge& e) { return std::max(first_row_at_or_below(e.y0), top); };
    std::sort(m_edges.begin(), m_edges.end(),
              [&](const Edge& a, const Edge& b) { return start_row(a) < start_row(b); });
    m_active.clear();
    if (!ensure_capacity(m_active, m_edges.size()))
        return false;

    size_t next = 0;
    int64_t y = start_row(m_edges.front());
    while (y < bottom && (next < m_edges.size() || !m_active.empty())) {
        if (m_active.empty() && next < m_edges.size() && start_row(m_edges[next]) > y)
            y = start_row(m_edges[next]);
        if (y >= bottom)
            break;
        // Enter the edges that start on this row.
        for (; next < m_edges.size() && start_row(m_edges[next]) <= y; ++next) {
            const Edge& e = m_edges[next];
            const int64_t end_row = std::min(first_row_at_or_below(e.y1), bottom);
            if (y >= end_row)
                continue;
            const Int128 dy = Int128(e.y1) - e.y0;
            const Int128 d = dy * kFixOne;
            const Int128 n = Int128(e.x0) * dy + (Int128(y) * kFixOne - e.y0) * (Int128(e.x1) - e.x0);
            const Int128 step = (Int128(e.x1) - e.x0) * kFixOne;
            const Int128 q = floor_div(n, d);
            const Int128 qs = floor_div(step, d);
            m_active.push_back(Active{int64_t(q), int64_t(n - q * d), int64_t(d), int64_t(qs), int64_t(step - qs * d),
                                      end_row, e.winding});
        }
        // Keep the active edges ordered by crossing; they are nearly sorted from the last row.
        for (size_t i = 1; i < m_active.size(); ++i) {
            const Active a = m_active[i];
            size_t j = i;
            for (; j > 0 && m_active[j - 1].ceil() > a.ceil(); --j)
                m_active[j] = m_active[j - 1];
            m_active[j] = a;
        }
        if (mode == FillMode::Alternate) {
            for (size_t i = 0; i + 1 < m_active.size(); i += 2) {
                const int64_t x0 = m_active[i].ceil(), x1 = m_active[i + 1].ceil();
                if (x0 < x1)
                    sink(y, x0, x1);
            }
        } else {
            int32_t winding = 0;
            int64_t start = 0;
            for (const Active& a : m_active) {
                const int32_t before = winding;
                winding += a.winding;
                if (before == 0 && winding != 0)
                    start = a.ceil();
                else if (before != 0 && winding == 0 && start < a.ceil())
                    sink(y, start, a.ceil());
            }
        }
        // Step to the next row and drop the edges that end.
        ++y;
        size_t kept = 0;
        for (Active& a : m_active) {
            if (a.end_row <= y)
                continue;
            a.q += a.qs;
            a.r += a.rs;
            if (a.r >= a.d) {
                a.r -= a.d;
                ++a.q;
            }
            m_active[kept++] = a;
        }
        m_active.resize(kept);
    }
    return true;
}

} // namespace vexil::raster
