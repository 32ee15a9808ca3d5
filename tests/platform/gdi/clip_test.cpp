// SPDX-License-Identifier: MIT
// Clip regions and viewport origins together, and coordinates far outside the page.
#include "gdi_fixture.h"

namespace vexil::gdi::testing {
namespace {

TEST(GdiClipTest, TheClipRegionIsInDeviceCoordinatesAndTheOriginMovesDrawing)
{
    Page page(12, 8);
    HRGN region = CreateRectRgn(3, 2, 9, 6);
    EXPECT_EQ(SelectClipRgn(page.dc(), region), SIMPLEREGION);
    DeleteObject(region); // the DC keeps its own copy
    SetViewportOrgEx(page.dc(), 2, 1, nullptr);
    HBRUSH brush = CreateSolidBrush(kRed);
    RECT rect{0, 0, 10, 10};
    FillRect(page.dc(), &rect, brush);
    EXPECT_TRUE(same_picture(art({
                                 "............",
                                 "............",
                                 "...######...",
                                 "...######...",
                                 "...######...",
                                 "...######...",
                                 "............",
                                 "............",
                             }),
                             page.ascii()));

    // GetPixel answers in logical coordinates and only inside the clip and the bitmap.
    EXPECT_EQ(GetPixel(page.dc(), 1, 1), kRed) << "device (3, 2)";
    EXPECT_EQ(GetPixel(page.dc(), 0, 1), CLR_INVALID) << "device (2, 2), outside the clip";
    EXPECT_TRUE(SetPixelV(page.dc(), 2, 2, kGreen));
    EXPECT_FALSE(SetPixelV(page.dc(), 7, 2, kGreen)) << "device (9, 3), outside the clip";
    EXPECT_EQ(page.at(4, 3), kGreen);
    EXPECT_EQ(page.at(9, 3), kBlack);

    SelectClipRgn(page.dc(), nullptr);
    EXPECT_EQ(GetPixel(page.dc(), 0, 0), kBlack) << "no clip: device (2, 1) reads";
    EXPECT_EQ(GetPixel(page.dc(), 10, 0), CLR_INVALID) << "device (12, 1) is off the bitmap";
    EXPECT_EQ(GetPixel(page.dc(), -3, 0), CLR_INVALID);
    DeleteObject(brush);
}

TEST(GdiClipTest, GetClipRgnCopiesTheRegionOrTellsThereIsNone)
{
    Page page(10, 10);
    HRGN copy = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(GetClipRgn(page.dc(), copy), 0);
    HRGN region = CreateRectRgn(8, 7, 2, 1); // corners in any order
    SelectClipRgn(page.dc(), region);
    EXPECT_EQ(GetClipRgn(page.dc(), copy), 1);
    RECT box{};
    EXPECT_EQ(GetRgnBox(copy, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 1);
    EXPECT_EQ(box.right, 8);
    EXPECT_EQ(box.bottom, 7);

    SetViewportOrgEx(page.dc(), 5, 5, nullptr);
    EXPECT_EQ(GetClipBox(page.dc(), &box), SIMPLEREGION);
    EXPECT_EQ(box.left, -3) << "the clip box is logical";
    EXPECT_EQ(box.bottom, 2);

    EXPECT_EQ(GetClipRgn(page.dc(), nullptr), -1);
    DeleteObject(region);
    EXPECT_EQ(GetClipRgn(page.dc(), region), -1) << "a deleted region";
    EXPECT_EQ(SelectClipRgn(page.dc(), region), ERROR);
    EXPECT_EQ(GetClipRgn(page.dc(), copy), 1) << "a failed selection keeps the clip";
    EXPECT_EQ(SelectClipRgn(page.dc(), nullptr), SIMPLEREGION);
    EXPECT_EQ(GetClipRgn(page.dc(), copy), 0);

    HRGN empty = CreateRectRgn(4, 4, 4, 9);
    EXPECT_EQ(SelectClipRgn(page.dc(), empty), NULLREGION);
    EXPECT_FALSE(SetPixelV(page.dc(), 0, 0, kRed));
    EXPECT_EQ(page.at(4, 4), kBlack);
    DeleteObject(empty);
    DeleteObject(copy);
}

TEST(GdiClipTest, CoordinatesPushedPastThe32BitRangeByTheOriginDrawNothingWrong)
{
    Page page(8, 4);
    HBRUSH brush = CreateSolidBrush(kRed);
    SetViewportOrgEx(page.dc(), INT32_MAX, 0, nullptr);
    RECT near_max{INT32_MAX - 3, 0, INT32_MAX, 4};
    FillRect(page.dc(), &near_max, brush);
    EXPECT_FALSE(SetPixelV(page.dc(), INT32_MAX, 1, kRed));
    EXPECT_EQ(GetPixel(page.dc(), 1, 1), CLR_INVALID);

    // An origin that brings far logical coordinates back onto the page.
    SetViewportOrgEx(page.dc(), INT32_MAX, INT32_MAX, nullptr);
    RECT back{INT32_MIN, INT32_MIN, INT32_MIN + 2, INT32_MIN + 2};
    FillRect(page.dc(), &back, brush);
    EXPECT_TRUE(same_picture(art({
                                 "#.......",
                                 "........",
                                 "........",
                                 "........",
                             }),
                             page.ascii()))
        << "INT32_MIN + INT32_MAX is -1: only device pixel (0, 0) of the 2 x 2 box is on the page";
    DeleteObject(brush);
}

} // namespace
} // namespace vexil::gdi::testing
