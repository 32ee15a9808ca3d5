// SPDX-License-Identifier: MIT
// The metrics of window frames and how a window style divides the window into frame and client.
#pragma once

#include "backend/backend.h"

#include <win32/types.h>

#include <cstdint>

namespace vexil::user {

// The values GetSystemMetrics reports for the parts of a frame, in pixels. The desktop draws
// captions of its own size; these are the sizes programs use to compute a window's outer size.
inline constexpr int32_t kCaptionHeight = 23; // SM_CYCAPTION
inline constexpr int32_t kDialogFrame = 3;    // SM_CXDLGFRAME, SM_CYDLGFRAME (the fixed frame)
inline constexpr int32_t kBorder = 1;         // SM_CXBORDER, SM_CYBORDER

// How a style lays a window out: the thickness of the non-client parts on each side of the
// client area, and which of them USER draws itself.
struct FrameGeometry {
    backend::WindowKind kind = backend::WindowKind::Framed;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// A window with a caption (WS_CAPTION, or any window that is not WS_POPUP, as overlapped
// windows always have one) is Framed: the desktop draws caption and frame, the surface is the
// client area. A captionless popup is Bare: its surface is the whole window, and its frame
// (WS_DLGFRAME, WS_THICKFRAME or WS_BORDER) is drawn by USER into the surface.
FrameGeometry frame_for_style(DWORD style);

// Draws the frame of a Bare window into the rim of its surface.
void draw_frame(const raster::Surface& surface, const FrameGeometry& frame);

} // namespace vexil::user
