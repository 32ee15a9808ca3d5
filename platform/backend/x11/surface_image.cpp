// SPDX-License-Identifier: MIT
// Surface pixels in a MIT-SHM segment (presented without a copy) or in plain memory (sent in
// PutImage requests no longer than the server accepts).
#include "backend/x11/surface_image.h"

#include "backend/x11/connection.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace vexil::backend::x11 {

namespace {

constexpr uint8_t kDepth = 24;
// PutImage requests carry at most 256 KiB of pixels, the classic limit of servers without
// BIG-REQUESTS. Larger ones are much slower, not faster: the server grows its request buffer
// as a large request trickles in (bench/x11_benchmark.cpp: a whole 1200 x 900 frame in one
// request took some twenty times as long as in 256 KiB pieces).
constexpr size_t kPayloadLimit = size_t{1} << 18;

// Pixels of one request: whole rows, as many as the server and the limit above allow.
size_t payload_bytes(const Connection& connection)
{
    return std::min(connection.max_request_bytes - sizeof(xcb_put_image_request_t), kPayloadLimit);
}

raster::Box clipped(raster::Box box, int32_t width, int32_t height)
{
    return {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, width), std::min(box.bottom, height)};
}

} // namespace

SurfaceImage::~SurfaceImage()
{
    if (m_segment != 0) {
        xcb_shm_detach(m_xcb, m_segment);
        xcb_flush(m_xcb);
        shmdt(m_pixels);
    }
}

bool SurfaceImage::create(Connection& connection, int32_t width, int32_t height)
{
    m_xcb = connection.xcb;
    m_width = width;
    m_height = height;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (connection.shm_usable && create_shared(connection, pixels * sizeof(uint32_t))) {
        return true;
    }
    // Without shared memory each request carries whole rows, so a row must fit in one.
    if (static_cast<size_t>(width) * sizeof(uint32_t) > payload_bytes(connection)) {
        return false;
    }
    m_heap.reset(new (std::nothrow) uint32_t[pixels]());
    m_staging.reset(new (std::nothrow) uint32_t[std::min(pixels, kPayloadLimit / sizeof(uint32_t))]);
    m_pixels = m_heap.get();
    return m_heap && m_staging;
}

bool SurfaceImage::create_shared(Connection& connection, size_t bytes)
{
    // New segments are zero-filled: the surface starts black.
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) {
        return false;
    }
    void* address = shmat(id, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return false;
    }
    const xcb_shm_seg_t segment = xcb_generate_id(m_xcb);
    xcb_generic_error_t* error = xcb_request_check(m_xcb, xcb_shm_attach_checked(m_xcb, segment, id, 1));
    wake_pump(connection);
    // Both sides are attached (or the server refused): the id is no longer needed, and the
    // segment goes away with its last attachment, even if the process dies.
    shmctl(id, IPC_RMID, nullptr);
    if (error) {
        std::free(error);
        shmdt(address);
        connection.shm_usable = false;
        return false;
    }
    m_segment = segment;
    m_pixels = static_cast<uint32_t*>(address);
    return true;
}

void SurfaceImage::present(const Connection& connection, xcb_window_t window, raster::Box box)
{
    box = clipped(box, m_width, m_height);
    if (box.empty()) {
        return;
    }
    if (m_segment != 0) {
        xcb_shm_put_image(m_xcb, window, connection.gc, static_cast<uint16_t>(m_width), static_cast<uint16_t>(m_height),
                          static_cast<uint16_t>(box.left), static_cast<uint16_t>(box.top),
                          static_cast<uint16_t>(box.right - box.left), static_cast<uint16_t>(box.bottom - box.top),
                          static_cast<int16_t>(box.left), static_cast<int16_t>(box.top), kDepth,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, 0, m_segment, 0);
        xcb_flush(m_xcb);
    } else {
        put_rows(connection, window, box);
        xcb_flush(m_xcb);
        // While a long write waits for the socket, xcb reads what the server sends meanwhile
        // into its queue, where poll() no longer sees it.
        wake_pump(connection);
    }
}

void SurfaceImage::put_rows(const Connection& connection, xcb_window_t window, const raster::Box& box)
{
    const auto box_width = static_cast<size_t>(box.right - box.left);
    const size_t row_bytes = box_width * sizeof(uint32_t);
    // create() made sure that a row fits in a request; the staging buffer holds a request.
    const size_t rows_per_request = payload_bytes(connection) / row_bytes;
    // A box as wide as the surface has contiguous rows, sent straight from the surface.
    const bool contiguous = box_width == static_cast<size_t>(m_width);
    for (int32_t y = box.top; y < box.bottom;) {
        const auto rows = static_cast<int32_t>(std::min<size_t>(rows_per_request, static_cast<size_t>(box.bottom - y)));
        const uint32_t* data = m_pixels + static_cast<size_t>(y) * static_cast<size_t>(m_width) + box.left;
        if (!contiguous) {
            for (int32_t row = 0; row < rows; ++row) {
                std::copy_n(data + static_cast<size_t>(row) * static_cast<size_t>(m_width), box_width,
                            m_staging.get() + static_cast<size_t>(row) * box_width);
            }
            data = m_staging.get();
        }
        xcb_put_image(m_xcb, XCB_IMAGE_FORMAT_Z_PIXMAP, window, connection.gc, static_cast<uint16_t>(box_width),
                      static_cast<uint16_t>(rows), static_cast<int16_t>(box.left), static_cast<int16_t>(y), 0, kDepth,
                      static_cast<uint32_t>(static_cast<size_t>(rows) * row_bytes),
                      reinterpret_cast<const uint8_t*>(data));
        y += rows;
    }
}

} // namespace vexil::backend::x11
