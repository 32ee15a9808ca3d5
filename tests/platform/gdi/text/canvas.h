// SPDX-License-Identifier: MIT
// A pixel buffer for text tests, with a guard frame around the surface to catch stray writes.
#pragma once

#include "gdi/raster/surface.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexil::text {

class Canvas {
public:
    static constexpr int32_t kGuard = 8;
    static constexpr uint32_t kGuardPixel = 0x00A5A5A5;

    Canvas(int32_t width, int32_t height, uint32_t page_pixel)
        : m_width(width), m_height(height), m_buffer(static_cast<size_t>(stride()) * (height + 2 * kGuard), kGuardPixel)
    {
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                at(x, y) = page_pixel;
            }
        }
    }

    raster::Surface surface() { return {&m_buffer[kGuard * stride() + kGuard], m_width, m_height, stride()}; }
    raster::Box bounds() const { return {0, 0, m_width, m_height}; }
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }

    uint32_t& at(int32_t x, int32_t y) { return m_buffer[(y + kGuard) * stride() + x + kGuard]; }
    uint32_t at(int32_t x, int32_t y) const { return m_buffer[(y + kGuard) * stride() + x + kGuard]; }

    // True when every pixel of the guard frame, and of the padding right of each row, is intact.
    bool guard_intact() const
    {
        for (int32_t y = -kGuard; y < m_height + kGuard; ++y) {
            for (int32_t x = -kGuard; x < m_width + kGuard; ++x) {
                const bool inside = x >= 0 && x < m_width && y >= 0 && y < m_height;
                if (!inside && at(x, y) != kGuardPixel) {
                    return false;
                }
            }
        }
        return true;
    }

    bool operator==(const Canvas& other) const = default;

private:
    int32_t stride() const { return m_width + 2 * kGuard; }

    int32_t m_width;
    int32_t m_height;
    std::vector<uint32_t> m_buffer;
};

} // namespace vexil::text
