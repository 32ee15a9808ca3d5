// SPDX-License-Identifier: MIT
// Brush fills: FillRect, FloodFill and ExtFloodFill.
#include "gdi/drawing.h"
#include "gdi/handles.h"

using namespace vexil::gdi;
namespace raster = vexil::raster;

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    DeviceContext* dc = find<DeviceContext>(hDC);
    Brush* brush = dc ? find<Brush>(hbr) : nullptr;
    if (!brush)
        return 0;
    if (!lprc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // FillRect is a pattern copy: the DC's ROP2 does not apply, and a reversed rectangle
    // fills nothing.
    raster::fill_rect(target_of(*dc, raster::Rop2::CopyPen), brush_of(*dc, *brush),
                      to_device(*dc, lprc->left, lprc->top, lprc->right, lprc->bottom));
    return 1;
}

BOOL WINAPI ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return FALSE;
    if (type != FLOODFILLBORDER && type != FLOODFILLSURFACE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    raster::FloodResult result = raster::flood_fill(target_of(*dc), brush_of(*dc), to_device(*dc, x, y),
                                                    dc->pixel_of(color), static_cast<raster::FloodMode>(type));
    if (result == raster::FloodResult::OutOfMemory)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    // GDI reports a seed outside the clip, or one it cannot fill from, as a failure.
    return result == raster::FloodResult::Filled ? TRUE : FALSE;
}

BOOL WINAPI FloodFill(HDC hdc, int x, int y, COLORREF color)
{
    return ExtFloodFill(hdc, x, y, color, FLOODFILLBORDER);
}
