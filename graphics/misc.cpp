// SPDX-License-Identifier: MIT
// The drawing state: colours and the palette, line styles and pens, fill styles and brushes,
// write modes, the viewport, the current position and the size queries.
#include "internal.h"

#include <algorithm>
#include <bit>
#include <climits>

COLORREF VEXIL__Colors[16] = {};

namespace {

using vexil::graphics::current_window;
using vexil::graphics::PageLock;

// The sixteen palette colours as COLORREF (0x00BBGGRR).
constexpr COLORREF kPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF8080, 0x80FF80, 0xFFFF80, 0x8080FF, 0xFF80FF, 0x00FFFF, 0xFFFFFF,
};

// The library's mark on a direct colour that it encodes itself.
constexpr int kDirectColourMark = 0x03000000;

// The colour value of a COLORREF: its palette index when there is one, else the marked colour.
int colour_value(COLORREF rgb)
{
    const COLORREF* found = std::find(std::begin(VEXIL__Colors), std::end(VEXIL__Colors), rgb);
    if (found != std::end(VEXIL__Colors))
        return static_cast<int>(found - std::begin(VEXIL__Colors));
    return static_cast<int>(rgb | kDirectColourMark);
}

// The colour value of a pixel that GetPixel returned; -1 for one that cannot be read.
int pixel_value(COLORREF pixel)
{
    return pixel == CLR_INVALID ? -1 : colour_value(pixel);
}

} // namespace

namespace vexil::graphics {

void reset_palette()
{
    std::copy(std::begin(kPalette), std::end(kPalette), std::begin(VEXIL__Colors));
}

} // namespace vexil::graphics

// Colours.

COLORREF converttorgb(int color)
{
    if (static_cast<unsigned>(color) <= 15)
        return VEXIL__Colors[color];
    return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

int COLOR(int red, int green, int blue)
{
    return colour_value(RGB(red & 0xFF, green & 0xFF, blue & 0xFF));
}

int getmaxcolor()
{
    return 15;
}

namespace {

const DashPattern SOLID = {2, {16, 0}};
const DashPattern DOTTED = {2, {3, 4}};
const DashPattern CENTER = {4, {3, 4, 7, 4}};
const DashPattern DASHED = {2, {7, 4}};

// The dash lengths of a 16-bit user pattern, bit 0 the first pixel. A run of k 1 bits is a
// dash of k - 1 and a run of m 0 bits a gap of m + 1, because the pen's square caps add half a
// pixel at each end of every dash; so the lengths always add up to 16 and the pattern repeats
// every 16 pixels. The 0 bits below the lowest 1 bit are moved to the end, since a pattern
// must start with a dash.
DashPattern user_dash_pattern(unsigned pattern)
{
    unsigned bits = pattern & 0xFFFF;
    if (bits == 0)
        return {2, {0, 16}};
    DashPattern dashes = {0, {}};
    const int lead = std::countr_zero(bits);
    bits >>= lead;
    int sum = lead;
    for (;;) {
        const int ones = std::countr_one(bits);
        dashes.lengths[dashes.count++] = static_cast<DWORD>(ones - 1);
        sum += ones;
        bits >>= ones;
        if (bits == 0)
            break;
        const int zeros = std::countr_zero(bits);
        dashes.lengths[dashes.count++] = static_cast<DWORD>(zeros + 1);
        sum += zeros;
        bits >>= zeros;
    }
    // The closing gap: the 0 bits above the highest 1 bit, plus one.
    if (sum != 16)
        dashes.lengths[dashes.count++] = static_cast<DWORD>(17 - sum);
    // The leading 0 bits close the pattern: a gap of their own, one longer than the run like
    // every gap, or more of the closing gap when the list already ends with one.
    if (dashes.count % 2 == 1)
        dashes.lengths[dashes.count++] = static_cast<DWORD>(lead + 1);
    else
        dashes.lengths[dashes.count - 1] += static_cast<DWORD>(lead);
    return dashes;
}

// The dash pattern of a line style; an unknown style draws solid.
DashPattern dash_pattern(const WindowData& window)
{
    switch (window.LineStyle) {
    case DOTTED_LINE:
        return DOTTED;
    case CENTER_LINE:
        return CENTER;
    case DASHED_LINE:
        return DASHED;
    case USERBIT_LINE:
        return user_dash_pattern(window.LinePattern);
    default:
        return SOLID;
    }
}

} // namespace

namespace vexil::graphics {

void update_active_page_settings(WindowData& window, const PageLock& lock)
{
    const int page = window.ActivePage.load(std::memory_order_relaxed);
    if (window.PagePenGeneration[page] == window.PenGeneration)
        return;
    window.PagePenGeneration[page] = window.PenGeneration;
    const COLORREF rgb = converttorgb(window.DrawColor);
    SetTextColor(lock.page(page), rgb);
    const LOGBRUSH brush = {BS_SOLID, rgb, 0};
    const DashPattern dashes = dash_pattern(window);
    const HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL,
                                  static_cast<DWORD>(window.LineThickness), &brush, static_cast<DWORD>(dashes.count),
                                  dashes.lengths);
    if (pen)
        DeleteObject(SelectObject(lock.page(page), pen));
}

} // namespace vexil::graphics

