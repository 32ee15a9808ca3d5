// SPDX-License-Identifier: MIT
// Brushes: solid, hatched and 8 x 8 monochrome pattern brushes.
#include "gdi/handles.h"

namespace vexil::gdi {

namespace {

HBRUSH make_brush(const BrushAttributes& brush)
{
    return static_cast<HBRUSH>(make<Brush>(brush, false));
}

} // namespace

} // namespace vexil::gdi

using namespace vexil::gdi;

HBRUSH WINAPI CreateSolidBrush(COLORREF color)
{
    BrushAttributes brush;
    brush.color = color;
    return make_brush(brush);
}

HBRUSH WINAPI CreateHatchBrush(int iHatch, COLORREF color)
{
    if (iHatch < HS_HORIZONTAL || iHatch > HS_DIAGCROSS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    BrushAttributes brush;
    brush.color = color;
    brush.fill.style = vexil::raster::BrushStyle::Hatch;
    brush.fill.hatch = static_cast<vexil::raster::HatchStyle>(iHatch);
    return make_brush(brush);
}

HBRUSH WINAPI CreatePatternBrush(HBITMAP hbm)
{
    Bitmap* bitmap = find<Bitmap>(hbm);
    if (!bitmap)
        return nullptr;
    if (bitmap->format != PixelFormat::Mono) {
        // FIXME: colour pattern brushes; the library makes only monochrome ones.
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    // The brush keeps its own copy of the bitmap's top-left 8 x 8 pixels, so the bitmap may be
    // deleted at once. A smaller bitmap repeats within the tile.
    BrushAttributes brush;
    brush.fill.style = vexil::raster::BrushStyle::Pattern;
    for (int32_t y = 0; y < 8; ++y) {
        const uint32_t* row = bitmap->pixels + static_cast<size_t>(y % bitmap->height) * bitmap->width;
        uint8_t bits = 0;
        for (int32_t x = 0; x < 8; ++x)
            if ((row[x % bitmap->width] & 0x00FFFFFF) != 0)
                bits |= static_cast<uint8_t>(0x80 >> x);
        brush.fill.pattern[y] = bits;
    }
    return make_brush(brush);
}
