// SPDX-License-Identifier: MIT
// Measuring text and drawing it onto a surface through a clip list, blended or aliased.
//
// A string's cell is [x, x + width) x [y, y + height) in 64-bit device coordinates. Each clip box
// is first cut to the surface and to the cell; every write goes through one of those cut boxes,
// so nothing outside the surface, the clip or the cell changes, whatever x and y are.
#include "gdi/text/sized_face.h"

#include <algorithm>
#include <vector>

namespace vexil::text {

namespace {

// A half-open box in wide coordinates, for geometry that may lie far outside the surface.
struct WideBox {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;
};

raster::Box intersect(const raster::Box& box, const raster::Surface& surface, const WideBox& cell)
{
    const int64_t left = std::max({int64_t{box.left}, int64_t{0}, cell.left});
    const int64_t top = std::max({int64_t{box.top}, int64_t{0}, cell.top});
    const int64_t right = std::min({int64_t{box.right}, int64_t{surface.width}, cell.right});
    const int64_t bottom = std::min({int64_t{box.bottom}, int64_t{surface.height}, cell.bottom});
    if (left >= right || top >= bottom) {
        return {};
    }
    // Each bound lies within the surface's own 32-bit box here.
    return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
            static_cast<int32_t>(bottom)};
}

int64_t advance_sum(const SizedFace& face, const char* bytes, size_t n)
{
    int64_t width = 0;
    for (size_t i = 0; i < n; ++i) {
        if (const Glyph* glyph = glyph_for_byte(face, static_cast<uint8_t>(bytes[i]))) {
            width += glyph->advance;
        }
    }
    return width;
}

// Each channel becomes (text * a + page * (255 - a)) / 255, rounded to nearest;
// (t + (t >> 8)) >> 8 is that division, exact for every t that arises here.
uint32_t blend(uint32_t page, uint32_t text, uint32_t a)
{
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t t = ((text >> shift) & 0xFF) * a + ((page >> shift) & 0xFF) * (255 - a) + 128;
        result |= ((t + (t >> 8)) >> 8) << shift;
    }
    return result;
}

void fill_box(const raster::Surface& surface, const raster::Box& box, uint32_t pixel)
{
    for (int32_t y = box.top; y < box.bottom; ++y) {
        std::fill(surface.row(y) + box.left, surface.row(y) + box.right, pixel);
    }
}

// Fills the part of each clip box that shows the cell, when a background is given, and returns
// the union of those parts (empty when none shows).
WideBox fill_visible_parts(const raster::Surface& surface, const raster::Box* clip, size_t clip_count,
                           const WideBox& cell, std::optional<uint32_t> background)
{
    WideBox reach{cell.right, cell.bottom, cell.left, cell.top};
    for (size_t i = 0; i < clip_count; ++i) {
        const raster::Box visible = intersect(clip[i], surface, cell);
        if (visible.empty()) {
            continue;
        }
        reach = {std::min(reach.left, int64_t{visible.left}), std::min(reach.top, int64_t{visible.top}),
                 std::max(reach.right, int64_t{visible.right}), std::max(reach.bottom, int64_t{visible.bottom})};
        if (background) {
            fill_box(surface, visible, *background & 0xFFFFFF);
        }
    }
    return reach;
}

// Paints a glyph's coverage bitmap, which covers `glyph`, inside `box` only.
void paint_coverage(const raster::Surface& surface, const raster::Box& box, const WideBox& glyph,
                    const uint8_t* coverage, uint32_t pixel, Antialias antialias)
{
    const int64_t left = std::max(glyph.left, int64_t{box.left});
    const int64_t top = std::max(glyph.top, int64_t{box.top});
    const int64_t right = std::min(glyph.right, int64_t{box.right});
    const int64_t bottom = std::min(glyph.bottom, int64_t{box.bottom});
    const int64_t glyph_width = glyph.right - glyph.left;
    for (int64_t y = top; y < bottom; ++y) {
        uint32_t* row = surface.row(static_cast<int32_t>(y));
        const uint8_t* source = coverage + (y - glyph.top) * glyph_width + (left - glyph.left);
        for (int64_t x = left; x < right; ++x) {
            const uint32_t a = *source++;
            if (antialias == Antialias::None) {
                // Half coverage is the pixel centre's side of the outline.
                if (a >= 128) {
                    row[x] = pixel;
                }
            } else if (a == 255) {
                row[x] = pixel;
            } else if (a != 0) {
                row[x] = blend(row[x], pixel, a);
            }
        }
    }
}

} // namespace

