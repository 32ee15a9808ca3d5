// SPDX-License-Identifier: MIT
// Calls on any GDI object: selection into a DC, deletion, stock objects and descriptions.
#include "gdi/handles.h"
#include "gdi/stock.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vexil::gdi {

namespace {

// Swaps the object a DC holds in one slot for a new one, keeping the selection counts right.
template <typename T, typename Handle>
HGDIOBJ swap_selected(Handle& slot, T*& slot_object, HGDIOBJ handle, Sharing sharing)
{
    T* object = find<T>(handle);
    if (!object)
        return nullptr;
    if (handle == slot)
        return handle;
    if (!object->selection.try_select(sharing)) {
        // Being deleted, or a bitmap that another DC holds.
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HGDIOBJ previous = slot;
    slot_object->selection.deselect();
    slot = static_cast<Handle>(handle);
    slot_object = object;
    return previous;
}

HGDIOBJ select_bitmap(DeviceContext& dc, HGDIOBJ handle)
{
    if (dc.kind != DcKind::Memory) {
        // Only memory DCs draw on bitmaps; the others draw on their device.
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HGDIOBJ previous = swap_selected(dc.bitmap, dc.bitmap_object, handle, Sharing::Exclusive);
    if (!previous)
        return nullptr;
    dc.surface = dc.bitmap_object->surface();
    dc.format = dc.bitmap_object->format;
    if (!dc.rebuild_clip())
        SetLastError(ERROR_NOT_ENOUGH_MEMORY); // the DC draws nothing until its clip is set again
    return previous;
}

template <typename T> int copy_out(const T& record, size_t size, int capacity, LPVOID out)
{
    if (!out)
        return static_cast<int>(size);
    if (capacity <= 0)
        return 0;
    size_t count = std::min(size, static_cast<size_t>(capacity));
    std::memcpy(out, &record, count);
    return static_cast<int>(count);
}

int describe_pen(const PenAttributes& pen, int capacity, LPVOID out)
{
    if (!pen.extended) {
        LOGPEN record{pen.style_word, {static_cast<LONG>(pen.stroke.width), 0}, pen.color};
        return copy_out(record, sizeof(record), capacity, out);
    }
    // EXTLOGPEN ends in a variable list of style lengths, laid out after its fixed part.
    EXTLOGPEN head{};
    head.elpPenStyle = pen.style_word;
    uint32_t entries = (pen.style_word & PS_STYLE_MASK) == PS_USERSTYLE ? pen.stroke.dash_count : 0;
    bool geometric = (pen.style_word & PS_TYPE_MASK) == PS_GEOMETRIC;
    head.elpWidth = static_cast<DWORD>(pen.stroke.width);
    head.elpBrushStyle = geometric && pen.stroke.kind == raster::PenKind::Null ? BS_NULL : BS_SOLID;
    head.elpColor = pen.color;
    head.elpNumEntries = entries;
    constexpr size_t kEntries = offsetof(EXTLOGPEN, elpStyleEntry);
    unsigned char record[kEntries + kMaxPenStyleEntries * sizeof(DWORD)] = {};
    std::memcpy(record, &head, kEntries);
    for (uint32_t i = 0; i < entries; ++i) {
        DWORD length = pen.stroke.dashes[i];
        std::memcpy(record + kEntries + i * sizeof(DWORD), &length, sizeof(DWORD));
    }
    size_t size = std::max(sizeof(EXTLOGPEN), kEntries + entries * sizeof(DWORD));
    return copy_out(record, size, capacity, out);
}

int describe_brush(const BrushAttributes& brush, int capacity, LPVOID out)
{
    LOGBRUSH record{};
    switch (brush.fill.style) {
    case raster::BrushStyle::Solid:
        record = {BS_SOLID, brush.color, 0};
        break;
    case raster::BrushStyle::Null:
        record = {BS_NULL, 0, 0};
        break;
    case raster::BrushStyle::Hatch:
        record = {BS_HATCHED, brush.color, static_cast<ULONG_PTR>(brush.fill.hatch)};
        break;
    case raster::BrushStyle::Pattern:
        record = {BS_PATTERN, 0, 0}; // the brush keeps a copy, not the bitmap
        break;
    }
    return copy_out(record, sizeof(record), capacity, out);
}

int describe_bitmap(const Bitmap& bitmap, int capacity, LPVOID out)
{
    BITMAP record{0,
                  bitmap.width,
                  bitmap.height,
                  bitmap.width_bytes(),
                  1,
                  static_cast<WORD>(bitmap.bits_per_pixel()),
                  nullptr};
    return copy_out(record, sizeof(record), capacity, out);
}

int describe_font(const Font& font, int capacity, LPVOID out)
{
    LOGFONTA record{};
    bool fixed = font.role == text::FontRole::Fixed;
    // Measuring loads the face, which is done once per process; describing fonts is rare.
    record.lfHeight = out ? text::default_font(font.role).height() : 0;
    record.lfWeight = FW_NORMAL;
    record.lfCharSet = ANSI_CHARSET;
    record.lfPitchAndFamily = fixed ? (FIXED_PITCH | FF_MODERN) : (VARIABLE_PITCH | FF_SWISS);
    std::strncpy(record.lfFaceName, fixed ? "monospace" : "sans-serif", LF_FACESIZE - 1);
    return copy_out(record, sizeof(record), capacity, out);
}

template <typename T> BOOL delete_selectable(HGDIOBJ handle)
{
    T* object = find<T>(handle);
    if (!object)
        return FALSE;
    if (object->selection.stock())
        return TRUE; // stock objects outlive every DeleteObject
    if (!object->selection.try_retire())
        return FALSE; // GDI refuses to delete an object a DC still holds
    return table<T>().destroy(handle) ? TRUE : FALSE;
}

} // namespace

} // namespace vexil::gdi

using namespace vexil::gdi;

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h)
{
    HandleKind kind = vexil::kernel::handle_kind(h);
    if (kind == HandleKind::Region) {
        int type = SelectClipRgn(hdc, static_cast<HRGN>(h));
        return type == ERROR ? HGDI_ERROR : reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(type));
    }
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return nullptr;
    switch (kind) {
    case HandleKind::Pen:
        return swap_selected(dc->pen, dc->pen_object, h, Sharing::Shared);
    case HandleKind::Brush:
        return swap_selected(dc->brush, dc->brush_object, h, Sharing::Shared);
    case HandleKind::Font:
        return swap_selected(dc->font, dc->font_object, h, Sharing::Shared);
    case HandleKind::Bitmap:
        return select_bitmap(*dc, h);
    default:
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
}

