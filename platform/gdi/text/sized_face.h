// SPDX-License-Identifier: MIT
// The process-wide font state behind a Font: FreeType faces, their sizes and glyph caches.
#pragma once

#include "gdi/text/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H

#include <atomic>
#include <mutex>
#include <vector>

namespace vexil::text {

// One rendered glyph, laid out relative to the pen on the baseline. Immutable once published.
struct Glyph {
    int32_t advance = 0; // pixels the pen moves right
    int32_t left = 0;    // column of the bitmap's left edge, relative to the pen
    int32_t top = 0;     // rows from the bitmap's top edge up to the baseline
    int32_t width = 0;
    int32_t rows = 0;
    // width * rows coverage bytes (0 none, 255 full), row after row; null when the bitmap
    // was too large for the cache budget and has to be rendered again for each draw.
    const uint8_t* coverage = nullptr;
};

// A family's face at one cell height. Glyphs are cached by the byte that names them, so the
// cache of a face holds at most 256 entries. Entries are published with release stores and read
// without the lock; they are never freed.
struct SizedFace {
    Family family = Family::Sans;
    int32_t cell_height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    FT_Face ft_face = nullptr; // shared by every size of the family
    FT_Size ft_size = nullptr;
    mutable std::atomic<const Glyph*> glyphs[256] = {};
};

// Everything FreeType touches, behind one mutex: FreeType objects are not thread-safe.
// Allocated once and intentionally never destroyed, so a thread still drawing text while
// another calls exit() finds it intact.
struct FontState {
    std::mutex mutex;
    FT_Library library = nullptr;
    bool library_tried = false;
    FT_Face family_faces[2] = {};
    bool family_tried[2] = {};
    std::vector<SizedFace*> sizes;
    std::atomic<const SizedFace*> roles[3] = {};
    size_t cached_bytes = 0; // coverage bytes held by all glyph caches
};

FontState& font_state();

// Opens face `index` of the file at `path` if it is an outline font with a Unicode character map
// that FreeType can read; else null.
FT_Face open_outline_face(FT_Library library, const char* path, int index);

// The glyph drawn for `byte`, from the cache or rendered into it. Null only when memory ran out.
const Glyph* glyph_for_byte(const SizedFace& face, uint8_t byte);

// Renders the coverage of a glyph whose bitmap the cache does not keep, with the layout that
// glyph_for_byte reported. False if the glyph could not be rendered again.
[[nodiscard]] bool render_coverage(const SizedFace& face, uint8_t byte, std::vector<uint8_t>& coverage);

} // namespace vexil::text
