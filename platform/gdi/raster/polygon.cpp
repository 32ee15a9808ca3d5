// SPDX-License-Identifier: MIT
// Polygon fills, with or without their outline.
#include "gdi/raster/polygon.h"

#include "gdi/raster/figure.h"
#include "gdi/raster/scan_converter.h"
#include "gdi/raster/scratch.h"
#include "gdi/raster/stroke.h"

#include <vector>

namespace vexil::raster {

namespace {

thread_local EdgeList s_edges;
thread_local std::vector<FixPoint> s_fixed;
thread_local SpanSet s_outline;

// The inside spans of the polygon within the clip bounds. False when memory is short or a
// point lies beyond the coordinate limit (nothing is produced then).
[[nodiscard]] bool polygon_spans(std::span<const Point64> points, FillMode mode, const Box& bounds, SpanSink sink)
{
    if (points.size() < 3 || bounds.empty())
        return true;
    s_fixed.clear();
    if (!ensure_capacity(s_fixed, points.size()))
        return false;
    for (const Point64& p : points) {
        if (!within_coordinate_limit(p))
            return false;
        s_fixed.push_back(to_fix(p));
    }
    s_edges.clear();
    return s_edges.add_polygon(s_fixed) && s_edges.fill(mode, bounds.top, bounds.bottom, sink);
}

} // namespace

void fill_polygon(const Target& target, const Brush& brush, std::span<const Point64> points, FillMode mode)
{
    const SpanWriter writer(target, brush);
    if (!writer.paints())
        return;
    auto paint = [&writer](int64_t y, int64_t x0, int64_t x1) { writer.span(y, x0, x1); };
    (void)polygon_spans(points, mode, target.clip.bounds(), paint);
}

void draw_polygon(const Target& target, const Pen& pen, const Brush& brush, std::span<const Point64> points,
                  FillMode mode)
{
    if (target.clip.empty())
        return;
    s_outline.clear(target.clip.bounds());
    if (!gather_stroke(pen, points, PathShape::Closed, s_outline))
        return;
    paint_figure(target, pen, brush, s_outline,
                 [&](SpanSink sink) { (void)polygon_spans(points, mode, target.clip.bounds(), sink); });
}

} // namespace vexil::raster
