// SPDX-License-Identifier: MIT
// FillRect and Rectangle.
#include "gdi/raster/rectangle.h"

#include "gdi/raster/figure.h"
#include "gdi/raster/stroke.h"

#include <algorithm>

namespace vexil::raster {

namespace {

thread_local SpanSet s_outline;

// The rows of the box within the bounds, each span as given (the writer clips x).
template <typename Sink>
void box_spans(Rect64 box, const Box& bounds, Sink&& sink)
{
    const int64_t top = std::max<int64_t>(box.top, bounds.top);
    const int64_t bottom = std::min<int64_t>(box.bottom, bounds.bottom);
    for (int64_t y = top; y < bottom; ++y)
        sink(y, box.left, box.right);
}

} // namespace

void fill_rect(const Target& target, const Brush& brush, Rect64 box)
{
    const SpanWriter writer(target, brush);
    if (!writer.paints() || box.empty())
        return;
    box_spans(box, target.clip.bounds(), [&writer](int64_t y, int64_t x0, int64_t x1) { writer.span(y, x0, x1); });
}

void draw_rectangle(const Target& target, const Pen& pen, const Brush& brush, Rect64 box)
{
    box = box.normalized();
    if (box.empty() || target.clip.empty())
        return;
    s_outline.clear(target.clip.bounds());
    // Corners are clamped to the coordinate limit: the outline runs along the axes, so the
    // clamped edges still lie far outside the page and what it shows is unchanged.
    auto clamp = [](int64_t v) { return std::clamp(v, -kCoordinateLimit, kCoordinateLimit); };
    const int64_t l = clamp(box.left), t = clamp(box.top), r = clamp(box.right - 1), b = clamp(box.bottom - 1);
    const Point64 corners[4] = {{l, t}, {r, t}, {r, b}, {l, b}};
    if (!gather_stroke(pen, corners, PathShape::Closed, s_outline))
        return;
    paint_figure(target, pen, brush, s_outline, [&](SpanSink sink) { box_spans(box, target.clip.bounds(), sink); });
}

} // namespace vexil::raster
