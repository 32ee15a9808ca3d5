// SPDX-License-Identifier: MIT
// Points and straight lines: what they draw, where they leave the position, what they repaint.
#include "fixture.h"

#include <climits>

namespace vexil::graphics::testing {
namespace {

using LineTest = WindowTest;

TEST_F(LineTest, LineLeavesTheCurrentPositionAndSetsBothEnds)
{
    moveto(5, 5);
    line(10, 20, 10, 24);
    EXPECT_EQ(getx(), 5);
    EXPECT_EQ(gety(), 5);
    EXPECT_EQ(page_picture(0, converttorgb(WHITE), 10, 19, 11, 26), ".\n#\n#\n#\n#\n#\n.\n");
}

TEST_F(LineTest, LinetoAndLinerelMoveAndRepaintFromThePosition)
{
    moveto(5, 5);
    EXPECT_EQ(invalidated_by([] { lineto(50, 60); }), (RECT{5, 5, 51, 61}));
    EXPECT_EQ(getx(), 50);
    EXPECT_EQ(gety(), 60);
    EXPECT_EQ(invalidated_by([] { linerel(-10, 0); }), (RECT{40, 60, 51, 61}));
    EXPECT_EQ(getx(), 40);
    EXPECT_EQ(gety(), 60);
    EXPECT_EQ(active_pixel(45, 60), converttorgb(WHITE));
}

TEST_F(LineTest, RefreshRectanglesComeFromTheArgumentsAlone)
{
    struct Case {
        const char* call;
        void (*draw)();
        RECT rect;
    };
    const Case cases[] = {
        {"rectangle", [] { rectangle(10, 10, 20, 20); }, {10, 10, 21, 21}},
        {"reversed rectangle", [] { rectangle(20, 20, 10, 10); }, {20, 20, 11, 11}},
        {"putpixel", [] { putpixel(3, 4, RED); }, {3, 4, 4, 5}},
        {"thick line",
         [] {
             setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
             line(10, 10, 20, 10);
         },
         {10, 10, 21, 11}},
        {"drawpoly",
         [] {
             const int points[] = {0, 0, 10, 0, 10, 10, 0, 0};
             drawpoly(4, points);
         },
         {0, 0, kWidth, kHeight}},
    };
    for (const Case& c : cases) {
        const RECT invalidated = invalidated_by(c.draw);
        // A reversed rectangle is passed on unchanged, and such a rectangle invalidates nothing.
        const bool reversed = c.rect.left > c.rect.right;
        EXPECT_EQ(invalidated, reversed ? RECT{} : c.rect) << c.call;
    }
}

TEST_F(LineTest, ReversedRectangleDrawsTheSameSquare)
{
    rectangle(20, 20, 10, 10);
    const std::string reversed = page_picture(0, converttorgb(WHITE), 9, 9, 22, 22);
    cleardevice();
    rectangle(10, 10, 20, 20);
    EXPECT_EQ(page_picture(0, converttorgb(WHITE), 9, 9, 22, 22), reversed);
    EXPECT_EQ(page_picture(0, converttorgb(WHITE), 9, 9, 13, 13), "....\n.###\n.#..\n.#..\n");
}

TEST_F(LineTest, PutpixelSetsTheConvertedColourWithoutThePen)
{
    setcolor(GREEN);
    putpixel(3, 4, RED);
    EXPECT_EQ(active_pixel(3, 4), COLORREF{0x000080});
    EXPECT_EQ(getcolor(), GREEN);
}

TEST_F(LineTest, DrawpolyDrawsAnOpenPolylineThatClosesOnlyWhenAskedTo)
{
    const int closed[] = {2, 2, 8, 2, 8, 8, 2, 2};
    drawpoly(4, closed);
    EXPECT_EQ(active_pixel(2, 2), converttorgb(WHITE));
    EXPECT_EQ(active_pixel(5, 5), converttorgb(WHITE));
    EXPECT_EQ(active_pixel(8, 5), converttorgb(WHITE));
    EXPECT_EQ(active_pixel(4, 7), converttorgb(BLACK));
}

TEST_F(LineTest, CoordinatesAtTheEndsOfTheIntRangeAreSafe)
{
    line(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    putpixel(INT_MAX, INT_MAX, WHITE);
    rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    moveto(INT_MAX, INT_MAX);
    linerel(INT_MAX, INT_MAX);
    moverel(INT_MAX, INT_MAX);
    EXPECT_EQ(getx(), INT_MAX);
    setviewport(INT_MAX, INT_MAX, INT_MIN, INT_MIN, 1);
    line(0, 0, INT_MAX, INT_MAX);
}

} // namespace
} // namespace vexil::graphics::testing
