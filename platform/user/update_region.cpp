// SPDX-License-Identifier: MIT
// The update region's box list (see update_region.h for its rules).
#include "user/update_region.h"

#include <algorithm>

namespace vexil::user {

namespace {

bool contains(const raster::Box& outer, const raster::Box& inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

raster::Box bounding(const raster::Box& a, const raster::Box& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

} // namespace

raster::Box UpdateRegion::Contents::bounds() const
{
    if (count == 0)
        return {};
    raster::Box result = boxes[0];
    for (int i = 1; i < count; ++i)
        result = bounding(result, boxes[i]);
    return result;
}

bool UpdateRegion::add(const raster::Box& box, bool erase) noexcept
{
    kernel::FutexLockGuard guard(m_lock);
    const int count = m_count.load(std::memory_order_relaxed);
    m_erase = m_erase || erase;
    for (int i = 0; i < count; ++i) {
        if (contains(m_boxes[i], box))
            return false;
    }
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        if (!contains(box, m_boxes[i]))
            m_boxes[kept++] = m_boxes[i];
    }
    if (kept < kMaxBoxes) {
        m_boxes[kept++] = box;
    } else {
        raster::Box all = box;
        for (int i = 0; i < kept; ++i)
            all = bounding(all, m_boxes[i]);
        m_boxes[0] = all;
        kept = 1;
    }
    m_count.store(kept, std::memory_order_release);
    return count == 0;
}

void UpdateRegion::subtract(const raster::Box& box) noexcept
{
    kernel::FutexLockGuard guard(m_lock);
    const int count = m_count.load(std::memory_order_relaxed);
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        if (!contains(box, m_boxes[i]))
            m_boxes[kept++] = m_boxes[i];
    }
    if (kept == 0)
        m_erase = false;
    m_count.store(kept, std::memory_order_release);
}

UpdateRegion::Contents UpdateRegion::peek() const noexcept
{
    kernel::FutexLockGuard guard(m_lock);
    Contents contents;
    contents.count = m_count.load(std::memory_order_relaxed);
    std::copy(m_boxes, m_boxes + contents.count, contents.boxes);
    contents.erase = m_erase;
    return contents;
}

UpdateRegion::Contents UpdateRegion::take() noexcept
{
    kernel::FutexLockGuard guard(m_lock);
    Contents contents;
    contents.count = m_count.load(std::memory_order_relaxed);
    std::copy(m_boxes, m_boxes + contents.count, contents.boxes);
    contents.erase = m_erase;
    m_erase = false;
    m_count.store(0, std::memory_order_release);
    return contents;
}

} // namespace vexil::user
