// SPDX-License-Identifier: MIT
// Everything the rasterizer offers, for GDI's drawing calls.
#pragma once

#include "gdi/raster/blit.h"
#include "gdi/raster/brush.h"
#include "gdi/raster/clip.h"
#include "gdi/raster/ellipse.h"
#include "gdi/raster/flood_fill.h"
#include "gdi/raster/geometry.h"
#include "gdi/raster/line.h"
#include "gdi/raster/pen.h"
#include "gdi/raster/pixel.h"
#include "gdi/raster/polygon.h"
#include "gdi/raster/rectangle.h"
#include "gdi/raster/rop.h"
#include "gdi/raster/span_writer.h"
#include "gdi/raster/surface.h"
#include "gdi/raster/target.h"
