// SPDX-License-Identifier: MIT
// The device context: the drawing state GDI keeps for one surface, and its effective clip.
#pragma once

#include "gdi/objects.h"
#include "gdi/raster/clip.h"

#include <win32/gdi.h>

#include <cstdint>
#include <vector>

namespace vexil::gdi {

enum class DcKind : uint8_t {
    Memory,  // CreateCompatibleDC: draws on its selected bitmap
    Screen,  // the screen DC: a model for compatible objects, no pixels
    Surface, // create_surface_dc: draws on pixels someone else owns
};

/*
 * The effective clip is a list of disjoint device boxes, rebuilt whenever one of its inputs
 * changes (bitmap selection, SelectClipRgn, set_surface_dc_clip), never per drawing call:
 *   surface bounds  ∩  system clip (surface DCs, when set)  ∩  clip region (when selected).
 * An empty list means nothing can be drawn. Drawing calls hand `clip_list`, a view of it, to
 * the rasterizer as is.
 */
struct DeviceContext {
    static constexpr kernel::HandleKind kKind = kernel::HandleKind::DeviceContext;

    DcKind kind = DcKind::Memory;
    raster::Surface surface;
    PixelFormat format = PixelFormat::Xrgb32;

    HPEN pen = nullptr;
    Pen* pen_object = nullptr;
    HBRUSH brush = nullptr;
    Brush* brush_object = nullptr;
    HBITMAP bitmap = nullptr; // memory DCs only
    Bitmap* bitmap_object = nullptr;
    HFONT font = nullptr;
    Font* font_object = nullptr;

    COLORREF text_color = RGB(0, 0, 0);
    COLORREF bk_color = RGB(255, 255, 255);
    int bk_mode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int arc_direction = AD_COUNTERCLOCKWISE;
    int poly_fill_mode = ALTERNATE;
    POINT viewport_origin{0, 0};
    POINT position{0, 0}; // current position, logical

    bool has_clip_region = false;
    raster::Box clip_region; // device coordinates, as SelectClipRgn gave it
    bool has_system_clip = false;
    std::vector<raster::Box> system_clip; // disjoint device boxes
    std::vector<raster::Box> clip;        // the effective clip, see above
    raster::ClipList clip_list;           // the rasterizer's view of `clip` on `surface`

    // A colour as this DC's surface stores it.
    uint32_t pixel_of(COLORREF color) const { return pixel_in_format(color, format); }

    // Recomputes `clip` from its inputs. False when memory for it could not be had; the clip is
    // then empty, so nothing is drawn rather than something outside the limits.
    [[nodiscard]] bool rebuild_clip();
};

// Intersection of two boxes; empty when they do not meet.
raster::Box intersect(const raster::Box& a, const raster::Box& b);

} // namespace vexil::gdi
