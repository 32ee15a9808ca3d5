// SPDX-License-Identifier: MIT
// The state a DC keeps: defaults, setters returning the previous value, refusals, coordinates.
#include "gdi_fixture.h"

namespace vexil::gdi::testing {
namespace {

TEST(GdiDcStateTest, ANewDcHasGdisDefaults)
{
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetTextColor(dc), kBlack);
    EXPECT_EQ(GetBkColor(dc), kWhite);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    EXPECT_EQ(GetPolyFillMode(dc), ALTERNATE);
    EXPECT_EQ(GetArcDirection(dc), AD_COUNTERCLOCKWISE);
    POINT p{7, 7};
    EXPECT_TRUE(GetViewportOrgEx(dc, &p));
    EXPECT_EQ(p.x, 0);
    EXPECT_TRUE(GetCurrentPositionEx(dc, &p));
    EXPECT_EQ(p.y, 0);
    HRGN region = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(GetClipRgn(dc, region), 0);
    DeleteObject(region);
    DeleteDC(dc);
}

TEST(GdiDcStateTest, ModeSettersReturnThePreviousValueAndRefuseUnknownOnes)
{
    HDC dc = CreateCompatibleDC(nullptr);
    struct Case {
        const char* name;
        int (*set)(HDC, int);
        int (*get)(HDC);
        int initial;
        int accepted;
        int refused;
    } cases[] = {
        {"SetBkMode", SetBkMode, GetBkMode, OPAQUE, TRANSPARENT, 3},
        {"SetROP2", SetROP2, GetROP2, R2_COPYPEN, R2_XORPEN, 17},
        {"SetROP2 low", SetROP2, GetROP2, R2_XORPEN, R2_BLACK, 0},
        {"SetPolyFillMode", SetPolyFillMode, GetPolyFillMode, ALTERNATE, WINDING, 0},
        {"SetArcDirection", SetArcDirection, GetArcDirection, AD_COUNTERCLOCKWISE, AD_CLOCKWISE, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.set(dc, c.accepted), c.initial) << c.name;
        SetLastError(0);
        EXPECT_EQ(c.set(dc, c.refused), 0) << c.name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << c.name;
        EXPECT_EQ(c.get(dc), c.accepted) << c.name << " keeps its value";
    }
    for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop)
        EXPECT_NE(SetROP2(dc, rop), 0) << rop;

    EXPECT_EQ(SetTextColor(dc, kRed), kBlack);
    EXPECT_EQ(SetBkColor(dc, kBlue), kWhite);
    EXPECT_EQ(GetTextColor(dc), kRed);
    EXPECT_EQ(GetBkColor(dc), kBlue);
    DeleteDC(dc);

    EXPECT_EQ(SetTextColor(dc, kRed), CLR_INVALID);
    EXPECT_EQ(GetBkColor(dc), CLR_INVALID);
    EXPECT_EQ(SetROP2(dc, R2_XORPEN), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(GdiDcStateTest, ViewportOriginConvertsPointsAndKeepsThePositionLogical)
{
    HDC dc = CreateCompatibleDC(nullptr);
    POINT previous{1, 1};
    EXPECT_TRUE(SetViewportOrgEx(dc, 100, 50, &previous));
    EXPECT_EQ(previous.x, 0);
    EXPECT_EQ(previous.y, 0);
    EXPECT_TRUE(SetViewportOrgEx(dc, 100, 50, &previous));
    EXPECT_EQ(previous.x, 100);

    POINT corners[2] = {{0, 0}, {10, 10}};
    EXPECT_TRUE(LPtoDP(dc, corners, 2));
    EXPECT_EQ(corners[0].x, 100);
    EXPECT_EQ(corners[0].y, 50);
    EXPECT_EQ(corners[1].x, 110);
    EXPECT_EQ(corners[1].y, 60);
    POINT page_corner{0, 0};
    EXPECT_TRUE(DPtoLP(dc, &page_corner, 1));
    EXPECT_EQ(page_corner.x, -100);
    EXPECT_EQ(page_corner.y, -50);

    SetViewportOrgEx(dc, INT32_MAX, INT32_MIN, nullptr);
    POINT far{INT32_MAX, -5};
    EXPECT_TRUE(LPtoDP(dc, &far, 1));
    EXPECT_EQ(far.x, INT32_MAX) << "saturates rather than wraps";
    EXPECT_EQ(far.y, INT32_MIN);
    EXPECT_FALSE(LPtoDP(dc, nullptr, 1));
    EXPECT_TRUE(LPtoDP(dc, nullptr, 0));

    POINT old{};
    EXPECT_TRUE(MoveToEx(dc, 5, 6, &old));
    EXPECT_TRUE(MoveToEx(dc, -7, 8, &old));
    EXPECT_EQ(old.x, 5);
    EXPECT_EQ(old.y, 6);
    POINT now{};
    EXPECT_TRUE(GetCurrentPositionEx(dc, &now));
    EXPECT_EQ(now.x, -7);
    EXPECT_EQ(now.y, 8);
    DeleteDC(dc);
    EXPECT_FALSE(MoveToEx(dc, 1, 1, nullptr));
    EXPECT_FALSE(SetViewportOrgEx(dc, 1, 1, nullptr));
}

} // namespace
} // namespace vexil::gdi::testing
