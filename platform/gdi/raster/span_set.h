// SPDX-License-Identifier: MIT
// The pixels of one stroke: a set of spans, so each pixel is painted once and fills can leave them out.
#pragma once

#include "gdi/raster/span_sink.h"
#include "gdi/raster/span_writer.h"
#include "gdi/raster/surface.h"

#include <cstdint>
#include <vector>

namespace vexil::raster {

/*
 * Spans sorted by row, then by x, disjoint and not touching; every one lies within the bounds
 * given at clear() (the clip bounds), so coordinates fit 32 bits. Strokes are gathered here
 * before they are painted, which makes each pixel of a stroke painted once however its pieces
 * overlap, and lets a fill leave out the pixels its outline paints.
 * Spans can be added in order (add_span), or as loose pixels (add_pixel) that normalize() sorts
 * and merges.
 */
class SpanSet {
public:
    struct Span {
        int32_t y;
        int32_t x0;
        int32_t x1;
    };

    void clear(const Box& bounds);
    const Box& bounds() const { return m_bounds; }

    // A span of a row at or below the last one added, and right of any span of that row. False
    // when memory is short.
    [[nodiscard]] bool add_span(int64_t y, int64_t x0, int64_t x1);
    [[nodiscard]] bool add_pixel(int64_t x, int64_t y);
    // Turns the loose pixels into spans; false when memory is short.
    [[nodiscard]] bool normalize();

    bool empty() const { return m_spans.empty(); }
    const std::vector<Span>& spans() const { return m_spans; }
    void paint(const SpanWriter& writer) const;

private:
    Box m_bounds;
    std::vector<Span> m_spans;
    std::vector<uint64_t> m_pixels; // (y << 32) | x, both within the bounds
};

// Passes on the spans it is given minus the pixels of a span set. Spans must come in the set's
// order (rows increasing, left to right within a row), as every fill produces them.
class SpanSubtractor {
public:
    SpanSubtractor(const SpanSet& holes, SpanSink out) : m_holes(holes.spans()), m_out(out) {}

    void operator()(int64_t y, int64_t x0, int64_t x1);

private:
    const std::vector<SpanSet::Span>& m_holes;
    SpanSink m_out;
    size_t m_next = 0; // first hole not wholly before the current span
};

} // namespace vexil::raster
