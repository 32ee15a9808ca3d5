// SPDX-License-Identifier: MIT
// GDI's objects as they live behind their handles: bitmaps, pens, brushes, regions and fonts.
#pragma once

#include "gdi/color.h"
#include "gdi/raster/brush.h"
#include "gdi/raster/pen.h"
#include "gdi/raster/surface.h"
#include "gdi/text/text.h"
#include "kernel/handle_table.h"

#include <win32/gdi.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace vexil::gdi {

enum class Sharing {
    Shared,    // pens, brushes, fonts: any number of DCs may hold one
    Exclusive, // bitmaps: one DC at a time, as GDI requires
};

// How many DCs hold an object, or kRetired once DeleteObject has claimed it. A DC can no longer
// select a retired object, and a selected object cannot be retired: GDI refuses to delete an
// object still selected into a DC. Stock objects are never retired.
class Selection {
public:
    explicit Selection(bool stock) : m_stock(stock) {}

    bool stock() const { return m_stock; }

    // False when the object is being deleted, or is an exclusive one that a DC already holds.
    [[nodiscard]] bool try_select(Sharing sharing)
    {
        if (m_stock)
            return true;
        int32_t count = m_count.load(std::memory_order_relaxed);
        do {
            if (count == kRetired || (sharing == Sharing::Exclusive && count != 0))
                return false;
        } while (!m_count.compare_exchange_weak(count, count + 1, std::memory_order_acq_rel));
        return true;
    }

    void deselect()
    {
        if (!m_stock)
            m_count.fetch_sub(1, std::memory_order_acq_rel);
    }

    // False while a DC holds the object.
    [[nodiscard]] bool try_retire()
    {
        int32_t idle = 0;
        return m_count.compare_exchange_strong(idle, kRetired, std::memory_order_acq_rel);
    }

private:
    static constexpr int32_t kRetired = -1;
    std::atomic<int32_t> m_count{0};
    bool m_stock;
};

// A device-dependent bitmap. Its pixels are zeroed on creation and owned by it.
struct Bitmap {
    static constexpr kernel::HandleKind kKind = kernel::HandleKind::Bitmap;

    Bitmap(uint32_t* owned_pixels, int32_t w, int32_t h, PixelFormat f, bool stock)
        : selection(stock), pixels(owned_pixels), width(w), height(h), format(f)
    {
    }
    ~Bitmap() { std::free(pixels); }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    raster::Surface surface() const { return {pixels, width, height, width}; }
    int bits_per_pixel() const { return format == PixelFormat::Mono ? 1 : 32; }
    // The length of one row as Get/SetBitmapBits see it: padded to 16 bits, as GDI pads.
    int32_t width_bytes() const { return format == PixelFormat::Mono ? (width + 15) / 16 * 2 : width * 4; }

    Selection selection;
    uint32_t* pixels;
    int32_t width;
    int32_t height;
    PixelFormat format;
};

// ExtCreatePen takes up to 16 style lengths; the rasterizer repeats an odd list with dashes and
// gaps swapped, as GDI does.
constexpr int kMaxPenStyleEntries = raster::kMaxDashes;

// What a pen draws, apart from its selection state; a plain value.
struct PenAttributes {
    DWORD style_word = PS_SOLID; // as given, for GetObjectA
    bool extended = false;       // made by ExtCreatePen: GetObjectA answers EXTLOGPEN
    COLORREF color = 0;
    // The stroke without its colour, which is converted for the DC's format at each call.
    raster::Pen stroke;
};

struct Pen {
    static constexpr kernel::HandleKind kKind = kernel::HandleKind::Pen;

    Pen(const PenAttributes& a, bool stock) : selection(stock), attributes(a) {}

    Selection selection;
    PenAttributes attributes;
};

struct BrushAttributes {
    COLORREF color = 0; // solid and hatch colour
    // The fill without its colour. Pattern: 0 bits paint in the DC's text colour, 1 bits in its
    // background colour.
    raster::Brush fill;
};

struct Brush {
    static constexpr kernel::HandleKind kKind = kernel::HandleKind::Brush;

    Brush(const BrushAttributes& a, bool stock) : selection(stock), attributes(a) {}

    Selection selection;
    BrushAttributes attributes;
};

// A rectangle region in device coordinates; an empty box is a null region.
struct Region {
    static constexpr kernel::HandleKind kKind = kernel::HandleKind::Region;

    raster::Box box;
};

struct Font {
    static constexpr kernel::HandleKind kKind = kernel::HandleKind::Font;

    Font(text::FontRole r, bool stock) : selection(stock), role(r) {}

    Selection selection;
    text::FontRole role;
};

} // namespace vexil::gdi
