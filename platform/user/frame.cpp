// SPDX-License-Identifier: MIT
// Window frames: the style's layout and the frame USER draws for captionless windows.
#include "user/frame.h"

#include <win32/user.h>

#include <algorithm>

namespace vexil::user {

FrameGeometry frame_for_style(DWORD style)
{
    FrameGeometry frame;
    const bool caption = (style & WS_CAPTION) == WS_CAPTION || (style & WS_POPUP) == 0;
    int32_t thickness = 0;
    if (caption || (style & (WS_DLGFRAME | WS_THICKFRAME)) != 0)
        thickness = kDialogFrame;
    else if ((style & WS_BORDER) != 0)
        thickness = kBorder;
    frame.kind = caption ? backend::WindowKind::Framed : backend::WindowKind::Bare;
    frame.left = frame.right = frame.bottom = thickness;
    frame.top = thickness + (caption ? kCaptionHeight : 0);
    return frame;
}

void draw_frame(const raster::Surface& surface, const FrameGeometry& frame)
{
    // A raised frame: a dark outer line, then the face colour of dialog frames.
    constexpr uint32_t kOuter = 0x404040;
    constexpr uint32_t kFace = 0xC0C0C0;
    const int32_t thickness = std::min({frame.left, surface.width / 2, surface.height / 2});
    for (int32_t ring = 0; ring < thickness; ++ring) {
        const uint32_t colour = ring == 0 ? kOuter : kFace;
        const int32_t right = surface.width - 1 - ring;
        const int32_t bottom = surface.height - 1 - ring;
        for (int32_t x = ring; x <= right; ++x) {
            surface.row(ring)[x] = colour;
            surface.row(bottom)[x] = colour;
        }
        for (int32_t y = ring; y <= bottom; ++y) {
            surface.row(y)[ring] = colour;
            surface.row(y)[right] = colour;
        }
    }
}

} // namespace vexil::user
