// SPDX-License-Identifier: MIT
// BitBlt and StretchBlt: every mode on known pixels, mirroring, format conversion and clipping.
#include "gdi_fixture.h"

namespace vexil::gdi::testing {
namespace {

TEST(GdiBlitTest, EveryBitBltModeCombinesKnownPixels)
{
    constexpr COLORREF kSource = RGB(0xF0, 0x0F, 0x3C);
    constexpr COLORREF kPage = RGB(0xAA, 0x55, 0x0F);
    struct Case {
        const char* name;
        DWORD rop;
        COLORREF expected;
    } cases[] = {
        {"SRCCOPY", SRCCOPY, kSource},
        {"SRCINVERT", SRCINVERT, kSource ^ kPage},
        {"SRCPAINT", SRCPAINT, kSource | kPage},
        {"SRCAND", SRCAND, kSource & kPage},
        {"NOTSRCCOPY", NOTSRCCOPY, ~kSource & 0xFFFFFF},
        {"BLACKNESS", BLACKNESS, kBlack},
        {"WHITENESS", WHITENESS, kWhite},
    };
    Page source(2, 2);
    source.fill(kSource);
    for (const Case& c : cases) {
        Page page(4, 4);
        page.fill(kPage);
        EXPECT_TRUE(BitBlt(page.dc(), 1, 1, 2, 2, source.dc(), 0, 0, c.rop)) << c.name;
        EXPECT_EQ(page.at(1, 1), c.expected) << c.name;
        EXPECT_EQ(page.at(2, 2), c.expected) << c.name;
        EXPECT_EQ(page.at(0, 0), kPage) << c.name;
        EXPECT_EQ(page.at(3, 3), kPage) << c.name;
        EXPECT_EQ(GetPixel(page.dc(), 1, 1), c.expected) << c.name << " through GetPixel";
    }
}

TEST(GdiBlitTest, BitBltWorksInLogicalCoordinatesOfBothDcsAndRespectsTheDestinationClip)
{
    Page source(4, 4);
    SetPixelV(source.dc(), 1, 1, kRed);
    SetPixelV(source.dc(), 2, 2, kGreen);
    SetPixelV(source.dc(), 3, 1, kBlue); // lands outside the destination's clip
    SetViewportOrgEx(source.dc(), 1, 1, nullptr); // logical (0, 0) is the red pixel
    HRGN ignored = CreateRectRgn(0, 0, 1, 1);
    SelectClipRgn(source.dc(), ignored); // the source's clip does not limit what is read
    DeleteObject(ignored);

    Page page(6, 4);
    SetViewportOrgEx(page.dc(), 2, 0, nullptr);
    HRGN clip = CreateRectRgn(0, 0, 4, 4);
    SelectClipRgn(page.dc(), clip);
    DeleteObject(clip);
    EXPECT_TRUE(BitBlt(page.dc(), 0, 1, 3, 3, source.dc(), 0, 0, SRCCOPY));
    EXPECT_TRUE(same_picture(art({
                                 "......",
                                 "..R...",
                                 "...G..",
                                 "......",
                             }),
                             page.ascii({{kBlack, '.'}, {kRed, 'R'}, {kGreen, 'G'}, {kBlue, 'B'}})));

    // Modes without a source accept any source handle.
    EXPECT_TRUE(BitBlt(page.dc(), -2, 0, 6, 4, nullptr, 0, 0, WHITENESS));
    EXPECT_TRUE(same_picture(art({
                                 "####..",
                                 "####..",
                                 "####..",
                                 "####..",
                             }),
                             page.ascii()));
}

TEST(GdiBlitTest, BadSourcesAndModesFailWithoutWriting)
{
    Page source(2, 2);
    source.fill(kRed);
    Page page(3, 3);
    HDC stale = CreateCompatibleDC(nullptr);
    DeleteDC(stale);
    SetLastError(0);
    EXPECT_FALSE(BitBlt(page.dc(), 0, 0, 2, 2, stale, 0, 0, SRCCOPY));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(BitBlt(page.dc(), 0, 0, 2, 2, nullptr, 0, 0, SRCINVERT));
    SetLastError(0);
    EXPECT_FALSE(BitBlt(page.dc(), 0, 0, 2, 2, source.dc(), 0, 0, 0x00123456));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(StretchBlt(page.dc(), 0, 0, 2, 2, stale, 0, 0, 2, 2, SRCCOPY));
    EXPECT_FALSE(BitBlt(stale, 0, 0, 2, 2, source.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(page.ascii(), art({"...", "...", "..."}));

    // A source rectangle partly off the source leaves the rest of the destination alone.
    EXPECT_TRUE(BitBlt(page.dc(), 0, 0, 3, 3, source.dc(), -1, 0, SRCCOPY));
    EXPECT_EQ(page.ascii(), art({".##", ".##", "..."}));
}

TEST(GdiBlitTest, StretchBltMirrorsWhereTheExtentsDifferInSign)
{
    Page source(3, 1);
    SetPixelV(source.dc(), 0, 0, kRed);
    SetPixelV(source.dc(), 1, 0, kGreen);
    SetPixelV(source.dc(), 2, 0, kBlue);
    Page page(6, 2);
    // Twice as wide, mirrored left to right: the destination runs from x = 5 down to 0.
    EXPECT_TRUE(StretchBlt(page.dc(), 6, 0, -6, 2, source.dc(), 0, 0, 3, 1, SRCCOPY));
    EXPECT_TRUE(same_picture(art({"BBGGRR", "BBGGRR"}),
                             page.ascii({{kRed, 'R'}, {kGreen, 'G'}, {kBlue, 'B'}, {kBlack, '.'}})));
    // The same picture by mirroring the source instead.
    Page flipped(6, 2);
    EXPECT_TRUE(StretchBlt(flipped.dc(), 0, 0, 6, 2, source.dc(), 3, 0, -3, 1, SRCCOPY));
    EXPECT_EQ(flipped.colors(), page.colors());
}

TEST(GdiBlitTest, MonochromeAndColourConvertThroughTextAndBackgroundColours)
{
    // Monochrome to colour: 0 bits take the destination's text colour, 1 bits its background.
    const uint8_t rows[2] = {0xA0, 0x00}; // 1 0 1 0
    HBITMAP mono = CreateBitmap(4, 1, 1, 1, rows);
    HDC mono_dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mono_dc, mono);
    Page page(4, 1);
    SetTextColor(page.dc(), kRed);
    SetBkColor(page.dc(), kBlue);
    EXPECT_TRUE(BitBlt(page.dc(), 0, 0, 4, 1, mono_dc, 0, 0, SRCCOPY));
    EXPECT_EQ(page.ascii({{kRed, '0'}, {kBlue, '1'}}), "1010\n");

    // Colour to monochrome: the source's background colour becomes white, the rest black.
    SetBkColor(page.dc(), kBlue);
    EXPECT_TRUE(BitBlt(mono_dc, 0, 0, 4, 1, page.dc(), 0, 0, SRCCOPY));
    uint8_t back[2] = {};
    GetBitmapBits(mono, 2, back);
    EXPECT_EQ(back[0], 0xA0);

    // A compatible DC of a fresh memory DC is monochrome too, and draws in black and white.
    HBRUSH light = CreateSolidBrush(RGB(200, 200, 200));
    RECT all{0, 0, 4, 1};
    FillRect(mono_dc, &all, light);
    EXPECT_EQ(GetPixel(mono_dc, 3, 0), kWhite);
    DeleteObject(light);
    SelectObject(mono_dc, old);
    DeleteObject(mono);
    DeleteDC(mono_dc);
}

} // namespace
} // namespace vexil::gdi::testing
