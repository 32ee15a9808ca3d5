// SPDX-License-Identifier: MIT
// A window's update region: the part of the client area that waits to be painted.
#pragma once

/*
 * The region is a short list of boxes in client coordinates. Adding a box that an existing box
 * contains changes nothing; boxes that the new one contains are dropped; when the list is
 * full, everything collapses into one bounding box. So the region always covers everything
 * added, is never more complex than kMaxBoxes boxes, and adding costs a few comparisons. It
 * may cover more than was added (never less), which only repaints more.
 *
 * Any thread adds (InvalidateRect is the hot path of every drawing call); the owner thread
 * takes. Changes are made under a short lock and published through a sequence count (odd
 * while a change is under way), so that covers() can tell without any atomic read-modify-write
 * that a box is already in the region, the common case while drawing goes on between paints.
 */

#include "gdi/raster/surface.h"
#include "kernel/futex_lock.h"

#include <atomic>

namespace vexil::user {

class UpdateRegion {
public:
    static constexpr int kMaxBoxes = 4;

    struct Contents {
        raster::Box boxes[kMaxBoxes];
        int count = 0;
        bool erase = false; // someone asked for the background to be erased

        raster::Box bounds() const;
    };

    // Whether adding the box (with the erase request) would change nothing. Lock-free; a
    // change under way meanwhile makes it answer false.
    bool covers(const raster::Box& box, bool erase) const noexcept;
    // Unions a non-empty box into the region. True when the region was empty before.
    bool add(const raster::Box& box, bool erase) noexcept;
    // Removes the boxes that `box` contains (all of them for a box covering the region).
    void subtract(const raster::Box& box) noexcept;
    // The region, which is then empty.
    Contents take() noexcept;
    Contents peek() const noexcept;
    void clear() noexcept { static_cast<void>(take()); }
    bool empty() const noexcept { return m_count.load(std::memory_order_acquire) == 0; }

private:
    // Called with the lock held.
    Contents read_locked() const noexcept;
    void write_locked(const raster::Box* boxes, int count, bool erase) noexcept;

    mutable kernel::FutexLock m_lock;
    std::atomic<uint32_t> m_sequence{0};
    std::atomic<int32_t> m_edges[kMaxBoxes][4] = {}; // left, top, right, bottom
    std::atomic<int> m_count{0};
    std::atomic<bool> m_erase{false};
};

} // namespace vexil::user
