// SPDX-License-Identifier: MIT
// Ellipses, arcs and pies: the inscribed box, closed outlines, sweeps in every quadrant, painting once.
#include "fixture.h"

#include "gdi/raster/ellipse.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>

namespace vexil::raster::testing {
namespace {

constexpr uint32_t kFill = 0x000000F0;
const std::vector<std::pair<uint32_t, char>> kLegend = {{0, '.'}, {kInk, 'o'}, {kFill, '#'}};
const Pen kPen{PenKind::Geometric, kInk};
const Brush kSolid{BrushStyle::Solid, kFill};
const Brush kHollow{BrushStyle::Null};

// Whether a 4-connected walk from `seed` over pixels other than kInk reaches the surface's edge.
bool leaks(const TestSurface& s, int32_t sx, int32_t sy)
{
    std::vector<bool> seen(size_t(s.width() * s.height()));
    std::deque<std::pair<int32_t, int32_t>> todo{{sx, sy}};
    while (!todo.empty()) {
        const auto [x, y] = todo.front();
        todo.pop_front();
        if (x < 0 || y < 0 || x >= s.width() || y >= s.height())
            return true;
        if (seen[size_t(y * s.width() + x)] || s.at(x, y) == kInk)
            continue;
        seen[size_t(y * s.width() + x)] = true;
        todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    return false;
}

TEST(EllipseTest, StaysInsideTheBoxAndTouchesEachSide)
{
    TestSurface s(130, 80);
    draw_ellipse(s.target(), kPen, kSolid, {10, 10, 110, 60});
    const Box b = s.ink_bounds();
    EXPECT_EQ(b.left, 10);
    EXPECT_EQ(b.top, 10);
    EXPECT_EQ(b.right, 110);
    EXPECT_EQ(b.bottom, 60);
}

TEST(EllipseTest, SmallCircleIsTheMidpointCircle)
{
    TestSurface s(9, 9);
    draw_ellipse(s.target(), kPen, kSolid, {1, 1, 8, 8}); // centre (4, 4), radius 3
    EXPECT_TRUE(same_picture(art({
                                 ".........",
                                 "...ooo...",
                                 "..o###o..",
                                 ".o#####o.",
                                 ".o#####o.",
                                 ".o#####o.",
                                 "..o###o..",
                                 "...ooo...",
                                 ".........",
                             }),
                             s.ascii(kLegend)));
}

TEST(EllipseTest, OutlinesAreClosedForAnyBox)
{
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        const int64_t w = 3 + rng() % 40, h = 3 + rng() % 40;
        TestSurface s(int32_t(w) + 4, int32_t(h) + 4);
        draw_ellipse(s.target(), kPen, kHollow, {2, 2, 2 + w, 2 + h});
        ASSERT_FALSE(leaks(s, int32_t(2 + (w - 1) / 2), int32_t(2 + (h - 1) / 2)));
        TestSurface x(int32_t(w) + 4, int32_t(h) + 4);
        draw_ellipse(x.target(Rop2::XorPen), kPen, kSolid, {2, 2, 2 + w, 2 + h});
        draw_ellipse(s.target(), kPen, kSolid, {2, 2, 2 + w, 2 + h});
        ASSERT_TRUE(same_picture(s.ascii(kLegend), x.ascii(kLegend)));
    }
}

TEST(ArcTest, RunsCounterClockwiseFromStartRayToEndRay)
{
    // Circle of radius 4 about (4, 4); 0 degrees points right, 90 up.
    const Rect64 box{0, 0, 9, 9};
    struct Case {
        const char* name;
        Point64 start, end;
        ArcDirection direction;
        bool (*allowed)(int32_t x, int32_t y);
        Point64 must[2];
    };
    const Case cases[] = {
        {"upper right", {9, 4}, {4, -3}, ArcDirection::CounterClockwise,
         [](int32_t x, int32_t y) { return x >= 4 && y <= 4; }, {{8, 4}, {4, 0}}},
        {"upper left", {4, 0}, {0, 4}, ArcDirection::CounterClockwise,
         [](int32_t x, int32_t y) { return x <= 4 && y <= 4; }, {{4, 0}, {0, 4}}},
        {"lower left", {-5, 4}, {4, 20}, ArcDirection::CounterClockwise,
         [](int32_t x, int32_t y) { return x <= 4 && y >= 4; }, {{0, 4}, {4, 8}}},
        {"lower right", {4, 8}, {8, 4}, ArcDirection::CounterClockwise,
         [](int32_t x, int32_t y) { return x >= 4 && y >= 4; }, {{4, 8}, {8, 4}}},
        {"clockwise upper right", {4, 0}, {8, 4}, ArcDirection::Clockwise,
         [](int32_t x, int32_t y) { return x >= 4 && y <= 4; }, {{8, 4}, {4, 0}}},
        {"three quarters", {4, 0}, {8, 4}, ArcDirection::CounterClockwise,
         [](int32_t x, int32_t y) { return !(x > 4 && y < 4); }, {{0, 4}, {4, 8}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSurface s(9, 9);
        draw_arc(s.target(), kPen, box, c.start, c.end, c.direction);
        for (int32_t y = 0; y < 9; ++y)
            for (int32_t x = 0; x < 9; ++x)
                if (s.at(x, y) == kInk) {
                    EXPECT_TRUE(c.allowed(x, y)) << x << "," << y << "\n" << s.ascii();
                }
        for (const Point64& p : c.must)
            EXPECT_EQ(s.at(int32_t(p.x), int32_t(p.y)), kInk) << p.x << "," << p.y << "\n" << s.ascii();
    }
}

TEST(ArcTest, CoincidingRaysDrawTheWholeEllipse)
{
    for (const Rect64 box : {Rect64{0, 0, 30, 17}, Rect64{3, 1, 12, 20}, Rect64{0, 0, 2, 9}}) {
        TestSurface arc(32, 22), ellipse(32, 22);
        draw_arc(arc.target(), kPen, box, {box.right, (box.top + box.bottom) / 2}, {box.right + 40, (box.top + box.bottom) / 2},
                 ArcDirection::CounterClockwise);
        draw_ellipse(ellipse.target(), kPen, kHollow, box);
        EXPECT_TRUE(same_picture(ellipse.ascii(), arc.ascii()));
    }
}

TEST(ArcTest, DashesRunAlongTheCurveFromTheStart)
{
    TestSurface solid(21, 21), dotted(21, 21);
    const Rect64 box{0, 0, 21, 21};
    draw_arc(solid.target(), kPen, box, {20, 10}, {20, 10}, ArcDirection::CounterClockwise);
    Pen pen = kPen;
    pen.dashes = {0, 2};
    pen.dash_count = 2;
    draw_arc(dotted.target(), pen, box, {20, 10}, {20, 10}, ArcDirection::CounterClockwise);
    EXPECT_EQ(dotted.at(20, 10), kInk); // the pattern starts on the start ray
    EXPECT_NEAR(double(dotted.count(kInk)), double(solid.count(kInk)) / 2, 1.0);
    for (int32_t y = 0; y < 21; ++y)
        for (int32_t x = 0; x < 21; ++x)
            if (dotted.at(x, y) == kInk) {
                EXPECT_EQ(solid.at(x, y), kInk);
            }
}

TEST(PieTest, FillsTheSweepAndItsOutlineHoldsAFloodFill)
{
    TestSurface s(23, 23);
    draw_pie(s.target(), kPen, kSolid, {1, 1, 22, 22}, {22, 11}, {11, 0}, ArcDirection::CounterClockwise);
    // Only the upper right quarter is filled; a 4-connected walk from inside stays inside.
    for (int32_t y = 0; y < 23; ++y)
        for (int32_t x = 0; x < 23; ++x)
            if (s.at(x, y) == kFill) {
                ASSERT_TRUE(x > 11 && y < 11) << x << "," << y;
            }
    EXPECT_GT(s.count(kFill), 50);
    TestSurface hollow(23, 23);
    draw_pie(hollow.target(), kPen, kHollow, {1, 1, 22, 22}, {22, 11}, {11, 0}, ArcDirection::CounterClockwise);
    EXPECT_FALSE(leaks(hollow, 15, 7));
    TestSurface x(23, 23);
    draw_pie(x.target(Rop2::XorPen), kPen, kSolid, {1, 1, 22, 22}, {22, 11}, {11, 0}, ArcDirection::CounterClockwise);
    EXPECT_TRUE(same_picture(s.ascii(kLegend), x.ascii(kLegend)));
}

TEST(EllipseTest, WidePenStrokesAroundTheCurveAndPaintsOnce)
{
    TestSurface copy(40, 30), once(40, 30);
    const Pen wide{PenKind::Geometric, kInk, 3};
    draw_ellipse(copy.target(), wide, kSolid, {5, 5, 35, 25});
    draw_ellipse(once.target(Rop2::XorPen), wide, kSolid, {5, 5, 35, 25});
    EXPECT_TRUE(same_picture(copy.ascii(kLegend), once.ascii(kLegend)));
    const Box b = copy.ink_bounds();
    EXPECT_EQ(b.left, 4);
    EXPECT_EQ(b.top, 4);
    EXPECT_EQ(b.right, 36);
    EXPECT_EQ(b.bottom, 26);
    EXPECT_EQ(copy.at(20, 15), kFill);
    TestSurface arc(40, 30);
    draw_arc(arc.target(), wide, {5, 5, 35, 25}, {40, 15}, {20, -10}, ArcDirection::CounterClockwise);
    EXPECT_EQ(arc.at(20, 15), 0u);
    EXPECT_EQ(arc.at(34, 15), kInk);
    EXPECT_EQ(arc.at(5, 15), 0u);
}

TEST(EllipseTest, HandlesHugeAndFarAwayBoxes)
{
    TestSurface s(16, 16);
    const int64_t big = int64_t(1) << 38;
    draw_ellipse(s.target(), kPen, kSolid, {-big, -big, big, big});
    EXPECT_EQ(s.count(kFill), 256); // deep inside a huge ellipse
    draw_ellipse(s.target(), kPen, kSolid, {INT64_MIN, INT64_MIN, INT64_MAX, INT64_MAX});
    draw_arc(s.target(), kPen, {-big, 0, big, 8}, {0, 0}, {1, 0}, ArcDirection::CounterClockwise);
    Pen dashed = kPen;
    dashed.dashes = {1, 1};
    dashed.dash_count = 2;
    draw_arc(s.target(), dashed, {-big, -big, big, 8}, {0, 0}, {1, 0}, ArcDirection::CounterClockwise);
    draw_pie(s.target(), Pen{PenKind::Geometric, kInk, 9}, kSolid, {-big, -big, big, 8}, {-big, 0}, {big, 0},
             ArcDirection::Clockwise);
    EXPECT_TRUE(s.guard_intact());
}

} // namespace
} // namespace vexil::raster::testing
