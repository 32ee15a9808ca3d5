// SPDX-License-Identifier: MIT
// Device-dependent bitmaps: 32-bit and monochrome, their creation and their bits.
#include "gdi/handles.h"
#include "gdi/stock.h"

#include <algorithm>
#include <cstring>

namespace vexil::gdi {

namespace {

// Monochrome bitmaps keep 32 bits per pixel inside, so their storage bounds their size too.
constexpr uint64_t kMaxPixelBytes = 0x7FFFFFFF;

HBITMAP make_bitmap(int32_t width, int32_t height, PixelFormat format)
{
    uint64_t count = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (count * sizeof(uint32_t) > kMaxPixelBytes) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* pixels = static_cast<uint32_t*>(std::calloc(count, sizeof(uint32_t)));
    if (!pixels) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HBITMAP handle = static_cast<HBITMAP>(make<Bitmap>(pixels, width, height, format, false));
    if (!handle)
        std::free(pixels);
    return handle;
}

bool mono_bit(uint32_t pixel)
{
    return (pixel & 0x00FFFFFF) != 0;
}

// Byte `index` of the rows GetBitmapBits delivers for a monochrome bitmap: most significant
// bit leftmost, 1 for white, padding bits 0.
uint8_t mono_byte(const Bitmap& bitmap, size_t index)
{
    int32_t width_bytes = bitmap.width_bytes();
    int32_t y = static_cast<int32_t>(index / width_bytes);
    int32_t x0 = static_cast<int32_t>(index % width_bytes) * 8;
    const uint32_t* row = bitmap.pixels + static_cast<size_t>(y) * bitmap.width;
    uint8_t byte = 0;
    for (int32_t bit = 0; bit < 8 && x0 + bit < bitmap.width; ++bit)
        if (mono_bit(row[x0 + bit]))
            byte |= static_cast<uint8_t>(0x80 >> bit);
    return byte;
}

void set_mono_byte(Bitmap& bitmap, size_t index, uint8_t byte)
{
    int32_t width_bytes = bitmap.width_bytes();
    int32_t y = static_cast<int32_t>(index / width_bytes);
    int32_t x0 = static_cast<int32_t>(index % width_bytes) * 8;
    uint32_t* row = bitmap.pixels + static_cast<size_t>(y) * bitmap.width;
    for (int32_t bit = 0; bit < 8 && x0 + bit < bitmap.width; ++bit)
        row[x0 + bit] = (byte & (0x80 >> bit)) ? kMonoWhite : kMonoBlack;
}

size_t bits_size(const Bitmap& bitmap)
{
    return static_cast<size_t>(bitmap.width_bytes()) * static_cast<size_t>(bitmap.height);
}

} // namespace

} // namespace vexil::gdi

using namespace vexil::gdi;

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return nullptr;
    if (cx < 0 || cy < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // GDI answers an empty size with its 1 x 1 monochrome stock bitmap.
    if (cx == 0 || cy == 0)
        return default_bitmap();
    // A memory DC's device is its selected bitmap: a fresh DC with the default monochrome
    // bitmap makes monochrome bitmaps, as GDI does.
    PixelFormat format = dc->kind == DcKind::Memory ? dc->format : PixelFormat::Xrgb32;
    return make_bitmap(cx, cy, format);
}

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const VOID* lpBits)
{
    if (nWidth < 0 || nHeight < 0 || nPlanes != 1 || (nBitCount != 1 && nBitCount != 32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (nWidth == 0 || nHeight == 0)
        return default_bitmap();
    HBITMAP handle = make_bitmap(nWidth, nHeight, nBitCount == 1 ? PixelFormat::Mono : PixelFormat::Xrgb32);
    if (handle && lpBits) {
        Bitmap* bitmap = peek<Bitmap>(handle);
        SetBitmapBits(handle, static_cast<DWORD>(bits_size(*bitmap)), lpBits);
    }
    return handle;
}

LONG WINAPI GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits)
{
    Bitmap* bitmap = find<Bitmap>(hbit);
    if (!bitmap)
        return 0;
    size_t total = bits_size(*bitmap);
    if (!lpvBits)
        return static_cast<LONG>(total);
    if (cb <= 0)
        return 0;
    size_t count = std::min(total, static_cast<size_t>(cb));
    if (bitmap->format == PixelFormat::Xrgb32) {
        std::memcpy(lpvBits, bitmap->pixels, count);
    } else {
        auto* out = static_cast<uint8_t*>(lpvBits);
        for (size_t i = 0; i < count; ++i)
            out[i] = mono_byte(*bitmap, i);
    }
    return static_cast<LONG>(count);
}

LONG WINAPI SetBitmapBits(HBITMAP hbm, DWORD cb, const VOID* pvBits)
{
    Bitmap* bitmap = find<Bitmap>(hbm);
    if (!bitmap)
        return 0;
    if (!pvBits) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // The stock bitmap is shared by every new DC; writing it would reach them all.
    if (bitmap->selection.stock())
        return 0;
    size_t count = std::min(bits_size(*bitmap), static_cast<size_t>(cb));
    if (bitmap->format == PixelFormat::Xrgb32) {
        std::memcpy(bitmap->pixels, pvBits, count);
    } else {
        const auto* in = static_cast<const uint8_t*>(pvBits);
        for (size_t i = 0; i < count; ++i)
            set_mono_byte(*bitmap, i, in[i]);
    }
    return static_cast<LONG>(count);
}