DashPattern CreateUserStyle()
{
    return user_dash_pattern(current_window().LinePattern);
}

void CreateNewPen()
{
    ++current_window().PenGeneration;
}

void setcolor(int color)
{
    WindowData& window = current_window();
    window.DrawColor = color;
    // Each page takes the colour into its text colour and its pen when it next draws.
    CreateNewPen();
}

int getcolor()
{
    return current_window().DrawColor;
}

void setbkcolor(int color)
{
    WindowData& window = current_window();
    window.BkColor = color;
    if (const PageLock lock(window); lock) {
        const COLORREF rgb = converttorgb(color);
        for (int page = 0; page < kPageCount; ++page)
            SetBkColor(lock.page(page), rgb);
    }
}

int getbkcolor()
{
    return current_window().BkColor;
}

int getpixel(int x, int y)
{
    WindowData& window = current_window();
    const PageLock lock(window);
    return lock ? pixel_value(GetPixel(lock.active(), x, y)) : -1;
}

int getdisplaycolor(int color)
{
    const int old = getpixel(0, 0);
    putpixel(0, 0, color);
    const int shown = getpixel(0, 0);
    putpixel(0, 0, old);
    return shown;
}

// Line styles.

void setlinestyle(int linestyle, unsigned upattern, int thickness)
{
    WindowData& window = current_window();
    window.LineStyle = linestyle;
    window.LinePattern = upattern;
    window.LineThickness = thickness;
    CreateNewPen();
}

void getlinesettings(linesettingstype* lineinfo)
{
    const WindowData& window = current_window();
    if (!lineinfo)
        return;
    *lineinfo = {window.LineStyle, window.LinePattern, window.LineThickness};
}

// Fill styles.

namespace {

// An 8 x 8 monochrome bitmap from its rows, top row first, most significant bit leftmost.
HBITMAP pattern_bitmap(const unsigned char (&rows)[8], unsigned char padding)
{
    // Monochrome bitmap rows are 16 bits wide; the second byte lies outside the 8 pixels.
    unsigned char bits[16];
    for (int row = 0; row < 8; ++row) {
        bits[2 * row] = rows[row];
        bits[2 * row + 1] = padding;
    }
    return CreateBitmap(8, 8, 1, 1, bits);
}

// A pattern brush paints 0 bits in the text colour and 1 bits in the background colour.
HBRUSH pattern_brush(const unsigned char (&rows)[8])
{
    const HBITMAP bitmap = pattern_bitmap(rows, 0xFF);
    const HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    return brush;
}

HBRUSH fill_brush(int style, COLORREF rgb, int background)
{
    static constexpr unsigned char kThickRising[8] = {0x1F, 0x3E, 0x7C, 0xF8, 0xF1, 0xE3, 0xC7, 0x8F};
    static constexpr unsigned char kThickFalling[8] = {0xF8, 0x7C, 0x3E, 0x1F, 0x8F, 0xC7, 0xE3, 0xF1};
    static constexpr unsigned char kInterleave[8] = {0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC};
    static constexpr unsigned char kWideDots[8] = {0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF};
    static constexpr unsigned char kCloseDots[8] = {0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF};
    switch (style) {
    case EMPTY_FILL:
        return CreateSolidBrush(converttorgb(background));
    case SOLID_FILL:
        return CreateSolidBrush(rgb);
    case LINE_FILL:
        return CreateHatchBrush(HS_HORIZONTAL, rgb);
    case LTSLASH_FILL:
        return CreateHatchBrush(HS_BDIAGONAL, rgb);
    case SLASH_FILL:
        return pattern_brush(kThickRising);
    case BKSLASH_FILL:
        return pattern_brush(kThickFalling);
    case LTBKSLASH_FILL:
        return CreateHatchBrush(HS_FDIAGONAL, rgb);
    case HATCH_FILL:
        return CreateHatchBrush(HS_CROSS, rgb);
    case XHATCH_FILL:
        return CreateHatchBrush(HS_DIAGCROSS, rgb);
    case INTERLEAVE_FILL:
        return pattern_brush(kInterleave);
    case WIDE_DOT_FILL:
        return pattern_brush(kWideDots);
    default:
        return pattern_brush(kCloseDots);
    }
}

} // namespace

void setfillstyle(int pattern, int color)
{
    WindowData& window = current_window();
    if (static_cast<unsigned>(pattern) > USER_FILL) {
        window.ErrorCode = grError;
        return;
    }
    // The user pattern is installed by setfillpattern only.
    if (pattern == USER_FILL)
        return;
    const PageLock lock(window);
    if (!lock)
        return;
    const HBRUSH brush = fill_brush(pattern, converttorgb(color), window.BkColor);
    window.FillColor = color;
    window.FillStyle = pattern;
    DeleteObject(SelectObject(lock.active(), brush));
}

