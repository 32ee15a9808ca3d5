// SPDX-License-Identifier: MIT
// FillRect and Rectangle.
#include "gdi/raster/rectangle.h"

#include "gdi/raster/line.h"
#include "gdi/raster/span_writer.h"

namespace vexil::raster {

void fill_rect(const Target& target, const Brush& brush, Rect64 box)
{
    const SpanWriter writer(target, brush);
    if (!writer.paints() || box.empty())
        return;
    const Box& bounds = target.clip.bounds();
    const int64_t top = box.top > bounds.top ? box.top : bounds.top;
    const int64_t bottom = box.bottom < bounds.bottom ? box.bottom : bounds.bottom;
    for (int64_t y = top; y < bottom; ++y)
        writer.span(y, box.left, box.right);
}

void draw_rectangle(const Target& target, const Pen& pen, const Brush& brush, Rect64 box)
{
    // FIXME: the fill does not yet leave out the pixels of the outline.
    box = box.normalized();
    if (box.empty())
        return;
    fill_rect(target, brush, box);
    const Point64 corners[5] = {{box.left, box.top},
                                {box.right - 1, box.top},
                                {box.right - 1, box.bottom - 1},
                                {box.left, box.bottom - 1},
                                {box.left, box.top}};
    stroke_polyline(target, pen, corners, PathShape::Open);
}

} // namespace vexil::raster
