// SPDX-License-Identifier: MIT
// BitBlt and StretchBlt between surfaces, clipped to the destination's clip and the source's bounds.
#include "gdi/raster/blit.h"

#include "gdi/raster/pixels4.h"
#include "gdi/raster/rop.h"
#include "gdi/raster/scratch.h"
#include "gdi/raster/wide.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vexil::raster {

namespace {

template <typename Op>
void combine_row(uint32_t* dst, const uint32_t* src, int32_t count, Op op)
{
    int32_t i = 0;
    for (; i + 4 <= count; i += 4)
        store4(dst + i, op(load4(dst + i), load4(src + i)));
    for (; i < count; ++i)
        dst[i] = op(dst[i], src[i]);
}

template <typename Op>
void modify_row(uint32_t* dst, int32_t count, Op op)
{
    int32_t i = 0;
    for (; i + 4 <= count; i += 4)
        store4(dst + i, op(load4(dst + i)));
    for (; i < count; ++i)
        dst[i] = op(dst[i]);
}

// One destination row of `count` pixels from `src` (unused by operations without a source).
void blit_row(uint32_t* dst, const uint32_t* src, int32_t count, BlitOp op)
{
    switch (op) {
    case BlitOp::SrcCopy:
        std::memmove(dst, src, size_t(count) * sizeof(uint32_t));
        return;
    case BlitOp::SrcInvert:
        combine_row(dst, src, count, [](auto d, auto s) { return d ^ s; });
        return;
    case BlitOp::SrcPaint:
        combine_row(dst, src, count, [](auto d, auto s) { return d | s; });
        return;
    case BlitOp::SrcAnd:
        combine_row(dst, src, count, [](auto d, auto s) { return d & s; });
        return;
    case BlitOp::NotSrcCopy:
        combine_row(dst, src, count, [](auto, auto s) { return ~s & kPixelMask; });
        return;
    case BlitOp::DstInvert:
        modify_row(dst, count, [](auto d) { return d ^ kPixelMask; });
        return;
    case BlitOp::Blackness:
        std::fill_n(dst, count, 0u);
        return;
    case BlitOp::Whiteness:
        std::fill_n(dst, count, kPixelMask);
        return;
    }
}

uint32_t blit_pixel(uint32_t d, uint32_t s, BlitOp op)
{
    blit_row(&d, &s, 1, op);
    return d;
}

// A half-open interval of 64-bit coordinates; wide arithmetic keeps origin + extent exact.
struct Span64 {
    Int128 lo;
    Int128 hi;
};

Span64 extent_span(int64_t origin, int64_t extent)
{
    const Int128 a = origin;
    const Int128 b = Int128(origin) + extent;
    return a <= b ? Span64{a, b} : Span64{b, a};
}

thread_local std::vector<uint32_t> s_source_copy;
thread_local std::vector<int32_t> s_column_map;

// The source pixels a blit reads: the source surface itself, or a copy of its visible part
// when source and destination share pixels, so any overlap reads the pixels as they were
// before the call.
struct SourceView {
    const uint32_t* base = nullptr; // pixel (left, top)
    int32_t left = 0;
    int32_t top = 0;
    int32_t stride = 0;

    const uint32_t* at(int32_t x, int32_t y) const { return base + intptr_t(y - top) * stride + (x - left); }
};

[[nodiscard]] bool source_view(const Surface& dst, const Surface& src, const Box& area, SourceView& view)
{
    if (src.pixels != dst.pixels) {
        view = {src.pixels, 0, 0, src.stride};
        return true;
    }
    const size_t w = size_t(area.right - area.left);
    const size_t h = size_t(area.bottom - area.top);
    if (!ensure_size(s_source_copy, w * h))
        return false;
    for (size_t y = 0; y < h; ++y)
        std::memcpy(s_source_copy.data() + y * w, src.row(area.top + int32_t(y)) + area.left, w * sizeof(uint32_t));
    view = {s_source_copy.data(), area.left, area.top, int32_t(w)};
    return true;
}

} // namespace

bool is_supported_blit_op(uint32_t code)
{
    switch (static_cast<BlitOp>(code)) {
    case BlitOp::SrcCopy:
    case BlitOp::SrcInvert:
    case BlitOp::SrcPaint:
    case BlitOp::SrcAnd:
    case BlitOp::NotSrcCopy:
    case BlitOp::DstInvert:
    case BlitOp::Blackness:
    case BlitOp::Whiteness:
        return true;
    }
    return false;
}

