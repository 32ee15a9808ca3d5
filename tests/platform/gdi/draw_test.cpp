// SPDX-License-Identifier: MIT
// Drawing calls wired to the DC: origin, clip, pens, brushes, colours, ROP2 and refusals.
#include "gdi_fixture.h"

#include <functional>

namespace vexil::gdi::testing {
namespace {

TEST(GdiDrawTest, LineToDrawsThroughTheOriginWithBothEndsAndMovesThePosition)
{
    Page page(8, 4);
    HPEN pen = make_library_pen(kRed, 1);
    HGDIOBJ old = SelectObject(page.dc(), pen);
    SetViewportOrgEx(page.dc(), 1, 1, nullptr);
    MoveToEx(page.dc(), 1, 1, nullptr);
    EXPECT_TRUE(LineTo(page.dc(), 5, 1));
    EXPECT_TRUE(same_picture(art({
                                 "........",
                                 "........",
                                 "..#####.",
                                 "........",
                             }),
                             page.ascii()));
    POINT now{};
    GetCurrentPositionEx(page.dc(), &now);
    EXPECT_EQ(now.x, 5);
    EXPECT_EQ(now.y, 1);

    // The stock pens are cosmetic: the last point is left out.
    SelectObject(page.dc(), GetStockObject(WHITE_PEN));
    MoveToEx(page.dc(), 1, 2, nullptr);
    LineTo(page.dc(), 5, 2);
    EXPECT_EQ(page.ascii({{kBlack, '.'}, {kRed, 'R'}, {kWhite, 'W'}}).substr(27), "..WWWW..\n");
    SelectObject(page.dc(), old);
    DeleteObject(pen);
}

TEST(GdiDrawTest, XorDrawingTwiceRestoresThePage)
{
    using Figure = std::function<void(HDC)>;
    const POINT star[] = {{2, 2}, {28, 6}, {6, 20}, {16, 1}, {24, 22}};
    struct Case {
        const char* name;
        Figure draw;
    } cases[] = {
        {"a dashed wide line", [](HDC dc) { MoveToEx(dc, 3, 3, nullptr), LineTo(dc, 27, 19); }},
        {"a polyline", [&](HDC dc) { Polyline(dc, star, 5); }},
        {"a self-crossing polygon", [&](HDC dc) { Polygon(dc, star, 5); }},
        {"a rectangle", [](HDC dc) { Rectangle(dc, 4, 4, 20, 15); }},
        {"an ellipse", [](HDC dc) { Ellipse(dc, 2, 3, 27, 21); }},
        {"an arc", [](HDC dc) { Arc(dc, 2, 3, 27, 21, 27, 12, 2, 3); }},
        {"a pie", [](HDC dc) { Pie(dc, 2, 3, 27, 21, 2, 12, 27, 21); }},
    };
    for (const Case& c : cases) {
        Page page(30, 24);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 30; ++x)
                SetPixelV(page.dc(), x, y, RGB(x * 8, y * 10, (x ^ y) * 4));
        std::vector<COLORREF> before = page.colors();
        HPEN pen = make_library_pen(RGB(0x5A, 0xA5, 0xFF), 3, {3, 4, 7, 4});
        HBRUSH brush = CreateHatchBrush(HS_DIAGCROSS, RGB(0x33, 0xCC, 0x0F));
        SelectObject(page.dc(), pen);
        SelectObject(page.dc(), brush);
        SetBkColor(page.dc(), RGB(0x80, 0x40, 0x20));
        SetROP2(page.dc(), R2_XORPEN);
        c.draw(page.dc());
        EXPECT_NE(page.colors(), before) << c.name << " draws something";
        c.draw(page.dc());
        EXPECT_EQ(page.colors(), before) << c.name;
        SelectObject(page.dc(), GetStockObject(BLACK_PEN));
        SelectObject(page.dc(), GetStockObject(WHITE_BRUSH));
        DeleteObject(pen);
        DeleteObject(brush);
    }
}

TEST(GdiDrawTest, EveryRop2CombinesTheBrushWithThePage)
{
    constexpr uint32_t kPen = 0x00F0CC;   // COLORREF bits
    constexpr uint32_t kPageBits = 0xAA5A0F;
    HBRUSH brush = CreateSolidBrush(kPen);
    for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) {
        Page page(5, 5);
        page.fill(kPageBits);
        SelectObject(page.dc(), GetStockObject(NULL_PEN));
        HGDIOBJ old = SelectObject(page.dc(), brush);
        SetROP2(page.dc(), rop);
        Rectangle(page.dc(), 0, 0, 5, 5);
        // Bit (2p + d) of rop - 1 is the result for pen bit p and page bit d.
        uint32_t expected = 0;
        for (int bit = 0; bit < 24; ++bit) {
            int p = (kPen >> bit) & 1;
            int d = (kPageBits >> bit) & 1;
            expected |= static_cast<uint32_t>(((rop - 1) >> (2 * p + d)) & 1) << bit;
        }
        EXPECT_EQ(page.at(2, 2), expected) << "R2 " << rop;
        SelectObject(page.dc(), old);
    }
    DeleteObject(brush);
}

