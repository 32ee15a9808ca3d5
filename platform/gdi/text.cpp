// SPDX-License-Identifier: MIT
// Text with the DC's font: TextOutA, GetTextExtentPoint32A and GetTextMetricsA.
#include "gdi/drawing.h"
#include "gdi/handles.h"

#include <algorithm>

using namespace vexil::gdi;
namespace text = vexil::text;

namespace {

// The font of a DC, or an invalid one with the last error set when no face could be loaded.
text::Font font_of(const DeviceContext& dc)
{
    text::Font font = text::default_font(dc.font_object->role);
    if (!font.valid())
        SetLastError(ERROR_FILE_NOT_FOUND);
    return font;
}

bool check_string(LPCSTR string, int count)
{
    if (count < 0 || (count > 0 && !string)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

LONG clamp_long(int64_t value)
{
    return static_cast<LONG>(std::clamp<int64_t>(value, 0, INT32_MAX));
}

} // namespace

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc || !check_string(lpString, c))
        return FALSE;
    text::Font font = font_of(*dc);
    if (!font.valid())
        return FALSE;
    if (c == 0 || dc->clip.empty())
        return TRUE;
    // Text ignores the ROP2; a monochrome surface takes whole pixels only.
    text::TextPaint paint;
    paint.text_pixel = dc->pixel_of(dc->text_color);
    if (dc->bk_mode == OPAQUE)
        paint.background_pixel = dc->pixel_of(dc->bk_color);
    paint.antialias = dc->format == PixelFormat::Mono ? text::Antialias::None : text::Antialias::Grey;
    vexil::raster::Point64 at = to_device(*dc, x, y);
    text::Status status =
        text::draw(font, dc->surface, dc->clip.data(), dc->clip.size(), at.x, at.y, lpString, static_cast<size_t>(c),
                   paint);
    return status == text::Status::Ok ? TRUE : FALSE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc || !check_string(lpString, c))
        return FALSE;
    if (!psizl) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    text::Font font = font_of(*dc);
    text::Extent extent;
    if (!font.valid() || text::measure(font, lpString, static_cast<size_t>(c), extent) != text::Status::Ok)
        return FALSE;
    *psizl = {clamp_long(extent.width), extent.height};
    return TRUE;
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return FALSE;
    if (!lptm) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    text::Font font = font_of(*dc);
    text::Extent average;
    text::Extent widest;
    if (!font.valid() || text::measure(font, "x", 1, average) != text::Status::Ok ||
        text::measure(font, "W", 1, widest) != text::Status::Ok)
        return FALSE;
    bool fixed = dc->font_object->role == text::FontRole::Fixed;
    *lptm = {};
    lptm->tmHeight = font.height();
    lptm->tmAscent = font.ascent();
    lptm->tmDescent = font.descent();
    lptm->tmAveCharWidth = clamp_long(average.width);
    lptm->tmMaxCharWidth = clamp_long(widest.width);
    lptm->tmWeight = FW_NORMAL;
    lptm->tmDigitizedAspectX = 96;
    lptm->tmDigitizedAspectY = 96;
    lptm->tmFirstChar = 0x20;
    lptm->tmLastChar = 0xFF;
    lptm->tmDefaultChar = '?';
    lptm->tmBreakChar = ' ';
    // NOTE: in TEXTMETRIC the TMPF_FIXED_PITCH bit set means a variable-pitch font.
    lptm->tmPitchAndFamily =
        static_cast<BYTE>((fixed ? FF_MODERN : FF_SWISS | TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE);
    lptm->tmCharSet = ANSI_CHARSET;
    return TRUE;
}
