// SPDX-License-Identifier: MIT
// Surface DCs: DCs onto pixels that USER owns, limited by a system clip such as an update region.
#include "gdi/surface_dc.h"

#include "gdi/dc_table.h"
#include "gdi/handles.h"

#include <new>

namespace vexil::gdi {

namespace {

// Appends to `out` the parts of `box` that no box of out[0..end) covers, so the list stays
// disjoint. Each covering box splits what is left into at most four bands around it.
void append_uncovered(std::vector<raster::Box>& out, raster::Box box)
{
    std::vector<raster::Box> pieces{box};
    size_t existing = out.size();
    for (size_t i = 0; i < existing && !pieces.empty(); ++i) {
        const raster::Box cover = out[i];
        std::vector<raster::Box> left;
        for (const raster::Box& p : pieces) {
            raster::Box common = intersect(p, cover);
            if (common.empty()) {
                left.push_back(p);
                continue;
            }
            raster::Box parts[4] = {
                {p.left, p.top, p.right, common.top},              // above
                {p.left, common.bottom, p.right, p.bottom},        // below
                {p.left, common.top, common.left, common.bottom},  // left
                {common.right, common.top, p.right, common.bottom} // right
            };
            for (const raster::Box& part : parts)
                if (!part.empty())
                    left.push_back(part);
        }
        pieces.swap(left);
    }
    out.insert(out.end(), pieces.begin(), pieces.end());
}

} // namespace

HDC create_surface_dc(raster::Surface surface)
{
    if (surface.width < 0 || surface.height < 0 || surface.stride < surface.width) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return make_dc(DcKind::Surface, surface);
}

void destroy_surface_dc(HDC handle)
{
    DeviceContext* dc = peek<DeviceContext>(handle);
    if (dc && dc->kind == DcKind::Surface)
        unmake_dc(handle);
}

void set_surface_dc_clip(HDC handle, const RECT* rects, int count)
{
    DeviceContext* dc = peek<DeviceContext>(handle);
    if (!dc || dc->kind != DcKind::Surface)
        return;
    dc->system_clip.clear();
    dc->has_system_clip = count > 0 && rects;
    try {
        for (int i = 0; dc->has_system_clip && i < count; ++i) {
            // A reversed rectangle is empty, as IsRectEmpty sees it.
            raster::Box box{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
            if (!box.empty())
                append_uncovered(dc->system_clip, box);
        }
    } catch (const std::bad_alloc&) {
        // Drawing nothing is the safe answer to a limit that could not be recorded.
        dc->system_clip.clear();
    }
    if (!dc->rebuild_clip())
        dc->clip.clear();
}

} // namespace vexil::gdi
