// SPDX-License-Identifier: MIT
// LineTo and Polyline: a lone one-pixel segment is plotted directly, anything else gathered first.
#include "gdi/raster/line.h"

#include "gdi/raster/span_writer.h"
#include "gdi/raster/stroke.h"

#include <algorithm>

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
    const bool geometric = pen.kind == PenKind::Geometric;
    if (from == to) {
        if (geometric)
            writer.pixel(from.x, from.y);
        return;
    }
    if (!target.clip.single()) {
        const DashPattern pattern(pen);
        DashWalker walker(pattern);
        step_segment(from, to, geometric, target.clip.bounds(), pattern.solid() ? nullptr : &walker,
                     [&writer](int64_t x, int64_t y) { writer.pixel(x, y); });
        return;
    }
    const Surface& surface = target.surface;
    const bool solid = pen.dash_count == 0 || DashPattern(pen).solid();
    if (solid && from.y == to.y) {
        // Horizontal: one span, ending at `to` (geometric) or just before it (cosmetic).
        const int64_t step = from.x < to.x ? 1 : -1;
        const int64_t last = geometric ? to.x : to.x - step;
        writer.span(from.y, std::min(from.x, last), std::max(from.x, last) + 1);
        return;
    }
    if (solid && from.x == to.x) {
        // Vertical: a column walked by the stride, clipped to the one box first.
        const Box& b = target.clip.bounds();
        const int64_t step = from.y < to.y ? 1 : -1;
        const int64_t last = geometric ? to.y : to.y - step;
        const int64_t y0 = std::max<int64_t>(std::min(from.y, last), b.top);
        const int64_t y1 = std::min<int64_t>(std::max(from.y, last), b.bottom - 1);
        if (from.x < b.left || from.x >= b.right || y0 > y1)
            return;
        writer.with_pixel_op([&](auto op) {
            uint32_t* p = surface.row(int32_t(y0)) + from.x;
            for (int64_t y = y0; y <= y1; ++y, p += surface.stride)
                op(*p);
        });
        return;
    }
    // One clip box: step_segment visits only pixels inside it, so they are written unchecked.
    writer.with_pixel_op([&](auto op) {
        auto plot = [&surface, op](int64_t x, int64_t y) { op(surface.pixels[intptr_t(y) * surface.stride + x]); };
        if (pen.dash_count == 0) {
            step_segment(from, to, geometric, target.clip.bounds(), nullptr, plot);
            return;
        }
        const DashPattern pattern(pen);
        DashWalker walker(pattern);
        step_segment(from, to, geometric, target.clip.bounds(), pattern.solid() ? nullptr : &walker, plot);
    });
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
