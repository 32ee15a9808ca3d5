// SPDX-License-Identifier: MIT
// Fonts, measurement and drawing of Windows-1252 text onto a raster surface, for GDI's text calls.
#pragma once

#include "gdi/raster/surface.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vexil::text {

struct SizedFace;

enum class Status {
    Ok,
    NoFont,          // the font is not loaded (no font file could be found or opened)
    InvalidArgument, // a null pointer with a non-zero count; a surface without pixels or with stride < width
};

enum class Family {
    Sans, // fontconfig's "sans-serif"
    Mono, // fontconfig's "monospace"
};

// The stock fonts GDI hands out.
enum class FontRole {
    Gui,    // menus and message boxes: sans-serif, cell 13 pixels high (an 8 pt UI font at 96 dpi)
    System, // the default font of a new device context: sans-serif, cell 16 pixels high
    Fixed,  // fixed pitch: monospace, cell 16 pixels high
};

enum class Antialias {
    Grey, // coverage-weighted mix of the text colour over the existing pixels
    None, // each pixel is either the text colour or left alone (coverage threshold of one half)
};

// A loaded face at one cell height. A Font is a small value: copies share the process-wide face
// and its glyph cache, which live until the process ends. A default-constructed Font, or one
// whose face could not be loaded, is not valid and answers every call with Status::NoFont.
class Font {
public:
    Font() = default;
    explicit Font(const SizedFace* face) : m_face(face) {}

    bool valid() const { return m_face != nullptr; }
    // Pixels from the top of the cell to the baseline; 0 for an invalid font.
    int32_t ascent() const;
    // Pixels from the baseline to the bottom of the cell; 0 for an invalid font.
    int32_t descent() const;
    // ascent() + descent(): the cell height that GetTextExtentPoint32A reports.
    int32_t height() const;

    const SizedFace* face() const { return m_face; }

private:
    const SizedFace* m_face = nullptr;
};

// The font of a stock role. Loaded on first use; later calls return the same face.
[[nodiscard]] Font default_font(FontRole role);

// A font of the family whose cell (ascent + descent) is `cell_height` pixels, 1..kMaxCellHeight.
// Out-of-range heights and unloadable faces give an invalid Font.
constexpr int32_t kMaxCellHeight = 2048;
[[nodiscard]] Font font_of_height(Family family, int32_t cell_height);

// The box a string occupies: the sum of its glyph advances by the font's cell height.
struct Extent {
    int64_t width = 0;
    int32_t height = 0;
};

// Measures `n` bytes of Windows-1252 text. The empty string measures 0 wide and the cell high.
// On failure `out` is set to zero.
[[nodiscard]] Status measure(const Font& font, const char* bytes, size_t n, Extent& out);

struct TextPaint {
    uint32_t text_pixel = 0;                  // 0x00RRGGBB
    std::optional<uint32_t> background_pixel; // set: the cell is filled with it first (OPAQUE mode)
    Antialias antialias = Antialias::Grey;
};

// Draws `n` bytes of Windows-1252 text with the top-left corner of its cell at (x, y), as
// TextOutA's default alignment places it. Only pixels inside the surface, inside one of the
// `clip_count` boxes and inside the text's cell (x, y, x + width, y + height as measure()
// reports) change; no boxes means nothing is drawn. The boxes must not overlap, as the
// rectangles of a region do not. Any x and y are safe.
[[nodiscard]] Status draw(const Font& font, const raster::Surface& surface, const raster::Box* clip, size_t clip_count,
                          int64_t x, int64_t y, const char* bytes, size_t n, const TextPaint& paint);

} // namespace vexil::text