void getfillsettings(fillsettingstype* fillinfo)
{
    const WindowData& window = current_window();
    if (!fillinfo)
        return;
    *fillinfo = {window.FillStyle, window.FillColor};
}

void setfillpattern(const char* upattern, int color)
{
    WindowData& window = current_window();
    if (!upattern)
        return;
    unsigned char rows[8];
    for (int row = 0; row < 8; ++row) {
        window.FillPattern[row] = static_cast<unsigned char>(upattern[row]);
        // Inverted, so the caller's 1 bits take the fill colour.
        rows[row] = static_cast<unsigned char>(~upattern[row]);
    }
    window.FillStyle = USER_FILL;
    window.FillColor = color;
    const HBITMAP bitmap = pattern_bitmap(rows, 0);
    if (const PageLock lock(window); lock) {
        for (int page = 0; page < kPageCount; ++page) {
            const HBRUSH brush = CreatePatternBrush(bitmap);
            if (brush)
                DeleteObject(SelectObject(lock.page(page), brush));
        }
    }
    DeleteObject(bitmap);
}

void getfillpattern(char* pattern)
{
    const WindowData& window = current_window();
    if (!pattern)
        return;
    std::copy(std::begin(window.FillPattern), std::end(window.FillPattern), pattern);
}

void setwritemode(int mode)
{
    WindowData& window = current_window();
    if (mode != COPY_PUT && mode != XOR_PUT)
        return;
    if (const PageLock lock(window); lock)
        SetROP2(lock.active(), mode == COPY_PUT ? R2_COPYPEN : R2_XORPEN);
}

// Viewport and position.

void setviewport(int left, int top, int right, int bottom, int clip)
{
    WindowData& window = current_window();
    window.ViewportLeft = left;
    window.ViewportTop = top;
    window.ViewportRight = right;
    window.ViewportBottom = bottom;
    window.ViewportClip = clip;
    const HRGN region = clip ? CreateRectRgn(left, top, right, bottom) : nullptr;
    if (const PageLock lock(window); lock) {
        for (int page = 0; page < kPageCount; ++page) {
            const HDC dc = lock.page(page);
            SelectClipRgn(dc, region);
            SetViewportOrgEx(dc, left, top, nullptr);
            MoveToEx(dc, 0, 0, nullptr);
        }
    }
    if (region)
        DeleteObject(region);
}

void getviewsettings(viewporttype* viewport)
{
    const WindowData& window = current_window();
    if (!viewport)
        return;
    *viewport = {window.ViewportLeft, window.ViewportTop, window.ViewportRight, window.ViewportBottom,
                 window.ViewportClip};
}

void moveto(int x, int y)
{
    WindowData& window = current_window();
    if (const PageLock lock(window); lock)
        MoveToEx(lock.active(), x, y, nullptr);
}

void moverel(int dx, int dy)
{
    WindowData& window = current_window();
    const PageLock lock(window);
    if (!lock)
        return;
    POINT at;
    GetCurrentPositionEx(lock.active(), &at);
    const auto moved = [](LONG from, int by) {
        return static_cast<int>(std::clamp<long long>(static_cast<long long>(from) + by, INT_MIN, INT_MAX));
    };
    MoveToEx(lock.active(), moved(at.x, dx), moved(at.y, dy), nullptr);
}

namespace {

POINT current_position()
{
    WindowData& window = current_window();
    POINT at{0, 0};
    if (const PageLock lock(window); lock)
        GetCurrentPositionEx(lock.active(), &at);
    return at;
}

} // namespace

int getx()
{
    return current_position().x;
}

int gety()
{
    return current_position().y;
}

// Sizes.

int getmaxx()
{
    return current_window().Width - 1;
}

int getmaxy()
{
    return current_window().Height - 1;
}

int getwindowwidth()
{
    return current_window().Width + 2 * GetSystemMetrics(SM_CXDLGFRAME);
}

int getwindowheight()
{
    return current_window().Height + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME);
}

int getmaxwidth()
{
    return GetSystemMetrics(SM_CXSCREEN) - 2 * GetSystemMetrics(SM_CXDLGFRAME);
}

int getmaxheight()
{
    return GetSystemMetrics(SM_CYSCREEN) - (GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME));
}

void getarccoords(arccoordstype* arccoords)
{
    const WindowData& window = current_window();
    if (!arccoords)
        return;
    *arccoords = {window.ArcX, window.ArcY, window.ArcXStart, window.ArcYStart, window.ArcXEnd, window.ArcYEnd};
}

void delay(int milliseconds)
{
    // A negative wait would be read as some 49 days by the platform; it waits not at all.
    Sleep(static_cast<DWORD>(std::max(milliseconds, 0)));
}
