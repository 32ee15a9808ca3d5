// SPDX-License-Identifier: MIT
// Single pixels: SetPixel, SetPixelV and GetPixel.
#include "gdi/drawing.h"
#include "gdi/handles.h"

using namespace vexil::gdi;

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return CLR_INVALID;
    uint32_t pixel = dc->pixel_of(color);
    if (!vexil::raster::set_pixel(dc->surface, dc->clip_list, to_device(*dc, x, y), pixel))
        return CLR_INVALID; // outside the bitmap or the clip: GDI answers -1
    return colorref_from_pixel(pixel);
}

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return FALSE;
    return vexil::raster::set_pixel(dc->surface, dc->clip_list, to_device(*dc, x, y), dc->pixel_of(color)) ? TRUE
                                                                                                          : FALSE;
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return CLR_INVALID;
    std::optional<uint32_t> pixel = vexil::raster::get_pixel(dc->surface, dc->clip_list, to_device(*dc, x, y));
    return pixel ? colorref_from_pixel(*pixel) : CLR_INVALID;
}
