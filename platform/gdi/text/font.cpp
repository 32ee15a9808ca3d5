// SPDX-License-Identifier: MIT
// Loading faces and sizing them: the stock fonts and fonts of a given cell height.
#include "gdi/text/font_source.h"
#include "gdi/text/sized_face.h"

#include FT_TRUETYPE_TABLES_H

namespace vexil::text {

namespace {

struct RoleFont {
    Family family;
    int32_t cell_height;
};

// Indexed by FontRole. 13 pixels is the cell of an 8 pt UI font at 96 dpi; 16 that of the
// system font.
constexpr RoleFont s_role_fonts[3] = {
    {Family::Sans, 13},
    {Family::Sans, 16},
    {Family::Mono, 16},
};

// Called with the font state's mutex held.
FT_Face family_face_locked(FontState& state, Family family)
{
    const size_t slot = family == Family::Mono ? 1 : 0;
    if (state.family_tried[slot]) {
        return state.family_faces[slot];
    }
    state.family_tried[slot] = true;
    if (!state.library_tried) {
        state.library_tried = true;
        if (FT_Init_FreeType(&state.library) != 0) {
            state.library = nullptr;
        }
    }
    if (state.library == nullptr) {
        return nullptr;
    }
    for (const FontFile& file : font_files_for(family)) {
        state.family_faces[slot] = open_outline_face(state.library, file.path.c_str(), file.index);
        if (state.family_faces[slot] != nullptr) {
            break;
        }
    }
    return state.family_faces[slot];
}

// The ascent and descent the face's designer gave for clipping, in font units. Windows takes its
// cell from the OS/2 table's usWinAscent and usWinDescent, which cover every glyph of the font;
// fonts without that table fall back to the horizontal header's values.
void design_extent(FT_Face face, int64_t& ascent, int64_t& descent)
{
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
        return;
    }
    ascent = face->ascender > 0 ? face->ascender : 0;
    descent = face->descender < 0 ? -static_cast<int64_t>(face->descender) : 0;
    if (ascent + descent <= 0) {
        ascent = face->units_per_EM;
        descent = 0;
    }
}

// Called with the font state's mutex held.
const SizedFace* sized_face_locked(FontState& state, Family family, int32_t cell_height)
{
    for (const SizedFace* sized : state.sizes) {
        if (sized->family == family && sized->cell_height == cell_height) {
            return sized;
        }
    }
    FT_Face face = family_face_locked(state, family);
    if (face == nullptr) {
        return nullptr;
    }
    auto* sized = new SizedFace;
    int64_t design_ascent = 0;
    int64_t design_descent = 0;
    design_extent(face, design_ascent, design_descent);
    const int64_t design_height = design_ascent + design_descent;
    // Choose the em size whose design cell is cell_height pixels, in 26.6 fixed point at 72 dpi
    // (where points are pixels), as a LOGFONT with a positive height asks for its cell height.
    const int64_t em_26_6 = static_cast<int64_t>(cell_height) * 64 * face->units_per_EM / design_height;
    if (FT_New_Size(face, &sized->ft_size) != 0 || FT_Activate_Size(sized->ft_size) != 0 ||
        FT_Set_Char_Size(face, 0, em_26_6 > 0 ? em_26_6 : 1, 72, 72) != 0) {
        if (sized->ft_size != nullptr) {
            FT_Done_Size(sized->ft_size);
        }
        delete sized;
        return nullptr;
    }
    sized->family = family;
    sized->cell_height = cell_height;
    sized->ascent = static_cast<int32_t>((cell_height * design_ascent + design_height / 2) / design_height);
    sized->descent = cell_height - sized->ascent;
    sized->ft_face = face;
    state.sizes.push_back(sized);
    return sized;
}

} // namespace

FontState& font_state()
{
    // NOTE: leaked on purpose; see FontState.
    static FontState* s_state = new FontState;
    return *s_state;
}

FT_Face open_outline_face(FT_Library library, const char* path, int index)
{
    FT_Face face = nullptr;
    if (FT_New_Face(library, path, index, &face) != 0) {
        return nullptr;
    }
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0 || face->num_glyphs <= 0 ||
        FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    return face;
}

Font default_font(FontRole role)
{
    FontState& state = font_state();
    const auto slot = static_cast<size_t>(role);
    if (const SizedFace* known = state.roles[slot].load(std::memory_order_acquire)) {
        return Font(known);
    }
    const Font font = font_of_height(s_role_fonts[slot].family, s_role_fonts[slot].cell_height);
    state.roles[slot].store(font.face(), std::memory_order_release);
    return font;
}

Font font_of_height(Family family, int32_t cell_height)
{
    if (cell_height < 1 || cell_height > kMaxCellHeight) {
        return Font();
    }
    FontState& state = font_state();
    const std::lock_guard lock(state.mutex);
    return Font(sized_face_locked(state, family, cell_height));
}

int32_t Font::ascent() const
{
    return m_face != nullptr ? m_face->ascent : 0;
}

int32_t Font::descent() const
{
    return m_face != nullptr ? m_face->descent : 0;
}

int32_t Font::height() const
{
    return m_face != nullptr ? m_face->cell_height : 0;
}

} // namespace vexil::text
