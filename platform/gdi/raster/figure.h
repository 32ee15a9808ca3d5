// SPDX-License-Identifier: MIT
// Painting a filled figure: the inside with the brush, minus the outline, then the outline with the pen.
#pragma once

#include "gdi/raster/brush.h"
#include "gdi/raster/pen.h"
#include "gdi/raster/span_set.h"
#include "gdi/raster/span_sink.h"
#include "gdi/raster/span_writer.h"
#include "gdi/raster/target.h"

namespace vexil::raster {

// `outline` holds the pen's pixels (gathered beforehand); fill(sink) produces the inside's
// spans in row order. Each pixel is painted once, by the pen where the outline covers it and
// by the brush elsewhere, so a figure and its outline touch without a gap in any ROP2.
template <typename Fill>
void paint_figure(const Target& target, const Pen& pen, const Brush& brush, const SpanSet& outline, Fill&& fill)
{
    const SpanWriter brush_writer(target, brush);
    if (brush_writer.paints()) {
        auto paint = [&brush_writer](int64_t y, int64_t x0, int64_t x1) { brush_writer.span(y, x0, x1); };
        SpanSubtractor inside(outline, paint);
        fill(SpanSink(inside));
    }
    if (pen.kind != PenKind::Null)
        outline.paint(SpanWriter(target, pen.colour));
}

} // namespace vexil::raster
