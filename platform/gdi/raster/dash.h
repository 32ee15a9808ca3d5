// SPDX-License-Identifier: MIT
// A pen's dash pattern: stepping it pixel by pixel, and finding its dashes along a wide segment.
#pragma once

#include "gdi/raster/pen.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace vexil::raster {

/*
 * Elements alternate dash, gap, dash, ... from position 0 of the stroke; an odd list is doubled
 * (the second copy swaps dashes and gaps). Element i covers [start_i, start_i + length_i),
 * zero-length elements cover nothing, and the pattern repeats every `period` steps. A pattern
 * whose gaps clear no pixel is kept as solid (period 0), so solid styles take the solid paths.
 * A geometric dash carries square caps half a step past each end, so the pixel at integer
 * position p is set when p lies in a dash or is the first position of a gap (the closed end of
 * the dash before it): a dash of d sets d + 1 pixels and a gap of g leaves g - 1 clear.
 * Cosmetic dashes have no caps: only positions inside a dash are set.
 */
class DashPattern {
public:
    explicit DashPattern(const Pen& pen);

    bool solid() const { return m_period == 0; }
    bool caps() const { return m_caps; }
    int count() const { return m_count; }
    uint64_t length(int i) const { return m_lengths[size_t(i)]; }
    uint64_t period() const { return m_period; }

    // Wide pens: calls on(a, b) for every dash [a, b] (closed, positions in steps, without caps)
    // that meets [from, to], clipped to it, in order. `from` >= 0.
    template <typename On>
    void dashes_between(double from, double to, On&& on) const;

private:
    std::array<uint64_t, 2 * kMaxDashes> m_lengths{};
    int m_count = 0;
    uint64_t m_period = 0;
    bool m_caps = true;
};

// Steps through a pattern one integer position at a time.
// Invariant (unless solid): m_offset < length of element m_index.
class DashWalker {
public:
    explicit DashWalker(const DashPattern& pattern);

    bool on() const
    {
        return m_pattern.solid() || m_index % 2 == 0 || (m_pattern.caps() && m_offset == 0);
    }
    void step()
    {
        if (!m_pattern.solid() && ++m_offset >= m_pattern.length(m_index))
            normalize();
    }
    void advance(uint64_t steps);

private:
    void normalize();

    const DashPattern& m_pattern;
    int m_index = 0;
    uint64_t m_offset = 0;
};

template <typename On>
void DashPattern::dashes_between(double from, double to, On&& on) const
{
    if (m_period == 0) {
        on(from, to);
        return;
    }
    const double period = double(m_period);
    double base = std::floor(from / period) * period;
    while (base <= to) {
        double start = base;
        for (int i = 0; i < m_count; ++i) {
            const double end = start + double(m_lengths[size_t(i)]);
            if (i % 2 == 0 && end >= from && start <= to)
                on(start < from ? from : start, end > to ? to : end);
            start = end;
        }
        base += period;
    }
}

} // namespace vexil::raster
