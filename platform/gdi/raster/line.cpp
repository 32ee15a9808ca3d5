// SPDX-License-Identifier: MIT
// LineTo and Polyline: a lone one-pixel segment is plotted directly, anything else gathered first.
#include "gdi/raster/line.h"

#include "gdi/raster/span_writer.h"
#include "gdi/raster/stroke.h"

namespace vexil::raster {

namespace {

thread_local SpanSet s_stroke;

} // namespace

void stroke_line(const Target& target, const Pen& pen, Point64 from, Point64 to)
{
    if (pen.kind == PenKind::Null || target.clip.empty())
        return;
    if (is_wide(pen) || !within_coordinate_limit(from) || !within_coordinate_limit(to)) {
        const Point64 points[2] = {from, to};
        stroke_polyline(target, pen, points, PathShape::Open);
        return;
    }
    // One segment never overlaps itself, so its pixels go straight to the page.
    const SpanWriter writer(target, pen.colour);
    if (!writer.paints())
        return;
    const DashPattern pattern(pen);
    DashWalker walker(pattern);
    const bool geometric = pen.kind == PenKind::Geometric;
    if (from == to) {
        if (geometric)
            writer.pixel(from.x, from.y);
        return;
    }
    step_segment(from, to, geometric, target.clip.bounds(), pattern.solid() ? nullptr : &walker,
                 [&writer](int64_t x, int64_t y) { writer.pixel(x, y); });
}

void stroke_polyline(const Target& target, const Pen& pen, std::span<const Point64> points, PathShape shape)
{
    if (pen.kind == PenKind::Null || target.clip.empty())
        return;
    const SpanWriter writer(target, pen.colour);
    if (!writer.paints())
        return;
    s_stroke.clear(target.clip.bounds());
    if (gather_stroke(pen, points, shape, s_stroke))
        s_stroke.paint(writer);
}

} // namespace vexil::raster
