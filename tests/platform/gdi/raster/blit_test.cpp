// SPDX-License-Identifier: MIT
// BitBlt and StretchBlt: operations, clipping at any coordinates, overlap on one surface, mirroring.
#include "fixture.h"

#include "gdi/raster/blit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace vexil::raster::testing {
namespace {

// Source pixel values that differ per position, so a misplaced read shows.
uint32_t source_value(int32_t x, int32_t y)
{
    return uint32_t(0x00101010 + x * 0x000301 + y * 0x010003) & 0x00FFFFFF;
}

void paint_source(TestSurface& s)
{
    for (int32_t y = 0; y < s.height(); ++y)
        for (int32_t x = 0; x < s.width(); ++x)
            s.set(x, y, source_value(x, y));
}

TEST(BlitTest, EachOperationCombinesPerPixel)
{
    struct Case {
        BlitOp op;
        uint32_t (*expect)(uint32_t d, uint32_t s);
    };
    const Case cases[] = {
        {BlitOp::SrcCopy, [](uint32_t, uint32_t s) { return s; }},
        {BlitOp::SrcInvert, [](uint32_t d, uint32_t s) { return d ^ s; }},
        {BlitOp::SrcPaint, [](uint32_t d, uint32_t s) { return d | s; }},
        {BlitOp::SrcAnd, [](uint32_t d, uint32_t s) { return d & s; }},
        {BlitOp::NotSrcCopy, [](uint32_t, uint32_t s) { return ~s & 0xFFFFFFu; }},
        {BlitOp::DstInvert, [](uint32_t d, uint32_t) { return ~d & 0xFFFFFFu; }},
        {BlitOp::Blackness, [](uint32_t, uint32_t) { return 0u; }},
        {BlitOp::Whiteness, [](uint32_t, uint32_t) { return 0xFFFFFFu; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "op 0x" << std::hex << uint32_t(c.op));
        TestSurface src(9, 7);
        paint_source(src);
        TestSurface dst(12, 10, 0x00C3A5F0);
        blit(dst.surface(), dst.clip(), {2, 1}, 9, 7, src.surface(), {0, 0}, c.op);
        for (int32_t y = 0; y < 10; ++y)
            for (int32_t x = 0; x < 12; ++x) {
                const bool inside = x >= 2 && x < 11 && y >= 1 && y < 8;
                const uint32_t want = inside ? c.expect(0x00C3A5F0, source_value(x - 2, y - 1)) : 0x00C3A5F0;
                ASSERT_EQ(dst.at(x, y), want) << "at " << x << "," << y;
            }
        EXPECT_TRUE(dst.guard_intact());
    }
}

TEST(BlitTest, CopyWithinOneSurfaceReadsTheOldPixelsInEveryDirection)
{
    const Point64 shifts[] = {{3, 0}, {-3, 0}, {0, 2}, {0, -2}, {2, 3}, {-2, -3}, {3, -1}, {-1, 2}};
    for (const Point64 shift : shifts) {
        SCOPED_TRACE(::testing::Message() << "shift " << shift.x << "," << shift.y);
        TestSurface s(16, 12);
        paint_source(s);
        const std::vector<uint32_t> before = s.pixels();
        blit(s.surface(), s.clip(), {4 + shift.x, 3 + shift.y}, 8, 6, s.surface(), {4, 3}, BlitOp::SrcInvert);
        for (int32_t y = 0; y < 12; ++y)
            for (int32_t x = 0; x < 16; ++x) {
                const int64_t sx = x - shift.x, sy = y - shift.y;
                const bool inside = sx >= 4 && sx < 12 && sy >= 3 && sy < 9;
                const uint32_t old = before[size_t(y * 16 + x)];
                const uint32_t want = inside ? old ^ source_value(int32_t(sx), int32_t(sy)) : old;
                ASSERT_EQ(s.at(x, y), want) << "at " << x << "," << y;
            }
    }
}

TEST(BlitTest, HandlesCoordinatesFarOutsideTheSurface)
{
    TestSurface src(8, 8);
    paint_source(src);
    TestSurface dst(8, 8);
    const int64_t far = int64_t(1) << 40;
    blit(dst.surface(), dst.clip(), {-far, -far}, INT64_MAX, INT64_MAX, src.surface(), {0, 0}, BlitOp::SrcCopy);
    blit(dst.surface(), dst.clip(), {INT64_MAX - 2, 0}, INT64_MAX, 8, src.surface(), {0, 0}, BlitOp::Whiteness);
    blit(dst.surface(), dst.clip(), {0, 0}, 8, 8, src.surface(), {INT64_MIN, INT64_MIN}, BlitOp::SrcCopy);
    blit(dst.surface(), dst.clip(), {0, 0}, 8, 8, src.surface(), {int64_t(INT32_MAX) + 5, 0}, BlitOp::SrcCopy);
    EXPECT_EQ(dst.count(0), 64);
    // The source lies partly inside: only pixels with a source are written.
    blit(dst.surface(), dst.clip(), {int64_t(INT32_MIN) - 3, 0}, int64_t(1) << 33, 8, src.surface(),
         {int64_t(INT32_MIN) - 3 - 5, 0}, BlitOp::SrcCopy);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x)
            ASSERT_EQ(dst.at(x, y), x >= 5 ? source_value(x - 5, y) : 0u) << x << "," << y;
    EXPECT_TRUE(dst.guard_intact());
}

TEST(BlitTest, ClipsToEveryBoxOfTheList)
{
    TestSurface dst(10, 4);
    const Box boxes[] = {{0, 0, 3, 2}, {6, 1, 20, 3}, {-5, 3, 2, 9}};
    const ClipList clip(dst.surface(), boxes);
    blit(dst.surface(), clip, {-100, -100}, 1000, 1000, dst.surface(), {0, 0}, BlitOp::Whiteness);
    EXPECT_TRUE(same_picture(art({
                                 "###.......",
                                 "###...####",
                                 "......####",
                                 "##........",
                             }),
                             dst.ascii()));
    EXPECT_TRUE(dst.guard_intact());
}

TEST(StretchBlitTest, ScalesByNearestPixelAndMirrors)
{
    TestSurface src(3, 2);
    const uint32_t a = 1, b = 2, c = 3, d = 4, e = 5, f = 6;
    const uint32_t values[2][3] = {{a, b, c}, {d, e, f}};
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x)
            src.set(x, y, values[y][x]);
    const std::vector<std::pair<uint32_t, char>> legend = {{0, '.'}, {a, 'a'}, {b, 'b'}, {c, 'c'},
                                                           {d, 'd'}, {e, 'e'}, {f, 'f'}};
    struct Case {
        const char* name;
        Extent to;
        Extent from;
        std::string picture;
    };
    const Case cases[] = {
        {"double", {0, 0, 6, 4}, {0, 0, 3, 2}, art({"aabbcc", "aabbcc", "ddeeff", "ddeeff"})},
        {"mirror x", {6, 0, -6, 2}, {0, 0, 3, 2}, art({"ccbbaa", "ffeedd", "......", "......"})},
        {"mirror source y", {0, 0, 3, 2}, {0, 2, 3, -2}, art({"def...", "abc...", "......", "......"})},
        {"shrink", {0, 0, 2, 1}, {0, 0, 3, 2}, art({"df....", "......", "......", "......"})},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TestSurface dst(6, 4);
        stretch_blit(dst.surface(), dst.clip(), k.to, src.surface(), k.from, BlitOp::SrcCopy);
        EXPECT_TRUE(same_picture(k.picture, dst.ascii(legend)));
        EXPECT_TRUE(dst.guard_intact());
    }
}

TEST(StretchBlitTest, SurvivesHugeExtents)
{
    TestSurface src(4, 4);
    paint_source(src);
    TestSurface dst(8, 8);
    stretch_blit(dst.surface(), dst.clip(), {INT64_MIN / 2, INT64_MIN / 2, INT64_MAX, INT64_MAX}, src.surface(),
                 {0, 0, 4, 4}, BlitOp::SrcCopy);
    stretch_blit(dst.surface(), dst.clip(), {0, 0, 8, 8}, src.surface(), {INT64_MIN / 2, 0, INT64_MAX, 4},
                 BlitOp::SrcCopy);
    EXPECT_TRUE(dst.guard_intact());
}

} // namespace
} // namespace vexil::raster::testing
