// SPDX-License-Identifier: MIT
// A window's surface pixels and their way to the screen: a MIT-SHM segment, or plain memory
// sent with PutImage.
#pragma once

#include "gdi/raster/surface.h"

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <memory>

namespace vexil::backend {
struct Connection;
}

namespace vexil::backend::x11 {

class SurfaceImage {
public:
    SurfaceImage() = default;
    SurfaceImage(const SurfaceImage&) = delete;
    SurfaceImage& operator=(const SurfaceImage&) = delete;
    ~SurfaceImage();

    // Allocates width x height black pixels, in shared memory when the connection can use it.
    // False when there is no memory for them.
    [[nodiscard]] bool create(Connection& connection, int32_t width, int32_t height);

    raster::Surface surface() const { return {m_pixels, m_width, m_height, m_width}; }
    bool is_shared() const { return m_segment != 0; }

    // Shows the pixels of `box` (clipped to the surface) at the same place in `window`.
    void present(const Connection& connection, xcb_window_t window, raster::Box box);

private:
    [[nodiscard]] bool create_shared(Connection& connection, size_t bytes);
    void put_rows(const Connection& connection, xcb_window_t window, const raster::Box& box);

    xcb_connection_t* m_xcb = nullptr;
    uint32_t* m_pixels = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;
    xcb_shm_seg_t m_segment = 0;
    // Without shared memory: the surface itself, and rows of a narrower box gathered to be sent.
    std::unique_ptr<uint32_t[]> m_heap;
    std::unique_ptr<uint32_t[]> m_staging;
};

} // namespace vexil::backend::x11
