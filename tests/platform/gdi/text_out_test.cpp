// SPDX-License-Identifier: MIT
// Text calls wired to the DC: its font, text colour, background mode, origin and clip.
#include "gdi_fixture.h"

namespace vexil::gdi::testing {
namespace {

int count_of(const std::vector<COLORREF>& pixels, COLORREF color)
{
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), color));
}

TEST(GdiTextTest, TextOutUsesTheTextColourAndFillsTheCellOnlyWhenOpaque)
{
    Page page(80, 24);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(page.dc(), "Hi", 2, &size));
    ASSERT_GT(size.cx, 0);
    ASSERT_LE(size.cx, 80);
    ASSERT_LE(size.cy, 24);
    SetTextColor(page.dc(), kRed);
    SetBkColor(page.dc(), kBlue);

    EXPECT_TRUE(TextOutA(page.dc(), 0, 0, "Hi", 2));
    std::vector<COLORREF> opaque = page.colors();
    EXPECT_GT(count_of(opaque, kRed), 0);
    EXPECT_GT(count_of(opaque, kBlue), 0);
    EXPECT_EQ(page.at(size.cx, 0), kBlack) << "nothing right of the cell";
    EXPECT_EQ(page.at(0, size.cy), kBlack) << "nothing below the cell";

    page.fill(kBlack);
    SetBkMode(page.dc(), TRANSPARENT);
    TextOutA(page.dc(), 0, 0, "Hi", 2);
    std::vector<COLORREF> transparent = page.colors();
    EXPECT_EQ(count_of(transparent, kBlue), 0);
    EXPECT_EQ(count_of(transparent, kRed), count_of(opaque, kRed));
}

TEST(GdiTextTest, TextFollowsTheOriginAndTheClip)
{
    Page page(60, 20);
    SetBkColor(page.dc(), kBlue);
    SetViewportOrgEx(page.dc(), 10, 0, nullptr);
    HRGN clip = CreateRectRgn(12, 0, 14, 20);
    SelectClipRgn(page.dc(), clip);
    DeleteObject(clip);
    TextOutA(page.dc(), 0, 0, "MM", 2);
    std::vector<COLORREF> pixels = page.colors();
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 60; ++x) {
            if (x < 12 || x >= 14) {
                ASSERT_EQ(pixels[y * 60 + x], kBlack) << x << ", " << y;
            }
        }
    }
    EXPECT_EQ(page.at(12, 0), kBlue) << "the cell starts at device x 10";
}

TEST(GdiTextTest, SelectingAFontChangesTheMeasurement)
{
    HDC dc = CreateCompatibleDC(nullptr);
    SIZE system{};
    SIZE gui{};
    GetTextExtentPoint32A(dc, "", 0, &system);
    EXPECT_EQ(SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT)), GetStockObject(SYSTEM_FONT));
    GetTextExtentPoint32A(dc, "", 0, &gui);
    EXPECT_EQ(system.cx, 0);
    EXPECT_EQ(system.cy, 16);
    EXPECT_EQ(gui.cy, 13);
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    EXPECT_EQ(metrics.tmHeight, 13);
    EXPECT_EQ(metrics.tmAscent + metrics.tmDescent, 13);

    EXPECT_FALSE(TextOutA(dc, 0, 0, nullptr, 3));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(TextOutA(dc, 0, 0, "abc", -1));
    EXPECT_FALSE(GetTextExtentPoint32A(dc, "abc", 3, nullptr));
    DeleteDC(dc);
    EXPECT_FALSE(TextOutA(dc, 0, 0, "abc", 3));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

} // namespace
} // namespace vexil::gdi::testing
