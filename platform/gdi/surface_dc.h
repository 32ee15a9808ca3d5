// SPDX-License-Identifier: MIT
// Device contexts that draw straight onto pixels someone else owns, for USER's window DCs.
#pragma once

#include "gdi/raster/surface.h"

#include <win32/gdi.h>

namespace vexil::gdi {

// A DC drawing onto `surface`, e.g. a window's front surface. It starts with the state of a new
// DC (stock pen and brush, no clip region, origin 0, 0) and reports 32 bits per pixel. The
// pixels are not copied and must outlive the DC. Returns null when no DC can be made.
[[nodiscard]] HDC create_surface_dc(raster::Surface surface);

// Destroys a DC made by create_surface_dc, deselecting its objects; other DCs are left alone.
void destroy_surface_dc(HDC dc);

// Limits all drawing on a surface DC to `count` device rectangles (half-open, as RECT is), e.g.
// a paint's update region; they may overlap and may reach past the surface. A list of only
// empty rectangles allows nothing; count 0 lifts the limit: the whole surface. The limit is intersected with the region of SelectClipRgn, which
// GetClipRgn keeps reporting unchanged.
void set_surface_dc_clip(HDC dc, const RECT* rects, int count);

} // namespace vexil::gdi
