// SPDX-License-Identifier: MIT
// Outlined and filled figures: Rectangle, Ellipse, Arc, Pie and Polygon.
#include "gdi/drawing.h"
#include "gdi/handles.h"
#include "gdi/point_buffer.h"

using namespace vexil::gdi;
namespace raster = vexil::raster;

namespace {

raster::ArcDirection direction_of(const DeviceContext& dc)
{
    return static_cast<raster::ArcDirection>(dc.arc_direction);
}

} // namespace

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return FALSE;
    raster::draw_rectangle(target_of(*dc), pen_of(*dc), brush_of(*dc), to_device(*dc, left, top, right, bottom));
    return TRUE;
}

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return FALSE;
    raster::draw_ellipse(target_of(*dc), pen_of(*dc), brush_of(*dc), to_device(*dc, left, top, right, bottom));
    return TRUE;
}

BOOL WINAPI Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return FALSE;
    raster::draw_arc(target_of(*dc), pen_of(*dc), to_device(*dc, x1, y1, x2, y2), to_device(*dc, x3, y3),
                     to_device(*dc, x4, y4), direction_of(*dc));
    return TRUE;
}

BOOL WINAPI Pie(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return FALSE;
    raster::draw_pie(target_of(*dc), pen_of(*dc), brush_of(*dc), to_device(*dc, left, top, right, bottom),
                     to_device(*dc, xr1, yr1), to_device(*dc, xr2, yr2), direction_of(*dc));
    return TRUE;
}

BOOL WINAPI Polygon(HDC hdc, const POINT* apt, int cpt)
{
    return draw_points(hdc, apt, cpt, 2, [](const DeviceContext& dc, std::span<const raster::Point64> points) {
        raster::draw_polygon(target_of(dc), pen_of(dc), brush_of(dc), points,
                             static_cast<raster::FillMode>(dc.poly_fill_mode));
    });
}
