// SPDX-License-Identifier: MIT
// Lines and polylines: end points, dashes and their caps, wide pens, painting once, clipping.
#include "fixture.h"

#include "gdi/raster/line.h"
#include "gdi/raster/reference/line_reference.h"

#include <gtest/gtest.h>

#include <random>

namespace vexil::raster::testing {
namespace {

Pen geometric(int64_t width = 1, std::initializer_list<uint32_t> dashes = {})
{
    Pen pen{PenKind::Geometric, kInk, width};
    for (uint32_t d : dashes)
        pen.dashes[pen.dash_count++] = d;
    return pen;
}

Pen cosmetic()
{
    return Pen{PenKind::Cosmetic, kInk};
}

// The first row of a surface as '#' and '.'.
std::string first_row(const TestSurface& s)
{
    const std::string all = s.ascii();
    return all.substr(0, all.find('\n'));
}

TEST(LineTest, GeometricPenSetsBothEndPoints)
{
    TestSurface s(12, 90);
    stroke_line(s.target(), geometric(), {10, 20}, {10, 80});
    EXPECT_EQ(s.ink_bounds().top, 20);
    EXPECT_EQ(s.ink_bounds().bottom, 81);
    EXPECT_EQ(s.count(kInk), 61);
    for (int y = 20; y <= 80; ++y)
        EXPECT_EQ(s.at(10, y), kInk) << y;
}

TEST(LineTest, CosmeticPenLeavesOutTheLastPoint)
{
    TestSurface s(6, 3);
    stroke_line(s.target(), cosmetic(), {0, 0}, {5, 2});
    stroke_line(s.target(), cosmetic(), {3, 1}, {3, 1}); // nothing at all
    EXPECT_TRUE(same_picture(art({
                                 "##....",
                                 "..##..",
                                 "....#.",
                             }),
                             s.ascii()));
}

TEST(LineTest, SegmentAndItsReverseSetTheSamePixels)
{
    for (const auto& [a, b] : {std::pair<Point64, Point64>{{0, 0}, {6, 3}}, {{1, 7}, {4, 0}}, {{7, 2}, {0, 5}}}) {
        TestSurface forward(8, 8), backward(8, 8);
        stroke_line(forward.target(), geometric(), a, b);
        stroke_line(backward.target(), geometric(), b, a);
        EXPECT_TRUE(same_picture(forward.ascii(), backward.ascii()));
    }
}

TEST(LineTest, DashesCarryTheirCaps)
{
    struct Case {
        const char* name;
        std::initializer_list<uint32_t> dashes;
        const char* unit; // one period of the first 40 pixels
    };
    const Case cases[] = {
        {"{3,4}: dotted style", {3, 4}, "####..."},
        {"{7,4}: dashed style", {7, 4}, "########..."},
        {"{3,4,7,4}: centre style", {3, 4, 7, 4}, "####...########..."},
        {"{16,0}: solid style", {16, 0}, "#"},
        {"{7,9}: pattern 0x00FF", {7, 9}, "########........"},
        {"{0,2}x8: pattern 0x5555", {0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2}, "#."},
        {"{1,3}x4: pattern 0x3333", {1, 3, 1, 3, 1, 3, 1, 3}, "##.."},
        {"{3,5,3,5}: patterns 0x0F0F, 0xF0F0", {3, 5, 3, 5}, "####...."},
        {"{0,16}: pattern 0x8000", {0, 16}, "#..............."},
        {"{0,15,0,1}: pattern 0x8001", {0, 15, 0, 1}, "#..............#"},
        {"{15,1}: pattern 0xFFFF", {15, 1}, "#"},
        {"{0,16} as an odd list {0}", {0}, "#"},
        {"odd list {2}: dash 2, gap 2", {2}, "###."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSurface s(40, 1);
        stroke_line(s.target(), geometric(1, c.dashes), {0, 0}, {39, 0});
        std::string want;
        while (want.size() < 40)
            want += c.unit;
        EXPECT_EQ(want.substr(0, 40), first_row(s));
    }
}

TEST(LineTest, CosmeticDashesHaveNoCaps)
{
    TestSurface s(14, 1);
    Pen pen = cosmetic();
    pen.dashes = {3, 4};
    pen.dash_count = 2;
    stroke_line(s.target(), pen, {0, 0}, {14, 0});
    EXPECT_EQ("###....###....", first_row(s));
}

TEST(LineTest, DashPatternRunsOnAlongPolylineAndRestartsPerCall)
{
    TestSurface joined(6, 6), separate(6, 6);
    const Point64 path[] = {{0, 0}, {5, 0}, {5, 5}};
    stroke_polyline(joined.target(), geometric(1, {3, 4}), path, PathShape::Open);
    stroke_line(separate.target(), geometric(1, {3, 4}), path[0], path[1]);
    stroke_line(separate.target(), geometric(1, {3, 4}), path[1], path[2]);
    EXPECT_TRUE(same_picture(art({
                                 "####..",
                                 "......",
                                 ".....#",
                                 ".....#",
                                 ".....#",
                                 ".....#",
                             }),
                             joined.ascii()));
    EXPECT_TRUE(same_picture(art({
                                 "####.#",
                                 ".....#",
                                 ".....#",
                                 ".....#",
                                 "......",
                                 "......",
                             }),
                             separate.ascii()));
}

TEST(LineTest, WidePenIsOutlineAroundThePath)
{
    struct Case {
        int64_t width;
        Box bounds;
    };
    // w/2 each side and past each end, centres on the left and top edges in.
    const Case cases[] = {{5, {18, 48, 83, 53}}, {4, {18, 48, 82, 52}}, {2, {19, 49, 81, 51}}, {3, {19, 49, 82, 52}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "width " << c.width);
        TestSurface s(100, 100);
        stroke_line(s.target(), geometric(c.width), {20, 50}, {80, 50});
        const Box b = s.ink_bounds();
        EXPECT_EQ(b.left, c.bounds.left);
        EXPECT_EQ(b.top, c.bounds.top);
        EXPECT_EQ(b.right, c.bounds.right);
        EXPECT_EQ(b.bottom, c.bounds.bottom);
        EXPECT_EQ(s.count(kInk), int64_t(b.right - b.left) * (b.bottom - b.top));
    }
}

TEST(LineTest, WidePolylineHasBevelJoinsAndSquareCaps)
{
    // The corner at (2, 2) is cut from (0.5, 2) to (2, 0.5); the free ends reach 1.5 further.
    TestSurface s(12, 12);
    const Point64 path[] = {{2, 9}, {2, 2}, {9, 2}};
    stroke_polyline(s.target(), geometric(3), path, PathShape::Open);
    EXPECT_TRUE(same_picture(art({
                                 "............",
                                 "..#########.",
                                 ".##########.",
                                 ".##########.",
                                 ".###........",
                                 ".###........",
                                 ".###........",
                                 ".###........",
                                 ".###........",
                                 ".###........",
                                 ".###........",
                                 "............",
                             }),
                             s.ascii()));
}

TEST(LineTest, WideDashesAreCappedPieces)
{
    // Each dash of 3 steps reaches 1.5 past both ends: 6 pixels, leaving 1 of the gap of 4.
    TestSurface s(24, 5);
    stroke_line(s.target(), geometric(3, {3, 4}), {2, 2}, {22, 2});
    EXPECT_TRUE(same_picture(art({
                                 "........................",
                                 ".######.######.######...",
                                 ".######.######.######...",
                                 ".######.######.######...",
                                 "........................",
                             }),
                             s.ascii()));
}

TEST(LineTest, EachPixelOfOneStrokeIsPaintedOnce)
{
    struct Case {
        const char* name;
        Pen pen;
        std::vector<Point64> path;
        PathShape shape;
    };
    const Case cases[] = {
        {"there and back", geometric(), {{1, 1}, {14, 6}, {1, 1}, {14, 6}}, PathShape::Open},
        {"closed square", geometric(), {{2, 2}, {12, 2}, {12, 12}, {2, 12}}, PathShape::Closed},
        {"crossing", geometric(1, {0, 0}), {{0, 0}, {15, 15}, {15, 0}, {0, 15}}, PathShape::Open},
        {"cosmetic crossing", cosmetic(), {{0, 0}, {15, 15}, {15, 0}, {0, 15}}, PathShape::Closed},
        {"wide star", geometric(3), {{2, 2}, {13, 13}, {13, 2}, {2, 13}, {8, 0}}, PathShape::Closed},
        {"wide dashes with zero gaps", geometric(4, {2, 0}), {{1, 1}, {14, 3}, {3, 14}}, PathShape::Open},
        {"wide sharp turn", geometric(5), {{1, 8}, {14, 8}, {2, 9}}, PathShape::Open},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSurface copy(16, 16), xor_once(16, 16);
        stroke_polyline(copy.target(), c.pen, c.path, c.shape);
        stroke_polyline(xor_once.target(Rop2::XorPen), c.pen, c.path, c.shape);
        EXPECT_TRUE(same_picture(copy.ascii(), xor_once.ascii()));
        EXPECT_GT(copy.count(kInk), 0);
        stroke_polyline(xor_once.target(Rop2::XorPen), c.pen, c.path, c.shape);
        EXPECT_EQ(xor_once.count(0), 256);
    }
}

TEST(LineTest, MatchesReferenceOnRandomClippedLines)
{
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        auto coord = [&] { return int64_t(rng() % 600) - 270; };
        const Point64 a{coord(), coord()};
        // Every fifth line horizontal and every seventh vertical, which take paths of their own.
        const Point64 b{seed % 7 == 0 ? a.x : coord(), seed % 5 == 0 ? a.y : coord()};
        Pen pen = seed % 3 == 0 ? cosmetic() : geometric();
        if (seed % 2 == 0) {
            pen.dash_count = uint8_t(1 + rng() % 6);
            for (int i = 0; i < pen.dash_count; ++i)
                pen.dashes[size_t(i)] = rng() % 7;
        }
        TestSurface fast(64, 48), slow(64, 48);
        stroke_line(fast.target(), pen, a, b);
        reference::line(slow.surface(), pen, a, b, kInk);
        ASSERT_TRUE(same_picture(slow.ascii(), fast.ascii())) << a.x << "," << a.y << " -> " << b.x << "," << b.y;
    }
}

TEST(LineTest, HandlesCoordinatesFarOutsideTheSurface)
{
    const int64_t big = int64_t(INT32_MAX) * 3;
    TestSurface s(16, 8);
    stroke_line(s.target(), geometric(), {-big, 5}, {big, 5});
    stroke_line(s.target(), cosmetic(), {3, -big}, {3, big});
    // A diagonal from far away: the part on the page is where the exact line crosses it.
    stroke_line(s.target(), geometric(), {-big + 8, -big}, {8, 0});
    stroke_line(s.target(), geometric(7), {INT64_MIN, INT64_MIN}, {INT64_MAX, 3});
    stroke_line(s.target(), geometric(7), {int64_t(1) << 39, 0}, {-(int64_t(1) << 39), 2});
    stroke_line(s.target(), geometric(INT64_MAX), {0, 0}, {1, 1});
    EXPECT_TRUE(s.guard_intact());
    EXPECT_EQ(s.at(8, 0), kInk);
    EXPECT_EQ(s.at(15, 5), kInk);
    EXPECT_EQ(s.at(3, 7), kInk);
}

} // namespace
} // namespace vexil::raster::testing
