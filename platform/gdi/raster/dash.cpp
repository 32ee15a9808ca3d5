// SPDX-License-Identifier: MIT
// The dash pattern's set-up and its integer walker.
#include "gdi/raster/dash.h"

namespace vexil::raster {

DashPattern::DashPattern(const Pen& pen) : m_caps(pen.kind != PenKind::Cosmetic)
{
    const int n = pen.dash_count > kMaxDashes ? kMaxDashes : pen.dash_count;
    if (n == 0)
        return;
    m_count = n % 2 == 0 ? n : 2 * n;
    bool gapless = true;
    for (int i = 0; i < m_count; ++i) {
        m_lengths[size_t(i)] = pen.dashes[size_t(i % n)];
        m_period += m_lengths[size_t(i)];
        // A gap clears g - 1 pixels with caps and g without: none at all when that is <= 0.
        if (i % 2 == 1 && m_lengths[size_t(i)] > (m_caps ? 1u : 0u))
            gapless = false;
    }
    // A pattern that clears nothing (the library's solid style {16, 0}) is drawn as solid.
    if (gapless)
        m_period = 0;
}

DashWalker::DashWalker(const DashPattern& pattern) : m_pattern(pattern)
{
    if (!m_pattern.solid())
        normalize();
}

void DashWalker::normalize()
{
    while (m_offset >= m_pattern.length(m_index)) {
        m_offset -= m_pattern.length(m_index);
        m_index = (m_index + 1) % m_pattern.count();
    }
}

void DashWalker::advance(uint64_t steps)
{
    if (m_pattern.solid())
        return;
    // Below two periods (< 2^38) after this, so normalize() takes at most two turns.
    m_offset += steps % m_pattern.period();
    normalize();
}

} // namespace vexil::raster