TEST(GdiDrawTest, FillRectIgnoresTheRop2AndAReversedRectangle)
{
    Page page(4, 2);
    HBRUSH brush = CreateSolidBrush(kRed);
    SetROP2(page.dc(), R2_XORPEN);
    RECT rect{0, 0, 2, 2};
    EXPECT_EQ(FillRect(page.dc(), &rect, brush), 1);
    EXPECT_EQ(FillRect(page.dc(), &rect, brush), 1);
    RECT reversed{4, 0, 2, 2};
    FillRect(page.dc(), &reversed, brush);
    EXPECT_EQ(page.ascii(), art({"##..", "##.."}));
    EXPECT_EQ(page.at(0, 0), kRed);

    HBRUSH stale = CreateSolidBrush(kGreen);
    DeleteObject(stale);
    RECT all{0, 0, 4, 2};
    SetLastError(0);
    EXPECT_EQ(FillRect(page.dc(), &all, stale), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(FillRect(page.dc(), nullptr, brush), 0);
    EXPECT_EQ(page.ascii(), art({"##..", "##.."}));
    DeleteObject(brush);
}

TEST(GdiDrawTest, PatternBrushesPaintTextAndBackgroundColoursAlignedToTheBitmap)
{
    // Rows as the library passes them: each byte followed by a padding byte.
    const uint8_t rows[16] = {0x0F, 0xFF, 0x0F, 0xFF, 0x0F, 0xFF, 0x0F, 0xFF,
                              0xF0, 0xFF, 0xF0, 0xFF, 0xF0, 0xFF, 0xF0, 0xFF};
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap); // the brush keeps its own copy
    Page page(10, 5);
    SetTextColor(page.dc(), kRed);
    SetBkColor(page.dc(), kBlue);
    SetViewportOrgEx(page.dc(), 3, 0, nullptr); // the tile stays on the bitmap's grid
    RECT rect{-3, 0, 7, 5};
    FillRect(page.dc(), &rect, brush);
    EXPECT_TRUE(same_picture(art({
                                 "0000111100",
                                 "0000111100",
                                 "0000111100",
                                 "0000111100",
                                 "1111000011",
                             }),
                             page.ascii({{kRed, '0'}, {kBlue, '1'}})));
    DeleteObject(brush);
}

TEST(GdiDrawTest, HatchBrushesFillTheirGapsOnlyInOpaqueMode)
{
    HBRUSH brush = CreateHatchBrush(HS_VERTICAL, kRed);
    Page page(8, 1);
    page.fill(kGreen);
    SetBkColor(page.dc(), kBlue);
    RECT rect{0, 0, 8, 1};
    FillRect(page.dc(), &rect, brush);
    std::string opaque = page.ascii({{kRed, 'R'}, {kBlue, 'B'}, {kGreen, 'G'}});
    EXPECT_EQ(std::count(opaque.begin(), opaque.end(), 'R'), 1) << opaque;
    EXPECT_EQ(std::count(opaque.begin(), opaque.end(), 'B'), 7) << opaque;
    page.fill(kGreen);
    SetBkMode(page.dc(), TRANSPARENT);
    FillRect(page.dc(), &rect, brush);
    std::string transparent = page.ascii({{kRed, 'R'}, {kBlue, 'B'}, {kGreen, 'G'}});
    EXPECT_EQ(std::count(transparent.begin(), transparent.end(), 'G'), 7) << transparent;
    DeleteObject(brush);
}

TEST(GdiDrawTest, FloodFillFillsInsideABorderThroughTheOrigin)
{
    Page page(8, 6);
    HPEN pen = make_library_pen(kWhite, 1);
    HBRUSH brush = CreateSolidBrush(kRed);
    SelectObject(page.dc(), pen);
    SelectObject(page.dc(), GetStockObject(NULL_BRUSH));
    SetViewportOrgEx(page.dc(), 1, 1, nullptr);
    Rectangle(page.dc(), 0, 0, 5, 4);
    SelectObject(page.dc(), brush);
    EXPECT_TRUE(FloodFill(page.dc(), 2, 2, kWhite));
    EXPECT_TRUE(same_picture(art({
                                 "........",
                                 ".WWWWW..",
                                 ".WRRRW..",
                                 ".WRRRW..",
                                 ".WWWWW..",
                                 "........",
                             }),
                             page.ascii({{kBlack, '.'}, {kWhite, 'W'}, {kRed, 'R'}})));
    EXPECT_FALSE(FloodFill(page.dc(), 0, 0, kWhite)) << "the seed is a border pixel";
    EXPECT_FALSE(FloodFill(page.dc(), 100, 0, kWhite)) << "the seed is off the page";
    EXPECT_FALSE(ExtFloodFill(page.dc(), 2, 2, kWhite, 7));
    SelectObject(page.dc(), GetStockObject(BLACK_PEN));
    SelectObject(page.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST(GdiDrawTest, PointListsThatAreTooShortOrMissingAreRefused)
{
    Page page(4, 4);
    HPEN pen = make_library_pen(kRed, 1);
    SelectObject(page.dc(), pen);
    const POINT one[1] = {{1, 1}};
    struct Case {
        const char* name;
        BOOL result;
    } cases[] = {
        {"Polyline of one point", Polyline(page.dc(), one, 1)},
        {"Polyline of none", Polyline(page.dc(), nullptr, 3)},
        {"Polygon of one point", Polygon(page.dc(), one, 1)},
        {"Polygon of a negative count", Polygon(page.dc(), one, -4)},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(c.result) << c.name;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(page.ascii(), art({"....", "....", "....", "...."}));
    SelectObject(page.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

} // namespace
} // namespace vexil::gdi::testing
