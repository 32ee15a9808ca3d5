// SPDX-License-Identifier: MIT
// The rasterizer's view of a DC for one drawing call: target, pen, brush and device coordinates.
#pragma once

#include "gdi/dc.h"
#include "gdi/raster/raster.h"

namespace vexil::gdi {

// Colours are converted here, once per call, for the DC's surface format.
inline raster::Target target_of(const DeviceContext& dc, raster::Rop2 rop)
{
    return {dc.surface,
            dc.clip_list,
            rop,
            dc.pixel_of(dc.text_color),
            dc.pixel_of(dc.bk_color),
            static_cast<raster::BackgroundMode>(dc.bk_mode)};
}

inline raster::Target target_of(const DeviceContext& dc)
{
    return target_of(dc, static_cast<raster::Rop2>(dc.rop2));
}

inline raster::Pen pen_of(const DeviceContext& dc)
{
    raster::Pen pen = dc.pen_object->attributes.stroke;
    pen.colour = dc.pixel_of(dc.pen_object->attributes.color);
    return pen;
}

inline raster::Brush brush_of(const DeviceContext& dc, const Brush& brush)
{
    raster::Brush fill = brush.attributes.fill;
    fill.colour = dc.pixel_of(brush.attributes.color);
    return fill;
}

inline raster::Brush brush_of(const DeviceContext& dc)
{
    return brush_of(dc, *dc.brush_object);
}

// Logical to device coordinates: the viewport origin added in 64 bits, so nothing wraps.
inline raster::Point64 to_device(const DeviceContext& dc, int64_t x, int64_t y)
{
    return {x + dc.viewport_origin.x, y + dc.viewport_origin.y};
}

inline raster::Rect64 to_device(const DeviceContext& dc, int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    raster::Point64 a = to_device(dc, left, top);
    raster::Point64 b = to_device(dc, right, bottom);
    return {a.x, a.y, b.x, b.y};
}

} // namespace vexil::gdi
