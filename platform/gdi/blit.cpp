// SPDX-License-Identifier: MIT
// BitBlt and StretchBlt between DCs, converting between monochrome and colour as GDI does.
#include "gdi/drawing.h"
#include "gdi/handles.h"

#include <memory>
#include <new>

using namespace vexil::gdi;
namespace raster = vexil::raster;

namespace {

/*
 * The pixels a blit reads. When source and destination share a format, the source DC's own
 * surface. Otherwise the part of the source rectangle that lies on the source, converted as
 * GDI converts: monochrome to colour paints 0 (black) in the destination's text colour and 1
 * (white) in its background colour; colour to monochrome makes the source's background
 * colour white and every other colour black. Source pixels outside that part stay outside the
 * converted surface too, so the blit leaves their destination alone in both cases.
 */
class BlitSource {
public:
    // `area` is the source rectangle in the source's device coordinates.
    [[nodiscard]] bool load(const DeviceContext& src, const DeviceContext& dst, raster::Rect64 area)
    {
        m_surface = src.surface;
        if (src.format == dst.format)
            return true;
        raster::Rect64 part{std::max<int64_t>(area.left, 0), std::max<int64_t>(area.top, 0),
                            std::min<int64_t>(area.right, src.surface.width),
                            std::min<int64_t>(area.bottom, src.surface.height)};
        if (!src.surface.pixels || part.empty()) {
            m_surface = {};
            return true;
        }
        auto width = static_cast<int32_t>(part.right - part.left);
        auto height = static_cast<int32_t>(part.bottom - part.top);
        m_pixels.reset(new (std::nothrow) uint32_t[static_cast<size_t>(width) * static_cast<size_t>(height)]);
        if (!m_pixels)
            return false;
        uint32_t background = src.pixel_of(src.bk_color) & raster::kPixelMask;
        uint32_t zero = dst.pixel_of(dst.text_color);
        uint32_t one = dst.pixel_of(dst.bk_color);
        for (int32_t y = 0; y < height; ++y) {
            const uint32_t* in = src.surface.row(static_cast<int32_t>(part.top) + y) + part.left;
            uint32_t* out = m_pixels.get() + static_cast<size_t>(y) * width;
            for (int32_t x = 0; x < width; ++x) {
                uint32_t pixel = in[x] & raster::kPixelMask;
                out[x] = src.format == PixelFormat::Mono ? (pixel ? one : zero)
                                                         : (pixel == background ? kMonoWhite : kMonoBlack);
            }
        }
        m_surface = {m_pixels.get(), width, height, width};
        m_offset = {part.left, part.top};
        return true;
    }

    const raster::Surface& surface() const { return m_surface; }
    // A source device point in the surface's own coordinates.
    raster::Point64 place(raster::Point64 p) const { return {p.x - m_offset.x, p.y - m_offset.y}; }

private:
    raster::Surface m_surface;
    raster::Point64 m_offset;
    std::unique_ptr<uint32_t[]> m_pixels;
};

// The part BitBlt and StretchBlt share: checks the DCs and the operation, readies the source
// rectangle (logical, signed extents) and calls draw(destination, source surface, source
// origin in it, operation). Operations without a source get the destination as a stand-in.
template <typename Draw>
BOOL run_blit(HDC hdc, HDC hdc_src, DWORD rop, int x_src, int y_src, int w_src, int h_src, Draw&& draw)
{
    DeviceContext* dst = find<DeviceContext>(hdc);
    if (!dst)
        return FALSE;
    if (!raster::is_supported_blit_op(rop)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto op = static_cast<raster::BlitOp>(rop);
    if (!raster::blit_op_uses_source(op)) {
        draw(*dst, dst->surface, raster::Point64{}, op);
        return TRUE;
    }
    DeviceContext* src = find<DeviceContext>(hdc_src);
    if (!src)
        return FALSE;
    raster::Point64 from = to_device(*src, x_src, y_src);
    BlitSource source;
    if (!source.load(*src, *dst, raster::Rect64{from.x, from.y, from.x + w_src, from.y + h_src}.normalized())) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    draw(*dst, source.surface(), source.place(from), op);
    return TRUE;
}

} // namespace

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    return run_blit(hdc, hdcSrc, rop, x1, y1, cx, cy,
                    [&](const DeviceContext& dst, const raster::Surface& src, raster::Point64 from, raster::BlitOp op) {
                        raster::blit(dst.surface, dst.clip_list, to_device(dst, x, y), cx, cy, src, from, op);
                    });
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                       int wSrc, int hSrc, DWORD rop)
{
    return run_blit(hdcDest, hdcSrc, rop, xSrc, ySrc, wSrc, hSrc,
                    [&](const DeviceContext& dst, const raster::Surface& src, raster::Point64 from, raster::BlitOp op) {
                        raster::Point64 to = to_device(dst, xDest, yDest);
                        raster::stretch_blit(dst.surface, dst.clip_list, {to.x, to.y, wDest, hDest}, src,
                                             {from.x, from.y, wSrc, hSrc}, op);
                    });
}
