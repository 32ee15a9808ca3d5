// SPDX-License-Identifier: MIT
// Rectangle regions and the clip region of a DC.
#include "gdi/handles.h"

#include <algorithm>

namespace vexil::gdi {

namespace {

int region_type(const raster::Box& box)
{
    return box.empty() ? NULLREGION : SIMPLEREGION;
}

int clip_type(const DeviceContext& dc)
{
    return dc.clip.empty() ? NULLREGION : dc.clip.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT rect_of(const raster::Box& box)
{
    return {box.left, box.top, box.right, box.bottom};
}

} // namespace

} // namespace vexil::gdi

using namespace vexil::gdi;

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2)
{
    // GDI orders the corners; an empty rectangle makes a null region.
    Region region{{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)}};
    if (region.box.empty())
        region.box = {};
    return static_cast<HRGN>(make<Region>(region));
}

int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return ERROR;
    if (!hrgn) {
        dc->has_clip_region = false;
    } else {
        Region* region = find<Region>(hrgn);
        if (!region)
            return ERROR;
        // The DC keeps its own copy: the caller may delete the region at once.
        dc->has_clip_region = true;
        dc->clip_region = region->box;
    }
    if (!dc->rebuild_clip()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return ERROR;
    }
    return clip_type(*dc);
}


int WINAPI GetClipRgn(HDC hdc, HRGN hrgn)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    Region* region = dc ? find<Region>(hrgn) : nullptr;
    if (!region)
        return -1;
    if (!dc->has_clip_region)
        return 0;
    region->box = dc->clip_region;
    return 1;
}

int WINAPI GetClipBox(HDC hdc, LPRECT lprect)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return ERROR;
    if (!lprect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    const vexil::raster::Box& bounds = dc->clip_list.bounds();
    // Logical coordinates: device minus the viewport origin, in 64 bits then clamped.
    auto logical = [](int64_t device, LONG origin) {
        return static_cast<LONG>(std::clamp<int64_t>(device - origin, INT32_MIN, INT32_MAX));
    };
    *lprect = bounds.empty() ? RECT{0, 0, 0, 0}
                             : RECT{logical(bounds.left, dc->viewport_origin.x), logical(bounds.top, dc->viewport_origin.y),
                                    logical(bounds.right, dc->viewport_origin.x),
                                    logical(bounds.bottom, dc->viewport_origin.y)};
    return clip_type(*dc);
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc)
{
    Region* region = find<Region>(hrgn);
    if (!region)
        return ERROR;
    if (!lprc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    *lprc = rect_of(region->box);
    return region_type(region->box);
}
