// SPDX-License-Identifier: MIT
// Bitmaps: the formats CreateCompatibleBitmap picks, their description and their bits.
#include "gdi_fixture.h"

#include "gdi/screen.h"

namespace vexil::gdi::testing {
namespace {

int bits_per_pixel(HBITMAP bitmap)
{
    BITMAP info{};
    return GetObjectA(bitmap, sizeof(info), &info) == sizeof(info) ? info.bmBitsPixel : -1;
}

TEST(GdiBitmapTest, CompatibleBitmapsTakeTheFormatOfTheDcsDevice)
{
    HDC fresh = CreateCompatibleDC(nullptr);
    HDC colour = CreateCompatibleDC(nullptr);
    HBITMAP colour_bitmap = CreateCompatibleBitmap(screen_dc(), 4, 4);
    HGDIOBJ colour_old = SelectObject(colour, colour_bitmap);
    HDC mono = CreateCompatibleDC(nullptr);
    HBITMAP mono_bitmap = CreateBitmap(4, 4, 1, 1, nullptr);
    HGDIOBJ mono_old = SelectObject(mono, mono_bitmap);

    struct Case {
        const char* name;
        HDC dc;
        int bits;
    } cases[] = {
        {"the screen", screen_dc(), 32},
        {"a fresh memory DC, holding its 1 x 1 monochrome bitmap", fresh, 1},
        {"a memory DC holding a 32-bit bitmap", colour, 32},
        {"a memory DC holding a monochrome bitmap", mono, 1},
    };
    for (const Case& c : cases) {
        HBITMAP made = CreateCompatibleBitmap(c.dc, 5, 3);
        ASSERT_NE(made, nullptr) << c.name;
        EXPECT_EQ(bits_per_pixel(made), c.bits) << c.name;
        DeleteObject(made);
    }

    SelectObject(colour, colour_old);
    SelectObject(mono, mono_old);
    for (HBITMAP bitmap : {colour_bitmap, mono_bitmap})
        DeleteObject(bitmap);
    for (HDC dc : {fresh, colour, mono})
        DeleteDC(dc);
}

TEST(GdiBitmapTest, AZeroSizeGivesTheStockMonochromeBitmapAndBadSizesFail)
{
    HBITMAP zero_width = CreateCompatibleBitmap(screen_dc(), 0, 10);
    HBITMAP zero_height = CreateCompatibleBitmap(screen_dc(), 10, 0);
    EXPECT_EQ(zero_width, zero_height);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(zero_width, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), zero_width) << "a new DC holds the same stock bitmap";
    EXPECT_TRUE(DeleteObject(zero_width));
    EXPECT_EQ(GetObjectType(zero_width), static_cast<DWORD>(OBJ_BITMAP)) << "stock: never deleted";
    DeleteDC(dc);

    SetLastError(0);
    EXPECT_EQ(CreateCompatibleBitmap(screen_dc(), -1, 10), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(CreateCompatibleBitmap(screen_dc(), 0x7FFFFFFF, 0x7FFFFFFF), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(CreateCompatibleBitmap(screen_dc(), 100000, 100000), nullptr) << "40 GB";
    EXPECT_EQ(CreateBitmap(4, 4, 1, 24, nullptr), nullptr) << "only 1 and 32 bits";
    EXPECT_EQ(CreateBitmap(4, 4, 2, 1, nullptr), nullptr);
}

TEST(GdiBitmapTest, DescribesAndCopiesTheBitsOfBothFormats)
{
    // 32 bits: rows of 4 x width bytes, 0x00RRGGBB.
    const uint32_t colour_bits[6] = {0x112233, 0x445566, 0x778899, 0xAABBCC, 0xDDEEFF, 0x010203};
    HBITMAP colour = CreateBitmap(3, 2, 1, 32, colour_bits);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(colour, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmType, 0);
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 2);
    EXPECT_EQ(info.bmWidthBytes, 12);
    EXPECT_EQ(info.bmPlanes, 1);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmBits, nullptr);
    EXPECT_EQ(GetObjectA(colour, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    uint32_t read[6] = {};
    EXPECT_EQ(GetBitmapBits(colour, sizeof(read), read), 24);
    EXPECT_EQ(std::vector<uint32_t>(read, read + 6), std::vector<uint32_t>(colour_bits, colour_bits + 6));
    EXPECT_EQ(GetBitmapBits(colour, 0, nullptr), 24) << "no buffer: the size";
    uint32_t partial[6] = {};
    EXPECT_EQ(GetBitmapBits(colour, 8, partial), 8);
    EXPECT_EQ(partial[1], 0x445566u);
    EXPECT_EQ(partial[2], 0u);

    // 1 bit: rows padded to 16 bits, most significant bit leftmost, 1 for white, as the
    // library passes its 8 x 8 patterns: each row byte followed by a byte outside the bitmap.
    const uint8_t mono_bits[6] = {0xA5, 0xFF, 0x0F, 0x00, 0x81, 0x7E};
    HBITMAP mono = CreateBitmap(8, 3, 1, 1, mono_bits);
    ASSERT_EQ(GetObjectA(mono, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidthBytes, 2);
    EXPECT_EQ(info.bmBitsPixel, 1);
    uint8_t mono_read[6] = {};
    EXPECT_EQ(GetBitmapBits(mono, sizeof(mono_read), mono_read), 6);
    EXPECT_EQ(std::vector<uint8_t>(mono_read, mono_read + 6), (std::vector<uint8_t>{0xA5, 0, 0x0F, 0, 0x81, 0}));

    // A monochrome bitmap in a DC reads back as black and white pixels.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mono);
    EXPECT_EQ(GetPixel(dc, 0, 0), kWhite);
    EXPECT_EQ(GetPixel(dc, 1, 0), kBlack);
    EXPECT_EQ(GetPixel(dc, 7, 1), kWhite);
    EXPECT_EQ(GetPixel(dc, 8, 1), CLR_INVALID);
    SelectObject(dc, old);
    DeleteDC(dc);

    EXPECT_EQ(SetBitmapBits(mono, 2, mono_bits + 4), 2);
    EXPECT_EQ(GetBitmapBits(mono, 1, mono_read), 1);
    EXPECT_EQ(mono_read[0], 0x81);
    EXPECT_EQ(SetBitmapBits(nullptr, 2, mono_bits), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    DeleteObject(colour);
    DeleteObject(mono);
}

} // namespace
} // namespace vexil::gdi::testing