void blit(const Surface& dst, const ClipList& clip, Point64 to, int64_t width, int64_t height, const Surface& src,
          Point64 from, BlitOp op)
{
    if (width <= 0 || height <= 0 || clip.empty() || !is_supported_blit_op(static_cast<uint32_t>(op)))
        return;
    const bool reads = blit_op_uses_source(op);
    if (reads && (!src.pixels || src.width <= 0 || src.height <= 0))
        return;
    const Box& b = clip.bounds();
    // Visible destination rectangle: the extent, the clip bounds and, for operations that read,
    // the destination image of the source's bounds.
    Int128 x0 = std::max<Int128>(to.x, b.left);
    Int128 x1 = std::min<Int128>(Int128(to.x) + width, b.right);
    Int128 y0 = std::max<Int128>(to.y, b.top);
    Int128 y1 = std::min<Int128>(Int128(to.y) + height, b.bottom);
    const Int128 shift_x = Int128(from.x) - to.x; // source x = destination x + shift_x
    const Int128 shift_y = Int128(from.y) - to.y;
    if (reads) {
        x0 = std::max<Int128>(x0, -shift_x);
        x1 = std::min<Int128>(x1, src.width - shift_x);
        y0 = std::max<Int128>(y0, -shift_y);
        y1 = std::min<Int128>(y1, src.height - shift_y);
    }
    if (x0 >= x1 || y0 >= y1)
        return;
    // From here every coordinate lies within one of the two surfaces.
    const int32_t dx = int32_t(shift_x); // |shift| < 2^32 since both ends are inside a surface
    const int32_t dy = int32_t(shift_y);
    SourceView view;
    if (reads) {
        const Box area{int32_t(x0 + shift_x), int32_t(y0 + shift_y), int32_t(x1 + shift_x), int32_t(y1 + shift_y)};
        if (!source_view(dst, src, area, view))
            return;
    }
    for (int32_t y = int32_t(y0); y < int32_t(y1); ++y) {
        uint32_t* drow = dst.row(y);
        clip.clip_span(y, int64_t(x0), int64_t(x1), [&](int32_t l, int32_t r) {
            blit_row(drow + l, reads ? view.at(l + dx, y + dy) : nullptr, r - l, op);
        });
    }
}

void stretch_blit(const Surface& dst, const ClipList& clip, Extent to, const Surface& src, Extent from, BlitOp op)
{
    if (to.width == 0 || to.height == 0 || clip.empty() || !is_supported_blit_op(static_cast<uint32_t>(op)))
        return;
    const bool reads = blit_op_uses_source(op);
    if (reads && (from.width == 0 || from.height == 0 || !src.pixels || src.width <= 0 || src.height <= 0))
        return;
    const Span64 dx = extent_span(to.x, to.width);
    const Span64 dy = extent_span(to.y, to.height);
    const Span64 sx = extent_span(from.x, from.width);
    const Span64 sy = extent_span(from.y, from.height);
    const bool mirror_x = (to.width < 0) != (from.width < 0);
    const bool mirror_y = (to.height < 0) != (from.height < 0);
    const Box& b = clip.bounds();
    const Int128 x0 = std::max<Int128>(dx.lo, b.left);
    const Int128 x1 = std::min<Int128>(dx.hi, b.right);
    const Int128 y0 = std::max<Int128>(dy.lo, b.top);
    const Int128 y1 = std::min<Int128>(dy.hi, b.bottom);
    if (x0 >= x1 || y0 >= y1)
        return;
    const Int128 dw = dx.hi - dx.lo;
    const Int128 dh = dy.hi - dy.lo;
    const Int128 sw = sx.hi - sx.lo;
    const Int128 sh = sy.hi - sy.lo;
    // Source coordinate of destination index i along one axis, or -1 outside the source:
    // j = floor((2i + 1) * source extent / (2 * destination extent)), the pixel under i's centre.
    auto map = [](Int128 i, Int128 dext, Int128 slo, Int128 sext, bool mirror, int32_t limit) -> int32_t {
        Int128 j = ((2 * i + 1) * sext) / (2 * dext);
        if (mirror)
            j = sext - 1 - j;
        const Int128 s = slo + j;
        return (s < 0 || s >= limit) ? -1 : int32_t(s);
    };
    const int32_t columns = int32_t(x1 - x0);
    if (!ensure_size(s_column_map, size_t(columns)))
        return;
    int32_t src_left = INT32_MAX, src_right = -1;
    for (int32_t c = 0; c < columns; ++c) {
        const int32_t s = reads ? map(x0 + c - dx.lo, dw, sx.lo, sw, mirror_x, src.width) : 0;
        s_column_map[size_t(c)] = s;
        if (s >= 0) {
            src_left = std::min(src_left, s);
            src_right = std::max(src_right, s + 1);
        }
    }
    SourceView view;
    if (reads) {
        int32_t src_top = INT32_MAX, src_bottom = -1;
        for (Int128 y = y0; y < y1; ++y) {
            const int32_t s = map(y - dy.lo, dh, sy.lo, sh, mirror_y, src.height);
            if (s >= 0) {
                src_top = std::min(src_top, s);
                src_bottom = std::max(src_bottom, s + 1);
            }
        }
        if (src_right < 0 || src_bottom < 0)
            return;
        if (!source_view(dst, src, Box{src_left, src_top, src_right, src_bottom}, view))
            return;
    }
    for (int32_t y = int32_t(y0); y < int32_t(y1); ++y) {
        const int32_t s_y = reads ? map(y - dy.lo, dh, sy.lo, sh, mirror_y, src.height) : 0;
        if (s_y < 0)
            continue;
        uint32_t* drow = dst.row(y);
        clip.clip_span(y, int64_t(x0), int64_t(x1), [&](int32_t l, int32_t r) {
            for (int32_t x = l; x < r; ++x) {
                const int32_t s_x = s_column_map[size_t(x - int32_t(x0))];
                if (s_x >= 0)
                    drow[x] = blit_pixel(drow[x], reads ? *view.at(s_x, s_y) : 0, op);
            }
        });
    }
}

} // namespace vexil::raster
