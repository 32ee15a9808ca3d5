// SPDX-License-Identifier: MIT
// Flood fill: 4-connected areas, both modes, the clip, brushes that change what was matched.
#include "fixture.h"

#include "gdi/raster/ellipse.h"
#include "gdi/raster/flood_fill.h"

#include <gtest/gtest.h>

namespace vexil::raster::testing {
namespace {

constexpr uint32_t kFill = 0x000000F0;
const std::vector<std::pair<uint32_t, char>> kLegend = {{0, '.'}, {kInk, 'o'}, {kFill, '#'}};

void draw(TestSurface& s, const std::string& picture)
{
    int32_t x = 0, y = 0;
    for (char c : picture) {
        if (c == '\n') {
            ++y;
            x = 0;
            continue;
        }
        s.set(x++, y, c == 'o' ? kInk : c == '#' ? kFill : 0);
    }
}

TEST(FloodFillTest, FillsTheFourConnectedAreaUpToTheBorder)
{
    const std::string scene = art({
        "..o.....",
        ".o.oo...",
        ".o...o..",
        "..o.o.o.",
        "...o..o.",
        "oooooooo",
    });
    TestSurface s(8, 6);
    draw(s, scene);
    EXPECT_EQ(flood_fill(s.target(), Brush{BrushStyle::Solid, kFill}, {3, 2}, kInk, FloodMode::Border),
              FloodResult::Filled);
    // Diagonal gaps do not let a 4-connected fill through.
    EXPECT_TRUE(same_picture(art({
                                 "..o.....",
                                 ".o#oo...",
                                 ".o###o..",
                                 "..o#o.o.",
                                 "...o..o.",
                                 "oooooooo",
                             }),
                             s.ascii(kLegend)));
}

TEST(FloodFillTest, SurfaceModeFillsThePixelsOfTheColour)
{
    TestSurface s(6, 3);
    draw(s, art({"oo.ooo", "o..o.o", "oooooo"}));
    EXPECT_EQ(flood_fill(s.target(), Brush{BrushStyle::Solid, kFill}, {0, 0}, kInk, FloodMode::Surface),
              FloodResult::Filled);
    EXPECT_TRUE(same_picture(art({"##.###", "#..#.#", "######"}), s.ascii(kLegend)));
    EXPECT_EQ(flood_fill(s.target(), Brush{BrushStyle::Solid, kFill}, {2, 0}, kInk, FloodMode::Surface),
              FloodResult::NothingToFill);
}

TEST(FloodFillTest, StopsAtTheClipAndRefusesSeedsOutsideIt)
{
    TestSurface s(8, 4);
    const Box boxes[] = {{0, 0, 3, 4}, {5, 0, 8, 2}};
    const ClipList clip(s.surface(), boxes);
    const Target t{s.surface(), clip};
    EXPECT_EQ(flood_fill(t, Brush{BrushStyle::Solid, kFill}, {4, 0}, kInk, FloodMode::Border),
              FloodResult::NothingToFill);
    EXPECT_EQ(flood_fill(t, Brush{BrushStyle::Solid, kFill}, {1, 1}, kInk, FloodMode::Border), FloodResult::Filled);
    EXPECT_TRUE(same_picture(art({"###.....", "###.....", "###.....", "###....."}), s.ascii(kLegend)));
    EXPECT_EQ(flood_fill(s.target(), Brush{BrushStyle::Solid, kFill}, {INT64_MAX, 0}, kInk, FloodMode::Border),
              FloodResult::NothingToFill);
}

TEST(FloodFillTest, BrushesThatRepaintTheMatchedColourStillFillOnce)
{
    // Filling with the area's own colour, with XOR and with a pattern: the visited map, not the
    // colour, tells what is done.
    struct Case {
        const char* name;
        Rop2 rop;
        Brush brush;
    };
    const Case cases[] = {
        {"same colour", Rop2::CopyPen, Brush{BrushStyle::Solid, 0}},
        {"xor", Rop2::XorPen, Brush{BrushStyle::Solid, kFill}},
        {"pattern", Rop2::CopyPen, Brush{BrushStyle::Pattern, 0, HatchStyle::Horizontal, {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSurface s(40, 30);
        draw_ellipse(s.target(), Pen{PenKind::Geometric, kInk}, Brush{BrushStyle::Null}, {2, 2, 38, 28});
        Target t = s.target(c.rop);
        t.text_colour = kFill;
        t.background_colour = 0;
        EXPECT_EQ(flood_fill(t, c.brush, {20, 15}, kInk, FloodMode::Border), FloodResult::Filled);
        EXPECT_EQ(s.at(0, 0), 0u);
        EXPECT_EQ(s.at(21, 15), c.name == std::string("same colour") ? 0u : kFill);
    }
}

TEST(FloodFillTest, FillsAWholeLargePageIteratively)
{
    TestSurface s(1200, 900);
    EXPECT_EQ(flood_fill(s.target(), Brush{BrushStyle::Solid, kFill}, {600, 450}, kInk, FloodMode::Border),
              FloodResult::Filled);
    EXPECT_EQ(s.count(kFill), 1200 * 900);
}

} // namespace
} // namespace vexil::raster::testing
