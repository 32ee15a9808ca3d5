// SPDX-License-Identifier: MIT
// The clip list's bounds and its checks.
#include "gdi/raster/clip.h"

#include <algorithm>

namespace vexil::raster {

namespace {

Box intersect(const Box& a, const Box& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

Box surface_box(const Surface& surface)
{
    if (!surface.pixels || surface.width <= 0 || surface.height <= 0)
        return {};
    return {0, 0, surface.width, surface.height};
}

} // namespace

ClipList::ClipList(const Surface& surface, std::span<const Box> boxes) : m_boxes(boxes)
{
    const Box whole = surface_box(surface);
    int visible = 0;
    Box last;
    for (const Box& box : boxes) {
        const Box part = intersect(box, whole);
        if (part.empty())
            continue;
        last = part;
        if (visible++ == 0) {
            m_bounds = part;
        } else {
            m_bounds = {std::min(m_bounds.left, part.left), std::min(m_bounds.top, part.top),
                        std::max(m_bounds.right, part.right), std::max(m_bounds.bottom, part.bottom)};
        }
    }
    if (visible == 0) {
        m_boxes = {};
        m_bounds = {};
    }
    m_single = visible == 1;
    if (m_single) {
        m_bounds = last;
        m_boxes = {};
    }
}

ClipList ClipList::whole(const Surface& surface)
{
    const Box box = surface_box(surface);
    return ClipList(surface, std::span<const Box>(&box, 1));
}

bool ClipList::contains(int64_t x, int64_t y) const
{
    if (x < m_bounds.left || x >= m_bounds.right || y < m_bounds.top || y >= m_bounds.bottom)
        return false;
    if (m_single)
        return true;
    return std::any_of(m_boxes.begin(), m_boxes.end(), [x, y](const Box& box) {
        return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
    });
}

bool ClipList::validate() const
{
    for (size_t i = 0; i < m_boxes.size(); ++i)
        for (size_t j = i + 1; j < m_boxes.size(); ++j)
            if (!intersect(m_boxes[i], m_boxes[j]).empty() && !m_boxes[i].empty() && !m_boxes[j].empty())
                return false;
    return true;
}

} // namespace vexil::raster
