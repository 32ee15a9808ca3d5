// SPDX-License-Identifier: MIT
// Small surfaces for raster tests, drawn as ASCII art ('.' for 0, '#' for any other pixel).
#pragma once

#include "gdi/raster/clip.h"
#include "gdi/raster/surface.h"
#include "gdi/raster/target.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vexil::raster::testing {

inline constexpr uint32_t kInk = 0x00FF00FF;

// A surface with its own pixels, cleared to 0, with a guard band of pixels around it that no
// primitive may change (rows are `stride` = width + 2 * kGuard apart).
class TestSurface {
public:
    static constexpr int32_t kGuard = 4;
    static constexpr uint32_t kGuardValue = 0x00ABCDEF;

    TestSurface(int32_t width, int32_t height, uint32_t fill = 0);
    TestSurface(const TestSurface&) = delete;
    TestSurface& operator=(const TestSurface&) = delete;

    const Surface& surface() const { return m_surface; }
    const ClipList& clip() const { return m_clip; }
    Target target(Rop2 rop = Rop2::CopyPen) const { return Target{m_surface, m_clip, rop}; }

    uint32_t at(int32_t x, int32_t y) const { return m_surface.row(y)[x]; }
    void set(int32_t x, int32_t y, uint32_t v) { m_surface.row(y)[x] = v; }
    int32_t width() const { return m_surface.width; }
    int32_t height() const { return m_surface.height; }
    std::vector<uint32_t> pixels() const;

    // One line per row: `background` -> '.', anything else -> '#'.
    std::string ascii(uint32_t background = 0) const;
    // One character per pixel from the legend "v=c" pairs, e.g. {{0, '.'}, {kInk, '#'}}; '?' otherwise.
    std::string ascii(const std::vector<std::pair<uint32_t, char>>& legend) const;

    bool guard_intact() const;
    // Pixels that are not `background`, as a bounding box (empty when none).
    Box ink_bounds(uint32_t background = 0) const;
    int64_t count(uint32_t value) const;

private:
    std::vector<uint32_t> m_storage;
    Surface m_surface;
    ClipList m_clip;
};

// Lines of ASCII art joined, so fixtures can be written one row per string.
std::string art(std::initializer_list<const char*> rows);

// Compares two pictures and, on failure, prints them side by side.
::testing::AssertionResult same_picture(const std::string& expected, const std::string& actual);

} // namespace vexil::raster::testing
