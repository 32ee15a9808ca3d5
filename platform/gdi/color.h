// SPDX-License-Identifier: MIT
// Conversions between COLORREF (0x00BBGGRR) and the pixel values of 32-bit and monochrome surfaces.
#pragma once

#include <win32/types.h>

#include <cstdint>

namespace vexil::gdi {

// The formats a DC can draw on. Monochrome bitmaps keep one 32-bit pixel per pixel internally,
// each either kMonoBlack or kMonoWhite, so the rasterizer needs only one format; the packed
// one-bit rows exist only at the Get/SetBitmapBits boundary.
enum class PixelFormat : uint8_t {
    Mono,
    Xrgb32,
};

constexpr uint32_t kMonoBlack = 0x000000;
constexpr uint32_t kMonoWhite = 0xFFFFFF;

// 0x00BBGGRR to 0x00RRGGBB; the top byte (palette-relative flags) is ignored.
constexpr uint32_t pixel_from_colorref(COLORREF color)
{
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

constexpr COLORREF colorref_from_pixel(uint32_t pixel)
{
    return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}

// A colour drawn on a monochrome surface becomes the nearer of black and white, as GDI maps it:
// white when the channels sum past half of 3 x 255.
constexpr uint32_t mono_pixel_from_colorref(COLORREF color)
{
    uint32_t sum = (color & 0xFF) + ((color >> 8) & 0xFF) + ((color >> 16) & 0xFF);
    return sum > 382 ? kMonoWhite : kMonoBlack;
}

constexpr uint32_t pixel_in_format(COLORREF color, PixelFormat format)
{
    return format == PixelFormat::Mono ? mono_pixel_from_colorref(color) : pixel_from_colorref(color);
}

} // namespace vexil::gdi