BOOL WINAPI DeleteObject(HGDIOBJ ho)
{
    switch (vexil::kernel::handle_kind(ho)) {
    case HandleKind::Pen:
        return delete_selectable<Pen>(ho);
    case HandleKind::Brush:
        return delete_selectable<Brush>(ho);
    case HandleKind::Font:
        return delete_selectable<Font>(ho);
    case HandleKind::Bitmap:
        return delete_selectable<Bitmap>(ho);
    case HandleKind::Region:
        if (table<Region>().destroy(ho))
            return TRUE;
        break;
    default:
        break;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

HGDIOBJ WINAPI GetStockObject(int i)
{
    HGDIOBJ object = stock_object(i);
    if (!object)
        SetLastError(ERROR_INVALID_PARAMETER);
    return object;
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
        return dc->pen;
    case OBJ_BRUSH:
        return dc->brush;
    case OBJ_FONT:
        return dc->font;
    case OBJ_BITMAP:
        return dc->bitmap; // null for DCs that draw on a device rather than a bitmap
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv)
{
    switch (vexil::kernel::handle_kind(h)) {
    case HandleKind::Pen:
        if (Pen* pen = find<Pen>(h))
            return describe_pen(pen->attributes, c, pv);
        return 0;
    case HandleKind::Brush:
        if (Brush* brush = find<Brush>(h))
            return describe_brush(brush->attributes, c, pv);
        return 0;
    case HandleKind::Bitmap:
        if (Bitmap* bitmap = find<Bitmap>(h))
            return describe_bitmap(*bitmap, c, pv);
        return 0;
    case HandleKind::Font:
        if (Font* font = find<Font>(h))
            return describe_font(*font, c, pv);
        return 0;
    default:
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
}

DWORD WINAPI GetObjectType(HGDIOBJ h)
{
    switch (vexil::kernel::handle_kind(h)) {
    case HandleKind::DeviceContext:
        if (DeviceContext* dc = peek<DeviceContext>(h))
            return dc->kind == DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
        break;
    case HandleKind::Pen:
        if (Pen* pen = peek<Pen>(h))
            return pen->attributes.extended ? OBJ_EXTPEN : OBJ_PEN;
        break;
    case HandleKind::Brush:
        if (peek<Brush>(h))
            return OBJ_BRUSH;
        break;
    case HandleKind::Bitmap:
        if (peek<Bitmap>(h))
            return OBJ_BITMAP;
        break;
    case HandleKind::Region:
        if (peek<Region>(h))
            return OBJ_REGION;
        break;
    case HandleKind::Font:
        if (peek<Font>(h))
            return OBJ_FONT;
        break;
    default:
        break;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}
