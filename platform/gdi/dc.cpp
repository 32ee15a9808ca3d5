// SPDX-License-Identifier: MIT
// Device contexts: creation and deletion, the effective clip and the device's capabilities.
#include "gdi/dc_table.h"
#include "gdi/handles.h"
#include "gdi/screen.h"
#include "gdi/stock.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace vexil::gdi {

namespace {

// Written by USER when it learns the screen from the backend, read by any thread.
std::atomic<int32_t> s_screen_width{1920};
std::atomic<int32_t> s_screen_height{1080};

constexpr int kDotsPerInch = 96;

} // namespace

raster::Box intersect(const raster::Box& a, const raster::Box& b)
{
    raster::Box r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom)};
    return r.empty() ? raster::Box{} : r;
}

bool DeviceContext::rebuild_clip()
{
    bool complete = true;
    clip.clear();
    raster::Box bounds{0, 0, surface.pixels ? surface.width : 0, surface.pixels ? surface.height : 0};
    if (has_clip_region)
        bounds = intersect(bounds, clip_region);
    try {
        if (!has_system_clip && !bounds.empty())
            clip.push_back(bounds);
        for (size_t i = 0; has_system_clip && !bounds.empty() && i < system_clip.size(); ++i) {
            raster::Box part = intersect(system_clip[i], bounds);
            if (!part.empty())
                clip.push_back(part);
        }
    } catch (const std::bad_alloc&) {
        clip.clear();
        complete = false;
    }
    clip_list = raster::ClipList(surface, clip);
    return complete;
}

HDC make_dc(DcKind kind, raster::Surface surface)
{
    HDC handle = static_cast<HDC>(make<DeviceContext>());
    DeviceContext* dc = peek<DeviceContext>(handle);
    if (!dc)
        return nullptr;
    dc->kind = kind;
    dc->pen = static_cast<HPEN>(stock_object(BLACK_PEN));
    dc->brush = static_cast<HBRUSH>(stock_object(WHITE_BRUSH));
    dc->font = static_cast<HFONT>(stock_object(SYSTEM_FONT));
    dc->pen_object = peek<Pen>(dc->pen);
    dc->brush_object = peek<Brush>(dc->brush);
    dc->font_object = peek<Font>(dc->font);
    if (kind == DcKind::Memory) {
        dc->bitmap = default_bitmap();
        dc->bitmap_object = peek<Bitmap>(dc->bitmap);
        if (dc->bitmap_object) {
            surface = dc->bitmap_object->surface();
            dc->format = dc->bitmap_object->format;
        }
    }
    dc->surface = surface;
    if (!dc->pen_object || !dc->brush_object || !dc->font_object || (kind == DcKind::Memory && !dc->bitmap_object) ||
        !dc->rebuild_clip()) {
        table<DeviceContext>().destroy(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return handle;
}

bool unmake_dc(HDC handle)
{
    DeviceContext* dc = peek<DeviceContext>(handle);
    if (!dc)
        return false;
    // Stock objects ignore deselection, so the DC's defaults need no special case.
    dc->pen_object->selection.deselect();
    dc->brush_object->selection.deselect();
    dc->font_object->selection.deselect();
    if (dc->bitmap_object)
        dc->bitmap_object->selection.deselect();
    return table<DeviceContext>().destroy(handle);
}

HDC screen_dc()
{
    static const HDC s_screen = make_dc(DcKind::Screen, raster::Surface{});
    return s_screen;
}

void set_screen_size(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return;
    s_screen_width.store(width, std::memory_order_relaxed);
    s_screen_height.store(height, std::memory_order_relaxed);
}

} // namespace vexil::gdi

using namespace vexil::gdi;

HDC WINAPI CreateCompatibleDC(HDC hdc)
{
    // Every DC is compatible with the one 32-bit screen, so the model only has to exist.
    if (hdc && !find<DeviceContext>(hdc))
        return nullptr;
    return make_dc(DcKind::Memory, vexil::raster::Surface{});
}

BOOL WINAPI DeleteDC(HDC hdc)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return FALSE;
    if (dc->kind == DcKind::Screen) {
        // The screen DC belongs to USER's GetDC/ReleaseDC and lives as long as the process.
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return unmake_dc(hdc) ? TRUE : FALSE;
}

int WINAPI GetDeviceCaps(HDC hdc, int index)
{
    if (!find<DeviceContext>(hdc))
        return 0;
    int32_t width = s_screen_width.load(std::memory_order_relaxed);
    int32_t height = s_screen_height.load(std::memory_order_relaxed);
    switch (index) {
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    case HORZSIZE: // millimetres at 96 dots per inch
        return static_cast<int>(width * 254LL / (kDotsPerInch * 10));
    case VERTSIZE:
        return static_cast<int>(height * 254LL / (kDotsPerInch * 10));
    case HORZRES:
        return width;
    case VERTRES:
        return height;
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS: // more colours than a table could list
        return -1;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_BIGFONT | RC_STRETCHBLT | RC_FLOODFILL |
               RC_STRETCHDIB;
    case ASPECTX:
    case ASPECTY:
        return 36;
    case ASPECTXY:
        return 51;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return kDotsPerInch;
    case COLORRES:
        return 24;
    default:
        return 0;
    }
}
