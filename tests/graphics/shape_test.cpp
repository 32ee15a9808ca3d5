// SPDX-License-Identifier: MIT
// Curves and filled shapes: arc end points, the last arc, bars, 3-D bars, fills and flood fills.
#include "fixture.h"

namespace vexil::graphics::testing {
namespace {

using ShapeTest = WindowTest;

TEST(ShapeTestWithoutWindow, ArcEndPointsTruncateTowardZero)
{
    struct Case {
        int angle;
        int x;
        int y;
    };
    for (const Case c : {Case{0, 110, 100}, Case{90, 100, 90}, Case{135, 93, 93}, Case{180, 90, 100},
                         Case{270, 100, 110}, Case{30, 108, 96}, Case{360, 110, 100}, Case{-90, 100, 110}}) {
        int xstart = 0;
        int ystart = 0;
        int xend = 0;
        int yend = 0;
        ArcEndPoints(100, 100, 10, 10, c.angle, c.angle, &xstart, &ystart, &xend, &yend);
        EXPECT_EQ(xstart, c.x) << c.angle;
        EXPECT_EQ(ystart, c.y) << c.angle;
        EXPECT_EQ(xend, c.x) << c.angle;
        EXPECT_EQ(yend, c.y) << c.angle;
    }
    int box[4];
    CenterToBox(100, 50, 20, 10, &box[0], &box[1], &box[2], &box[3]);
    EXPECT_EQ(box[0], 80);
    EXPECT_EQ(box[1], 40);
    EXPECT_EQ(box[2], 120);
    EXPECT_EQ(box[3], 60);
}

TEST_F(ShapeTest, ArcIsRememberedAndTheSlicesLeaveItAlone)
{
    arc(100, 100, 0, 90, 50);
    pieslice(40, 40, 10, 20, 5);
    sector(40, 40, 10, 20, 5, 6);
    ellipse(40, 40, 10, 20, 5, 6);
    arccoordstype coords;
    getarccoords(&coords);
    EXPECT_EQ(coords.x, 100);
    EXPECT_EQ(coords.y, 100);
    EXPECT_EQ(coords.xstart, 150);
    EXPECT_EQ(coords.ystart, 100);
    EXPECT_EQ(coords.xend, 100);
    EXPECT_EQ(coords.yend, 50);
}

TEST_F(ShapeTest, ArcRunsCounterClockwiseInsideItsBox)
{
    EXPECT_EQ(invalidated_by([] { arc(100, 100, 0, 90, 40); }), (RECT{60, 60, 141, 141}));
    // The box's pixels are 60 to 139: the quarter runs from three o'clock up to twelve.
    EXPECT_EQ(active_pixel(139, 100), converttorgb(WHITE));
    EXPECT_EQ(active_pixel(100, 60), converttorgb(WHITE));
    EXPECT_EQ(active_pixel(60, 100), converttorgb(BLACK));
    EXPECT_EQ(active_pixel(100, 139), converttorgb(BLACK));
}

TEST_F(ShapeTest, CurvesRepaintTheirBoxes)
{
    EXPECT_EQ(invalidated_by([] { circle(50, 50, 0); }), (RECT{50, 50, 51, 51}));
    EXPECT_EQ(invalidated_by([] { circle(50, 50, 10); }), (RECT{40, 40, 61, 61}));
    EXPECT_EQ(invalidated_by([] { ellipse(100, 100, 0, 360, 40, 20); }), (RECT{60, 80, 141, 121}));
    EXPECT_EQ(invalidated_by([] { fillellipse(100, 100, 40, 20); }), (RECT{60, 80, 141, 121}));
    EXPECT_EQ(invalidated_by([] { sector(100, 100, 0, 90, 40, 20); }), (RECT{60, 80, 141, 121}));
    EXPECT_EQ(invalidated_by([] { pieslice(100, 100, 0, 90, 30); }), (RECT{70, 70, 131, 131}));
}

TEST_F(ShapeTest, WholeEllipseWhenTheAnglesMeet)
{
    ellipse(100, 75, 0, 360, 40, 20);
    // The box's pixels are x 60 to 139 and y 55 to 94.
    EXPECT_EQ(active_pixel(139, 75), converttorgb(WHITE));
    EXPECT_EQ(active_pixel(60, 75), converttorgb(WHITE));
    EXPECT_EQ(active_pixel(100, 55), converttorgb(WHITE));
    EXPECT_EQ(active_pixel(100, 94), converttorgb(WHITE));
    // The outline is closed: a flood fill inside stays inside.
    setfillstyle(SOLID_FILL, RED);
    floodfill(100, 75, WHITE);
    EXPECT_EQ(active_pixel(100, 75), converttorgb(RED));
    EXPECT_EQ(active_pixel(10, 10), converttorgb(BLACK));
}

TEST_F(ShapeTest, BarFillsWithoutItsFarEdgesOrAnOutline)
{
    setcolor(RED);
    setfillstyle(SOLID_FILL, GREEN);
    EXPECT_EQ(invalidated_by([] { bar(0, 0, 10, 10); }), (RECT{0, 0, 11, 11}));
    EXPECT_EQ(page_picture(0, converttorgb(GREEN), 0, 0, 11, 11),
              "##########.\n##########.\n##########.\n##########.\n##########.\n##########.\n"
              "##########.\n##########.\n##########.\n##########.\n...........\n");
}

TEST_F(ShapeTest, Bar3dDrawsTheFrontFaceTheSideAndTheTop)
{
    setfillstyle(SOLID_FILL, BLUE);
    EXPECT_EQ(invalidated_by([] { bar3d(10, 20, 50, 60, 10, 1); }), (RECT{10, 15, 61, 61}));
    // Front face: outline in the drawing colour, inside in the fill.
    EXPECT_EQ(active_pixel(10, 20), converttorgb(WHITE));
    EXPECT_EQ(active_pixel(30, 40), converttorgb(BLUE));
    // Side through (50, 60), (60, 55), (60, 15), (50, 20); top through (60, 15), (20, 15), (10, 20).
    for (const POINT corner :
         {POINT{50, 60}, POINT{60, 55}, POINT{60, 35}, POINT{60, 15}, POINT{40, 15}, POINT{20, 15}})
        EXPECT_EQ(active_pixel(corner.x, corner.y), converttorgb(WHITE)) << corner.x << ", " << corner.y;
    // The side face is not filled.
    EXPECT_EQ(active_pixel(55, 40), converttorgb(BLACK));

    EXPECT_EQ(invalidated_by([] { bar3d(10, 20, 50, 60, 0, 0); }), (RECT{10, 20, 51, 61}));
    EXPECT_EQ(invalidated_by([] { bar3d(100, 100, 120, 120, -5, 0); }), (RECT{100, 102, 116, 121}));
}

TEST_F(ShapeTest, FilledShapesPaintPatternsInTheFillColourAndRestoreTheTextColour)
{
    setbkcolor(BLUE);
    setcolor(YELLOW);
    setfillstyle(SLASH_FILL, GREEN);
    pieslice(100, 75, 0, 360, 40);
    const HDC page = current_window().hDC[0];
    EXPECT_EQ(GetTextColor(page), converttorgb(YELLOW));
    int fill = 0;
    int background = 0;
    // A row clear of the radius that the slice draws from the centre to three o'clock.
    for (int x = 90; x < 110; ++x) {
        const COLORREF pixel = active_pixel(x, 60);
        fill += pixel == converttorgb(GREEN);
        background += pixel == converttorgb(BLUE);
    }
    EXPECT_GT(fill, 0);
    EXPECT_GT(background, 0);
    EXPECT_EQ(fill + background, 20);
    EXPECT_EQ(active_pixel(139, 75), converttorgb(YELLOW));
}

TEST_F(ShapeTest, FillpolyAndFloodfillRepaintTheWholeWindow)
{
    const int triangle[] = {0, 0, 10, 0, 0, 10};
    setfillstyle(SOLID_FILL, RED);
    EXPECT_EQ(invalidated_by([&] { fillpoly(3, triangle); }), whole_window());
    EXPECT_EQ(active_pixel(2, 2), converttorgb(RED));
    EXPECT_EQ(active_pixel(0, 10), converttorgb(WHITE));
    EXPECT_EQ(invalidated_by([] { floodfill(100, 100, WHITE); }), whole_window());
}

TEST_F(ShapeTest, FloodfillStopsAtTheBorderColour)
{
    setcolor(WHITE);
    rectangle(10, 10, 30, 30);
    setcolor(RED);
    line(20, 12, 20, 28);
    setfillstyle(SOLID_FILL, GREEN);
    floodfill(15, 15, WHITE);
    EXPECT_EQ(active_pixel(15, 15), converttorgb(GREEN));
    // Red is not the border: the fill passes over it and on to the right half.
    EXPECT_EQ(active_pixel(25, 15), converttorgb(GREEN));
    EXPECT_EQ(active_pixel(5, 5), converttorgb(BLACK));
    EXPECT_EQ(active_pixel(10, 15), converttorgb(WHITE));
}

} // namespace
} // namespace vexil::graphics::testing
