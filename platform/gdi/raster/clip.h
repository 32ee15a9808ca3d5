// SPDX-License-Identifier: MIT
// The clip list: the disjoint boxes of a surface that a primitive may write.
#pragma once

#include "gdi/raster/geometry.h"
#include "gdi/raster/surface.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace vexil::raster {

/*
 * A view of disjoint boxes that a primitive may write; the caller keeps the boxes alive. The
 * constructor computes their bounding box intersected with the surface, so every writer can
 * reject at once what misses it, and every span is clipped to each box *and* to the surface:
 * a box reaching past the surface never lets a pixel outside it be written.
 * An empty list (no boxes, or boxes outside the surface) draws nothing.
 * Boxes must be disjoint, so that no pixel is written twice by one span.
 */
class ClipList {
public:
    ClipList() = default;
    ClipList(const Surface& surface, std::span<const Box> boxes);

    // The whole surface.
    static ClipList whole(const Surface& surface);

    // The boxes that meet the surface (one box: the bounds themselves).
    std::span<const Box> boxes() const { return m_single ? std::span<const Box>(&m_bounds, 1) : m_boxes; }
    // Bounding box of the visible area: the boxes' union within the surface.
    const Box& bounds() const { return m_bounds; }
    bool empty() const { return m_bounds.empty(); }
    // True when one box is all that meets the surface, so spans need no box loop; the list then
    // keeps that box (clipped to the surface) in its bounds and no longer refers to the caller's.
    bool single() const { return m_single; }

    bool contains(int64_t x, int64_t y) const;

    // Calls emit(x0, x1) for each visible part of [x0, x1) on row y, left to right within each box.
    template <typename Emit>
    void clip_span(int64_t y, int64_t x0, int64_t x1, Emit&& emit) const
    {
        if (y < m_bounds.top || y >= m_bounds.bottom)
            return;
        x0 = x0 < m_bounds.left ? m_bounds.left : x0;
        x1 = x1 > m_bounds.right ? m_bounds.right : x1;
        if (x0 >= x1)
            return;
        if (m_single) {
            emit(static_cast<int32_t>(x0), static_cast<int32_t>(x1));
            return;
        }
        for (const Box& box : m_boxes) {
            // Boxes are not clipped to the surface here; the bounds above already clamp x, and y
            // lies within the bounds, hence within the surface.
            if (y < box.top || y >= box.bottom)
                continue;
            const int64_t l = x0 > box.left ? x0 : box.left;
            const int64_t r = x1 < box.right ? x1 : box.right;
            if (l < r)
                emit(static_cast<int32_t>(l), static_cast<int32_t>(r));
        }
    }

    // True when the boxes are pairwise disjoint (for tests and VEXIL_ASSERT).
    bool validate() const;

private:
    std::span<const Box> m_boxes;
    Box m_bounds;
    bool m_single = false;
};

} // namespace vexil::raster
