// SPDX-License-Identifier: MIT
// The pixels the rasterizer draws on, and the half-open boxes it clips to.
#pragma once

#include <cstdint>

namespace vexil::raster {

// 32 bits per pixel, value 0x00RRGGBB (memory order B, G, R, X). The surface does not own
// its pixels. Rows are `stride` pixels apart (stride >= width).
struct Surface {
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;

    uint32_t* row(int32_t y) const { return pixels + static_cast<intptr_t>(y) * stride; }
};

// [left, right) x [top, bottom), in device pixels.
struct Box {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool empty() const { return left >= right || top >= bottom; }
};

} // namespace vexil::raster
