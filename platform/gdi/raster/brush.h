// SPDX-License-Identifier: MIT
// The brush as the rasterizer fills with it: null, solid, hatch or 8x8 monochrome pattern.
#pragma once

#include <array>
#include <cstdint>

namespace vexil::raster {

enum class BrushStyle : uint8_t {
    Null, // fills nothing
    Solid,
    Hatch,
    Pattern,
};

// Numbered as Win32's HS_ constants.
enum class HatchStyle : uint8_t {
    Horizontal = 0,       // -----
    Vertical = 1,         // |||||
    ForwardDiagonal = 2,  // \\\\\ (top left to bottom right)
    BackwardDiagonal = 3, // ///// (bottom left to top right)
    Cross = 4,            // +++++
    DiagonalCross = 5,    // xxxxx
};

struct Brush {
    BrushStyle style = BrushStyle::Solid;
    uint32_t colour = 0; // solid and hatch: pixel value 0x00RRGGBB
    HatchStyle hatch = HatchStyle::Horizontal;
    // Pattern: 8 rows, top first, most significant bit leftmost. A 0 bit paints in the target's
    // text colour, a 1 bit in its background colour, in either background mode.
    std::array<uint8_t, 8> pattern{};
};

} // namespace vexil::raster
