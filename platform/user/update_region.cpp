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

bool UpdateRegion::covers(const raster::Box& box, bool erase) const noexcept
{
    // The reading side of a sequence lock: the answer counts only if no change began or ended
    // while the boxes were read. The values are read with acquire, so that the second read
    // of the sequence comes after them, and a value from a change under way brings that
    // change's odd sequence with it.
    const uint32_t before = m_sequence.load(std::memory_order_acquire);
    if ((before & 1) != 0)
        return false;
    bool covered = !erase || m_erase.load(std::memory_order_acquire);
    if (covered) {
        covered = false;
        const int count = std::min(m_count.load(std::memory_order_acquire), kMaxBoxes);
        for (int i = 0; i < count && !covered; ++i) {
            const raster::Box existing = {m_edges[i][0].load(std::memory_order_acquire),
                                          m_edges[i][1].load(std::memory_order_acquire),
                                          m_edges[i][2].load(std::memory_order_acquire),
                                          m_edges[i][3].load(std::memory_order_acquire)};
            covered = contains(existing, box);
        }
    }
    return covered && m_sequence.load(std::memory_order_relaxed) == before;
}

UpdateRegion::Contents UpdateRegion::read_locked() const noexcept
{
    Contents contents;
    contents.count = m_count.load(std::memory_order_relaxed);
    for (int i = 0; i < contents.count; ++i) {
        contents.boxes[i] = {m_edges[i][0].load(std::memory_order_relaxed), m_edges[i][1].load(std::memory_order_relaxed),
                             m_edges[i][2].load(std::memory_order_relaxed), m_edges[i][3].load(std::memory_order_relaxed)};
    }
    contents.erase = m_erase.load(std::memory_order_relaxed);
    return contents;
}

void UpdateRegion::write_locked(const raster::Box* boxes, int count, bool erase) noexcept
{
    // Release stores throughout: none of them can be seen before the odd sequence.
    const uint32_t sequence = m_sequence.load(std::memory_order_relaxed);
    m_sequence.store(sequence + 1, std::memory_order_relaxed);
    for (int i = 0; i < count; ++i) {
        m_edges[i][0].store(boxes[i].left, std::memory_order_release);
        m_edges[i][1].store(boxes[i].top, std::memory_order_release);
        m_edges[i][2].store(boxes[i].right, std::memory_order_release);
        m_edges[i][3].store(boxes[i].bottom, std::memory_order_release);
    }
    m_erase.store(erase, std::memory_order_release);
    m_count.store(count, std::memory_order_release);
    m_sequence.store(sequence + 2, std::memory_order_release);
}

bool UpdateRegion::add(const raster::Box& box, bool erase) noexcept
{
    kernel::FutexLockGuard guard(m_lock);
    Contents region = read_locked();
    const bool was_empty = region.count == 0;
    erase = erase || region.erase;
    for (int i = 0; i < region.count; ++i) {
        if (contains(region.boxes[i], box)) {
            if (erase != region.erase)
                write_locked(region.boxes, region.count, erase);
            return false;
        }
    }
    int kept = 0;
    for (int i = 0; i < region.count; ++i) {
        if (!contains(box, region.boxes[i]))
            region.boxes[kept++] = region.boxes[i];
    }
    if (kept < kMaxBoxes) {
        region.boxes[kept++] = box;
    } else {
        raster::Box all = box;
        for (int i = 0; i < kept; ++i)
            all = bounding(all, region.boxes[i]);
        region.boxes[0] = all;
        kept = 1;
    }
    write_locked(region.boxes, kept, erase);
    return was_empty;
}

void UpdateRegion::subtract(const raster::Box& box) noexcept
{
    kernel::FutexLockGuard guard(m_lock);
    Contents region = read_locked();
    int kept = 0;
    for (int i = 0; i < region.count; ++i) {
        if (!contains(box, region.boxes[i]))
            region.boxes[kept++] = region.boxes[i];
    }
    write_locked(region.boxes, kept, kept != 0 && region.erase);
}

UpdateRegion::Contents UpdateRegion::peek() const noexcept
{
    kernel::FutexLockGuard guard(m_lock);
    return read_locked();
}

UpdateRegion::Contents UpdateRegion::take() noexcept
{
    kernel::FutexLockGuard guard(m_lock);
    const Contents contents = read_locked();
    write_locked(nullptr, 0, false);
    return contents;
}

} // namespace vexil::user
