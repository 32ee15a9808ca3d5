// SPDX-License-Identifier: MIT
// The span writer: every ROP2 on random rows against the reference, clipping, brush tiles.
#include "fixture.h"

#include "gdi/raster/reference/span_reference.h"
#include "gdi/raster/span_writer.h"

#include <gtest/gtest.h>

#include <random>

namespace vexil::raster::testing {
namespace {

TEST(SpanWriterTest, MatchesReferenceForEveryRopOnRandomSpans)
{
    for (uint32_t seed = 1; seed <= 48; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        const Rop2 rop = Rop2(1 + seed % 16);
        TestSurface fast(37, 5), slow(37, 5);
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 37; ++x) {
                const uint32_t v = rng() & 0x00FFFFFF;
                fast.set(x, y, v);
                slow.set(x, y, v);
            }
        const uint32_t colour = rng() & 0x00FFFFFF;
        const SpanWriter writer(fast.target(rop), colour);
        for (int k = 0; k < 12; ++k) {
            const int64_t y = int64_t(rng() % 7) - 1;
            int64_t x0 = int64_t(rng() % 45) - 4, x1 = int64_t(rng() % 45) - 4;
            writer.span(y, x0, x1);
            reference::span(slow.surface(), rop, colour, y, x0, x1);
        }
        ASSERT_EQ(fast.pixels(), slow.pixels());
        EXPECT_TRUE(fast.guard_intact());
    }
}

TEST(SpanWriterTest, HatchTilesAlignToTheSurfaceAndHonourTransparency)
{
    for (const BackgroundMode mode : {BackgroundMode::Opaque, BackgroundMode::Transparent}) {
        TestSurface s(10, 9, 7);
        Target t = s.target();
        t.background_colour = 0;
        t.background_mode = mode;
        Brush brush{BrushStyle::Hatch, kInk, HatchStyle::Cross};
        const SpanWriter writer(t, brush);
        for (int64_t y = 0; y < 9; ++y)
            writer.span(y, 3, 10);
        const char* bg = mode == BackgroundMode::Opaque ? "." : "o";
        std::string row;
        std::string picture;
        for (int y = 0; y < 9; ++y) {
            row = "ooo";
            for (int x = 3; x < 10; ++x)
                row += (y == 7 || x == 7) ? "#" : bg;
            picture += row + "\n";
        }
        EXPECT_TRUE(same_picture(picture, s.ascii({{0, '.'}, {7, 'o'}, {kInk, '#'}})));
    }
}

TEST(SpanWriterTest, PatternBrushPaintsZeroBitsInTextColour)
{
    TestSurface s(8, 2, 9);
    Target t = s.target();
    t.text_colour = kInk;
    t.background_colour = 0;
    t.background_mode = BackgroundMode::Transparent; // pattern brushes paint both colours anyway
    Brush brush{BrushStyle::Pattern};
    brush.pattern = {0xF0, 0x81};
    const SpanWriter writer(t, brush);
    writer.span(0, 0, 8);
    writer.span(1, 0, 8);
    EXPECT_TRUE(same_picture(art({"....####", ".######."}), s.ascii({{0, '.'}, {kInk, '#'}})));
}

} // namespace
} // namespace vexil::raster::testing
