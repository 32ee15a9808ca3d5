// SPDX-License-Identifier: MIT
// The stock pens, brushes, fonts and the default bitmap.
#include "gdi/stock.h"

#include "gdi/handles.h"

#include <cstdlib>

namespace vexil::gdi {

namespace {

constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

struct StockObjects {
    HGDIOBJ objects[kStockCount] = {};
    HBITMAP default_bitmap = nullptr;
};

HGDIOBJ make_stock_brush(raster::BrushStyle style, COLORREF color)
{
    BrushAttributes brush;
    brush.fill.style = style;
    brush.color = color;
    return table<Brush>().create(brush, true);
}

// The stock pens are cosmetic, as GDI's are.
HGDIOBJ make_stock_pen(COLORREF color, bool null_pen)
{
    PenAttributes pen;
    pen.style_word = null_pen ? PS_NULL : PS_SOLID;
    pen.stroke.kind = null_pen ? raster::PenKind::Null : raster::PenKind::Cosmetic;
    pen.color = color;
    return table<Pen>().create(pen, true);
}

HGDIOBJ make_stock_font(text::FontRole role)
{
    return table<Font>().create(role, true);
}

HBITMAP make_default_bitmap()
{
    auto* pixels = static_cast<uint32_t*>(std::calloc(1, sizeof(uint32_t)));
    if (!pixels)
        return nullptr;
    void* handle = table<Bitmap>().create(pixels, 1, 1, PixelFormat::Mono, true);
    if (!handle)
        std::free(pixels);
    return static_cast<HBITMAP>(handle);
}

StockObjects make_stock_objects()
{
    StockObjects stock;
    stock.objects[WHITE_BRUSH] = make_stock_brush(raster::BrushStyle::Solid, RGB(255, 255, 255));
    stock.objects[LTGRAY_BRUSH] = make_stock_brush(raster::BrushStyle::Solid, RGB(192, 192, 192));
    stock.objects[GRAY_BRUSH] = make_stock_brush(raster::BrushStyle::Solid, RGB(128, 128, 128));
    stock.objects[DKGRAY_BRUSH] = make_stock_brush(raster::BrushStyle::Solid, RGB(64, 64, 64));
    stock.objects[BLACK_BRUSH] = make_stock_brush(raster::BrushStyle::Solid, RGB(0, 0, 0));
    stock.objects[NULL_BRUSH] = make_stock_brush(raster::BrushStyle::Null, 0);
    stock.objects[WHITE_PEN] = make_stock_pen(RGB(255, 255, 255), false);
    stock.objects[BLACK_PEN] = make_stock_pen(RGB(0, 0, 0), false);
    stock.objects[NULL_PEN] = make_stock_pen(0, true);
    stock.objects[OEM_FIXED_FONT] = make_stock_font(text::FontRole::Fixed);
    stock.objects[ANSI_FIXED_FONT] = make_stock_font(text::FontRole::Fixed);
    stock.objects[ANSI_VAR_FONT] = make_stock_font(text::FontRole::System);
    stock.objects[SYSTEM_FONT] = make_stock_font(text::FontRole::System);
    stock.objects[DEVICE_DEFAULT_FONT] = make_stock_font(text::FontRole::System);
    stock.objects[SYSTEM_FIXED_FONT] = make_stock_font(text::FontRole::Fixed);
    stock.objects[DEFAULT_GUI_FONT] = make_stock_font(text::FontRole::Gui);
    stock.default_bitmap = make_default_bitmap();
    return stock;
}

// A function-level static: made thread-safely on first use and trivially destructible.
const StockObjects& stock_objects()
{
    static const StockObjects s_stock = make_stock_objects();
    return s_stock;
}

} // namespace

HGDIOBJ stock_object(int index)
{
    if (index < 0 || index >= kStockCount)
        return nullptr;
    return stock_objects().objects[index];
}

HBITMAP default_bitmap()
{
    return stock_objects().default_bitmap;
}

} // namespace vexil::gdi
