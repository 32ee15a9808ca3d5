// SPDX-License-Identifier: MIT
// Lines with the DC's pen: LineTo and Polyline.
#include "gdi/drawing.h"
#include "gdi/handles.h"
#include "gdi/point_buffer.h"

using namespace vexil::gdi;

BOOL WINAPI LineTo(HDC hdc, int x, int y)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return FALSE;
    vexil::raster::stroke_line(target_of(*dc), pen_of(*dc), to_device(*dc, dc->position.x, dc->position.y),
                               to_device(*dc, x, y));
    dc->position = {x, y};
    return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt)
{
    return draw_points(hdc, apt, cpt, 2, [](const DeviceContext& dc, std::span<const vexil::raster::Point64> points) {
        vexil::raster::stroke_polyline(target_of(dc), pen_of(dc), points, vexil::raster::PathShape::Open);
    });
}
