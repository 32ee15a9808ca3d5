// SPDX-License-Identifier: MIT
// Pens: cosmetic pens of CreatePen and the stock pens, geometric pens of ExtCreatePen.
#include "gdi/handles.h"

#include <initializer_list>

namespace vexil::gdi {

namespace {

void set_dashes(raster::Pen& pen, std::initializer_list<uint32_t> lengths)
{
    pen.dash_count = 0;
    for (uint32_t length : lengths)
        pen.dashes[pen.dash_count++] = length;
}

// GDI's cosmetic dash styles, in pixels. False for a style cosmetic pens do not have.
bool apply_cosmetic_style(raster::Pen& pen, DWORD style)
{
    switch (style) {
    case PS_SOLID:
    case PS_INSIDEFRAME:
        return true;
    case PS_NULL:
        pen.kind = raster::PenKind::Null;
        return true;
    case PS_DASH:
        set_dashes(pen, {18, 6});
        return true;
    case PS_DOT:
        set_dashes(pen, {3, 3});
        return true;
    case PS_DASHDOT:
        set_dashes(pen, {9, 6, 3, 6});
        return true;
    case PS_DASHDOTDOT:
        set_dashes(pen, {9, 3, 3, 3, 3, 3});
        return true;
    case PS_ALTERNATE:
        set_dashes(pen, {1, 1});
        return true;
    default:
        return false;
    }
}

// False for a list GDI refuses: none, more than 16, or nothing but zeros (a pattern that
// would never advance).
bool apply_user_style(raster::Pen& pen, DWORD count, const DWORD* lengths)
{
    if (count == 0 || count > kMaxPenStyleEntries || !lengths)
        return false;
    uint64_t sum = 0;
    for (DWORD i = 0; i < count; ++i) {
        pen.dashes[i] = lengths[i];
        sum += lengths[i];
    }
    pen.dash_count = static_cast<uint8_t>(count);
    return sum != 0;
}

HPEN refuse(DWORD error)
{
    SetLastError(error);
    return nullptr;
}

HPEN make_pen(const PenAttributes& pen)
{
    return static_cast<HPEN>(make<Pen>(pen, false));
}

} // namespace

} // namespace vexil::gdi

using namespace vexil::gdi;

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color)
{
    PenAttributes pen;
    pen.style_word = static_cast<DWORD>(iStyle);
    pen.color = color;
    if (iStyle < 0 || iStyle == PS_ALTERNATE || iStyle == PS_USERSTYLE ||
        !apply_cosmetic_style(pen.stroke, static_cast<DWORD>(iStyle)))
        return refuse(ERROR_INVALID_PARAMETER);
    if (cWidth > 1 && pen.stroke.kind != vexil::raster::PenKind::Null) {
        // GDI makes a wide pen geometric and draws it solid whatever the dash style.
        // FIXME: GDI's wide CreatePen pens have round caps and joins; these get square caps and
        // bevel joins, the only geometric ends the rasterizer draws.
        pen.stroke.kind = vexil::raster::PenKind::Geometric;
        pen.stroke.width = cWidth;
        pen.stroke.dash_count = 0;
    }
    return make_pen(pen);
}

HPEN WINAPI ExtCreatePen(DWORD iPenStyle, DWORD cWidth, const LOGBRUSH* plbrush, DWORD cStyle, const DWORD* pstyle)
{
    DWORD type = iPenStyle & PS_TYPE_MASK;
    DWORD style = iPenStyle & PS_STYLE_MASK;
    DWORD cap = iPenStyle & PS_ENDCAP_MASK;
    DWORD join = iPenStyle & PS_JOIN_MASK;
    if (!plbrush || (iPenStyle & ~(PS_TYPE_MASK | PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK)) != 0 ||
        (type != PS_COSMETIC && type != PS_GEOMETRIC) || style > PS_ALTERNATE || (style != PS_USERSTYLE && cStyle != 0))
        return refuse(ERROR_INVALID_PARAMETER);

    PenAttributes pen;
    pen.style_word = iPenStyle;
    pen.extended = true;
    pen.color = plbrush->lbColor;
    if (type == PS_COSMETIC) {
        if (cWidth != 1 || plbrush->lbStyle != BS_SOLID)
            return refuse(ERROR_INVALID_PARAMETER);
        bool valid = style == PS_USERSTYLE ? apply_user_style(pen.stroke, cStyle, pstyle)
                                           : apply_cosmetic_style(pen.stroke, style);
        return valid ? make_pen(pen) : refuse(ERROR_INVALID_PARAMETER);
    }

    if (style == PS_ALTERNATE || cWidth > 0x7FFFFFFF)
        return refuse(ERROR_INVALID_PARAMETER);
    // Only what the rasterizer draws is accepted: square caps, bevel joins, a solid colour, and
    // solid or user-defined dashes.
    if (cap != PS_ENDCAP_SQUARE || join != PS_JOIN_BEVEL ||
        (plbrush->lbStyle != BS_SOLID && plbrush->lbStyle != BS_NULL) ||
        (style != PS_SOLID && style != PS_NULL && style != PS_INSIDEFRAME && style != PS_USERSTYLE))
        return refuse(ERROR_NOT_SUPPORTED);
    pen.stroke.kind = style == PS_NULL || plbrush->lbStyle == BS_NULL ? vexil::raster::PenKind::Null
                                                                      : vexil::raster::PenKind::Geometric;
    pen.stroke.width = cWidth == 0 ? 1 : cWidth; // a geometric pen is at least one pixel wide
    if (style == PS_USERSTYLE && !apply_user_style(pen.stroke, cStyle, pstyle))
        return refuse(ERROR_INVALID_PARAMETER);
    return make_pen(pen);
}
