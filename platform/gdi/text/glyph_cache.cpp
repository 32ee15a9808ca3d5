// SPDX-License-Identifier: MIT
// Rendering glyphs with FreeType and keeping them per face, so repeated text renders nothing.
//
// Each SizedFace has one slot per byte value. A slot goes from null to a published Glyph exactly
// once, under the font state's mutex; readers load it without the lock. Coverage bitmaps are
// kept while all caches together stay within a byte budget; past it, a glyph keeps only its
// layout and its bitmap is rendered again whenever it is drawn.
#include "gdi/text/code_page_1252.h"
#include "gdi/text/sized_face.h"

#include <cstring>
#include <new>

namespace vexil::text {

namespace {

constexpr size_t kCoverageBudget = size_t{32} << 20;

// Loads and renders the glyph of `byte` into the face's glyph slot. Called with the font
// state's mutex held; the slot stays valid until the next FreeType call on the face.
FT_GlyphSlot render_locked(const SizedFace& face, uint8_t byte)
{
    FT_Face ft = face.ft_face;
    if (FT_Activate_Size(face.ft_size) != 0) {
        return nullptr;
    }
    // Outlines only: embedded bitmaps may be one bit deep, and the cell is sized for outlines.
    constexpr FT_Int32 kLoadFlags = FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL;
    const char32_t character = unicode_of_cp1252(byte);
    FT_UInt index = character != 0 ? FT_Get_Char_Index(ft, character) : 0;
    if (FT_Load_Glyph(ft, index, kLoadFlags) != 0) {
        return nullptr;
    }
    if (index == 0 && ft->glyph->format == FT_GLYPH_FORMAT_OUTLINE && ft->glyph->outline.n_points == 0) {
        // An empty missing glyph would make the character vanish; show '?' instead, as
        // Windows' conversion of an unmappable character does.
        index = FT_Get_Char_Index(ft, '?');
        if (index == 0 || FT_Load_Glyph(ft, index, kLoadFlags) != 0) {
            return nullptr;
        }
    }
    if (FT_Render_Glyph(ft->glyph, FT_RENDER_MODE_NORMAL) != 0) {
        return nullptr;
    }
    const FT_Bitmap& bitmap = ft->glyph->bitmap;
    if (bitmap.width > 0 && bitmap.rows > 0 && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) {
        return nullptr;
    }
    return ft->glyph;
}

// Copies the slot's bitmap top row first; a negative pitch stores the rows bottom-up.
void copy_coverage(const FT_Bitmap& bitmap, uint8_t* out)
{
    const size_t width = bitmap.width;
    const size_t row_bytes = static_cast<size_t>(bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch);
    for (size_t row = 0; row < bitmap.rows; ++row) {
        const size_t source_row = bitmap.pitch < 0 ? bitmap.rows - 1 - row : row;
        std::memcpy(out + row * width, bitmap.buffer + source_row * row_bytes, width);
    }
}

} // namespace

const Glyph* glyph_for_byte(const SizedFace& face, uint8_t byte)
{
    if (const Glyph* cached = face.glyphs[byte].load(std::memory_order_acquire)) {
        return cached;
    }
    FontState& state = font_state();
    const std::lock_guard lock(state.mutex);
    if (const Glyph* cached = face.glyphs[byte].load(std::memory_order_relaxed)) {
        return cached;
    }
    auto* glyph = new (std::nothrow) Glyph;
    if (glyph == nullptr) {
        return nullptr;
    }
    // A glyph that cannot be rendered stays cached as an empty one, so it is not retried each draw.
    if (const FT_GlyphSlot slot = render_locked(face, byte)) {
        glyph->advance = static_cast<int32_t>(slot->advance.x > 0 ? (slot->advance.x + 32) >> 6 : 0);
        glyph->left = slot->bitmap_left;
        glyph->top = slot->bitmap_top;
        glyph->width = static_cast<int32_t>(slot->bitmap.width);
        glyph->rows = static_cast<int32_t>(slot->bitmap.rows);
        const size_t bytes = slot->bitmap.width * size_t{slot->bitmap.rows};
        if (bytes > 0 && state.cached_bytes + bytes <= kCoverageBudget) {
            if (auto* coverage = new (std::nothrow) uint8_t[bytes]) {
                copy_coverage(slot->bitmap, coverage);
                glyph->coverage = coverage;
                state.cached_bytes += bytes;
            }
        }
    }
    face.glyphs[byte].store(glyph, std::memory_order_release);
    return glyph;
}

bool render_coverage(const SizedFace& face, uint8_t byte, std::vector<uint8_t>& coverage)
{
    FontState& state = font_state();
    const std::lock_guard lock(state.mutex);
    const FT_GlyphSlot slot = render_locked(face, byte);
    if (slot == nullptr) {
        return false;
    }
    coverage.resize(slot->bitmap.width * size_t{slot->bitmap.rows});
    copy_coverage(slot->bitmap, coverage.data());
    return true;
}

} // namespace vexil::text
