// SPDX-License-Identifier: MIT
// A caller's POINT list in device coordinates, on the stack for the common short lists.
#pragma once

#include "gdi/drawing.h"
#include "gdi/handles.h"

#include <win32/kernel.h>

#include <memory>
#include <new>
#include <span>

namespace vexil::gdi {

class PointBuffer {
public:
    // Converts `count` points; false with the last error set when there are fewer than
    // `minimum`, none to read, or no memory for a long list.
    [[nodiscard]] bool load(const DeviceContext& dc, const POINT* points, int count, int minimum)
    {
        if (!points || count < minimum) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        raster::Point64* out = m_inline;
        if (count > kInline) {
            m_heap.reset(new (std::nothrow) raster::Point64[static_cast<size_t>(count)]);
            if (!m_heap) {
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                return false;
            }
            out = m_heap.get();
        }
        for (int i = 0; i < count; ++i)
            out[i] = to_device(dc, points[i].x, points[i].y);
        m_view = {out, static_cast<size_t>(count)};
        return true;
    }

    std::span<const raster::Point64> view() const { return m_view; }

private:
    static constexpr int kInline = 64;
    raster::Point64 m_inline[kInline];
    std::unique_ptr<raster::Point64[]> m_heap;
    std::span<const raster::Point64> m_view;
};

// Calls draw(dc, points) with a caller's list in device coordinates; FALSE, with the last
// error set, for a bad DC or a list shorter than `minimum`.
template <typename Draw> BOOL draw_points(HDC hdc, const POINT* points, int count, int minimum, Draw&& draw)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return FALSE;
    PointBuffer buffer;
    if (!buffer.load(*dc, points, count, minimum))
        return FALSE;
    draw(*dc, buffer.view());
    return TRUE;
}

} // namespace vexil::gdi
