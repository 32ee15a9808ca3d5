// SPDX-License-Identifier: MIT
// Glyph cursors from the core "cursor" font, which every X server has.
#include "backend/x11/cursors.h"

namespace vexil::backend::x11 {

namespace {

// Glyph indices in the cursor font; each shape's mask is the next glyph.
constexpr uint16_t kGlyphLeftPointer = 68;
constexpr uint16_t kGlyphWatch = 150;

xcb_cursor_t create_glyph_cursor(xcb_connection_t* connection, xcb_font_t font, uint16_t glyph)
{
    const xcb_cursor_t cursor = xcb_generate_id(connection);
    // Black shape on a white outline, as Windows' arrow is drawn.
    xcb_create_glyph_cursor(connection, cursor, font, font, glyph, static_cast<uint16_t>(glyph + 1), 0, 0, 0, 0xFFFF,
                            0xFFFF, 0xFFFF);
    return cursor;
}

} // namespace

Cursors create_cursors(xcb_connection_t* connection)
{
    constexpr char kFontName[] = "cursor";
    const xcb_font_t font = xcb_generate_id(connection);
    xcb_open_font(connection, font, sizeof(kFontName) - 1, kFontName);
    Cursors cursors;
    cursors.arrow = create_glyph_cursor(connection, font, kGlyphLeftPointer);
    cursors.wait = create_glyph_cursor(connection, font, kGlyphWatch);
    xcb_close_font(connection, font);
    return cursors;
}

void free_cursors(xcb_connection_t* connection, const Cursors& cursors)
{
    xcb_free_cursor(connection, cursors.arrow);
    xcb_free_cursor(connection, cursors.wait);
}

} // namespace vexil::backend::x11