Status measure(const Font& font, const char* bytes, size_t n, Extent& out)
{
    out = {};
    if (!font.valid()) {
        return Status::NoFont;
    }
    if (bytes == nullptr && n > 0) {
        return Status::InvalidArgument;
    }
    out.width = advance_sum(*font.face(), bytes, n);
    out.height = font.height();
    return Status::Ok;
}

Status draw(const Font& font, const raster::Surface& surface, const raster::Box* clip, size_t clip_count, int64_t x,
            int64_t y, const char* bytes, size_t n, const TextPaint& paint)
{
    if (!font.valid()) {
        return Status::NoFont;
    }
    if ((bytes == nullptr && n > 0) || (clip == nullptr && clip_count > 0)) {
        return Status::InvalidArgument;
    }
    if (surface.width <= 0 || surface.height <= 0 || clip_count == 0) {
        return Status::Ok;
    }
    if (surface.pixels == nullptr || surface.stride < surface.width) {
        return Status::InvalidArgument;
    }
    // A cell starting right of or below the surface shows nothing; past this test x and y are
    // below 2^31, so adding the cell's size cannot overflow.
    if (x >= surface.width || y >= surface.height) {
        return Status::Ok;
    }
    const SizedFace& face = *font.face();
    const WideBox cell{x, y, x + advance_sum(face, bytes, n), y + face.cell_height};
    // Likewise a cell ending left of or above the surface; past this test x > -width and
    // y > -height, so adding glyph offsets to the pen and the baseline cannot overflow.
    if (cell.right <= 0 || cell.bottom <= 0) {
        return Status::Ok;
    }
    const WideBox reach = fill_visible_parts(surface, clip, clip_count, cell, paint.background_pixel);
    if (reach.left >= reach.right) {
        return Status::Ok;
    }
    const uint32_t pixel = paint.text_pixel & 0xFFFFFF;
    const int64_t baseline = y + face.ascent;
    std::vector<uint8_t> rendered; // only for glyphs too large for the cache
    int64_t pen = x;
    for (size_t i = 0; i < n; ++i) {
        const auto byte = static_cast<uint8_t>(bytes[i]);
        const Glyph* glyph = glyph_for_byte(face, byte);
        if (glyph == nullptr) {
            continue;
        }
        const WideBox ink{pen + glyph->left, baseline - glyph->top, pen + glyph->left + glyph->width,
                          baseline - glyph->top + glyph->rows};
        pen += glyph->advance;
        if (ink.left >= ink.right || ink.top >= ink.bottom || ink.right <= reach.left || ink.left >= reach.right ||
            ink.bottom <= reach.top || ink.top >= reach.bottom) {
            continue;
        }
        const uint8_t* coverage = glyph->coverage;
        if (coverage == nullptr) {
            if (!render_coverage(face, byte, rendered) ||
                rendered.size() != static_cast<size_t>(glyph->width) * static_cast<size_t>(glyph->rows)) {
                continue;
            }
            coverage = rendered.data();
        }
        for (size_t b = 0; b < clip_count; ++b) {
            const raster::Box visible = intersect(clip[b], surface, cell);
            if (!visible.empty()) {
                paint_coverage(surface, visible, ink, coverage, pixel, paint.antialias);
            }
        }
    }
    return Status::Ok;
}

} // namespace vexil::text
