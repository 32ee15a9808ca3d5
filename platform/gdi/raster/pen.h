// SPDX-License-Identifier: MIT
// The pen as the rasterizer strokes with it: kind, width, colour and dash lengths.
#pragma once

#include <array>
#include <cstdint>

namespace vexil::raster {

enum class PenKind : uint8_t {
    Null,      // draws nothing
    Cosmetic,  // one pixel wide, one pixel per major-axis step, the last point left out
    Geometric, // square caps and bevel joins; width 1 sets both end points
};

inline constexpr int kMaxDashes = 16;

struct Pen {
    PenKind kind = PenKind::Cosmetic;
    uint32_t colour = 0; // pixel value 0x00RRGGBB
    // Geometric pens only; widths below 1 stroke as 1.
    int64_t width = 1;
    // Dash lengths, dash first, alternating with gaps; no entries means solid. A geometric dash
    // of length d sets d + 1 pixels (its caps) and a gap of g leaves g - 1 clear; a cosmetic dash
    // sets d pixels and a gap leaves g. An odd count repeats the list with the roles swapped.
    std::array<uint32_t, kMaxDashes> dashes{};
    uint8_t dash_count = 0;
};

} // namespace vexil::raster
