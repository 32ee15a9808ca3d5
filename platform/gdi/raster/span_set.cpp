// SPDX-License-Identifier: MIT
// The span set of a stroke and the subtraction of it from a fill.
#include "gdi/raster/span_set.h"

#include "gdi/raster/scratch.h"

#include <algorithm>

namespace vexil::raster {

void SpanSet::clear(const Box& bounds)
{
    m_bounds = bounds;
    m_spans.clear();
    m_pixels.clear();
}

bool SpanSet::add_span(int64_t y, int64_t x0, int64_t x1)
{
    if (y < m_bounds.top || y >= m_bounds.bottom)
        return true;
    x0 = std::max<int64_t>(x0, m_bounds.left);
    x1 = std::min<int64_t>(x1, m_bounds.right);
    if (x0 >= x1)
        return true;
    if (!m_spans.empty() && m_spans.back().y == y && m_spans.back().x1 >= x0) {
        m_spans.back().x1 = std::max(m_spans.back().x1, int32_t(x1));
        return true;
    }
    return push_back_checked(m_spans, Span{int32_t(y), int32_t(x0), int32_t(x1)});
}

bool SpanSet::add_pixel(int64_t x, int64_t y)
{
    if (x < m_bounds.left || x >= m_bounds.right || y < m_bounds.top || y >= m_bounds.bottom)
        return true;
    return push_back_checked(m_pixels, (uint64_t(y) << 32) | uint64_t(x));
}

bool SpanSet::normalize()
{
    if (m_pixels.empty())
        return true;
    std::sort(m_pixels.begin(), m_pixels.end());
    // Loose pixels come from strokes that build no spans, so the two never mix.
    size_t i = 0;
    while (i < m_pixels.size()) {
        const uint64_t first = m_pixels[i];
        uint64_t last = first;
        for (++i; i < m_pixels.size() && m_pixels[i] <= last + 1; ++i)
            last = m_pixels[i];
        const int64_t y = int64_t(first >> 32);
        if (!add_span(y, int64_t(first & 0xFFFFFFFF), int64_t(last & 0xFFFFFFFF) + 1))
            return false;
    }
    m_pixels.clear();
    return true;
}

void SpanSet::paint(const SpanWriter& writer) const
{
    for (const Span& s : m_spans)
        writer.span(s.y, s.x0, s.x1);
}

void SpanSubtractor::operator()(int64_t y, int64_t x0, int64_t x1)
{
    // Skip holes wholly before this span.
    while (m_next < m_holes.size() &&
           (m_holes[m_next].y < y || (m_holes[m_next].y == y && m_holes[m_next].x1 <= x0)))
        ++m_next;
    for (size_t i = m_next; i < m_holes.size() && m_holes[i].y == y && m_holes[i].x0 < x1; ++i) {
        if (m_holes[i].x0 > x0)
            m_out(y, x0, m_holes[i].x0);
        x0 = std::max<int64_t>(x0, m_holes[i].x1);
    }
    if (x0 < x1)
        m_out(y, x0, x1);
}

} // namespace vexil::raster
