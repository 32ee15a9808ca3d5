// SPDX-License-Identifier: MIT
// Polygons and rectangles: the inside rule, fill modes, outline and fill touching, painting once.
#include "fixture.h"

#include "gdi/raster/polygon.h"
#include "gdi/raster/rectangle.h"
#include "gdi/raster/reference/polygon_reference.h"

#include <gtest/gtest.h>

#include <random>

namespace vexil::raster::testing {
namespace {

constexpr uint32_t kFill = 0x000000F0;
const std::vector<std::pair<uint32_t, char>> kLegend = {{0, '.'}, {kInk, 'o'}, {kFill, '#'}};

const Brush kSolid{BrushStyle::Solid, kFill};
const Pen kCosmetic{PenKind::Cosmetic, kInk};
const Pen kGeometric{PenKind::Geometric, kInk};

TEST(PolygonTest, FillsLeftAndTopEdgesButNotRightAndBottom)
{
    TestSurface s(8, 6);
    const Point64 square[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
    fill_polygon(s.target(), kSolid, square, FillMode::Alternate);
    // The apex row has no width; (7, 3) lies on the right edge and stays out.
    const Point64 triangle[] = {{6, 0}, {8, 6}, {6, 6}};
    fill_polygon(s.target(), kSolid, triangle, FillMode::Alternate);
    EXPECT_TRUE(same_picture(art({
                                 "........",
                                 ".####.#.",
                                 ".####.#.",
                                 ".####.#.",
                                 "......##",
                                 "......##",
                             }),
                             s.ascii()));
}

TEST(PolygonTest, AlternateLeavesTheStarsCentreOpenWindingFillsIt)
{
    const Point64 star[] = {{5, 0}, {8, 10}, {0, 3}, {10, 3}, {2, 10}};
    TestSurface alternate(11, 11), winding(11, 11);
    fill_polygon(alternate.target(), kSolid, star, FillMode::Alternate);
    fill_polygon(winding.target(), kSolid, star, FillMode::Winding);
    EXPECT_EQ(alternate.at(5, 5), 0u);
    EXPECT_EQ(winding.at(5, 5), kFill);
    EXPECT_EQ(alternate.at(5, 1), kFill);
}

TEST(PolygonTest, MatchesReferenceOnRandomPolygons)
{
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        // Mostly on the page, sometimes far off it, and now and then huge.
        const int64_t spread = seed % 10 == 0 ? (int64_t(1) << 36) : seed % 3 == 0 ? 200 : 40;
        std::vector<Point64> pts(3 + rng() % 6);
        for (Point64& p : pts)
            p = {int64_t(rng() % uint64_t(2 * spread)) - spread + 16, int64_t(rng() % uint64_t(2 * spread)) - spread + 12};
        const FillMode mode = seed % 2 ? FillMode::Alternate : FillMode::Winding;
        TestSurface fast(32, 24), slow(32, 24);
        fill_polygon(fast.target(), kSolid, pts, mode);
        reference::fill_polygon(slow.surface(), pts, mode, kFill);
        ASSERT_TRUE(same_picture(slow.ascii(), fast.ascii()));
        ASSERT_TRUE(fast.guard_intact());
    }
}

TEST(PolygonTest, OutlineAndFillTouchWithoutGapAndPaintEachPixelOnce)
{
    const Point64 shape[] = {{1, 1}, {10, 3}, {7, 9}, {2, 6}};
    TestSurface s(12, 11);
    draw_polygon(s.target(), kGeometric, kSolid, shape, FillMode::Alternate);
    EXPECT_TRUE(same_picture(art({
                                 "............",
                                 ".ooo........",
                                 ".o##oooo....",
                                 ".o######ooo.",
                                 "..o######o..",
                                 "..o######o..",
                                 "..o#####o...",
                                 "...oo###o...",
                                 ".....ooo....",
                                 ".......o....",
                                 "............",
                             }),
                             s.ascii(kLegend)));
    // In XOR mode a pixel covered by both would cancel out.
    TestSurface x(12, 11);
    draw_polygon(x.target(Rop2::XorPen), kGeometric, kSolid, shape, FillMode::Alternate);
    EXPECT_TRUE(same_picture(s.ascii(kLegend), x.ascii(kLegend)));
}

TEST(RectangleTest, OutlinesColumnsLAndRMinusOneAndFillsInside)
{
    for (const Pen& pen : {kCosmetic, kGeometric}) {
        TestSurface s(8, 6);
        draw_rectangle(s.target(), pen, kSolid, {1, 1, 7, 5});
        EXPECT_TRUE(same_picture(art({
                                     "........",
                                     ".oooooo.",
                                     ".o####o.",
                                     ".o####o.",
                                     ".oooooo.",
                                     "........",
                                 }),
                                 s.ascii(kLegend)));
    }
}

TEST(RectangleTest, ReversedBoxIsNormalisedAndNullPenFillsAll)
{
    TestSurface reversed(8, 6), null_pen(8, 6);
    draw_rectangle(reversed.target(), kCosmetic, Brush{BrushStyle::Null}, {7, 5, 1, 1});
    draw_rectangle(null_pen.target(), Pen{PenKind::Null}, kSolid, {1, 1, 7, 5});
    EXPECT_TRUE(same_picture(art({
                                 "........",
                                 ".oooooo.",
                                 ".o....o.",
                                 ".o....o.",
                                 ".oooooo.",
                                 "........",
                             }),
                             reversed.ascii(kLegend)));
    EXPECT_EQ(null_pen.count(kFill), 24);
}

TEST(FillRectTest, FillsLeftToRightMinusOneAndNothingWhenEmptyOrReversed)
{
    TestSurface s(12, 12);
    fill_rect(s.target(), kSolid, {0, 0, 10, 10});
    EXPECT_EQ(s.ink_bounds().right, 10);
    EXPECT_EQ(s.ink_bounds().bottom, 10);
    EXPECT_EQ(s.count(kFill), 100);
    TestSurface t(12, 12);
    fill_rect(t.target(), kSolid, {5, 5, 5, 9});
    fill_rect(t.target(), kSolid, {9, 9, 2, 2});
    EXPECT_EQ(t.count(0), 144);
}

TEST(FillRectTest, HandlesCoordinatesFarOutsideTheSurface)
{
    TestSurface s(6, 4);
    fill_rect(s.target(), kSolid, {INT64_MIN, INT64_MIN, INT64_MAX, INT64_MAX});
    EXPECT_EQ(s.count(kFill), 24);
    // Top row and right column on the page; XOR over the fill shows each pixel painted once.
    draw_rectangle(s.target(Rop2::XorPen), kGeometric, kSolid, {-(int64_t(1) << 45), 1, 4, int64_t(1) << 50});
    EXPECT_TRUE(same_picture(art({
                                 "######",
                                 "oooo##",
                                 "...o##",
                                 "...o##",
                             }),
                             s.ascii({{0, '.'}, {kFill, '#'}, {kInk ^ kFill, 'o'}, {0, '.'}})));
    EXPECT_TRUE(s.guard_intact());
}

} // namespace
} // namespace vexil::raster::testing
