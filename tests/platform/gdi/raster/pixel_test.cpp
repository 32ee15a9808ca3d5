// SPDX-License-Identifier: MIT
// SetPixel and GetPixel: the clip decides, the ROP2 does not apply, and far points are simply outside.
#include "fixture.h"

#include "gdi/raster/pixel.h"

#include <gtest/gtest.h>

namespace vexil::raster::testing {
namespace {

TEST(PixelTest, SetsAndReadsOnlyInsideTheClip)
{
    TestSurface s(6, 4, 0x00123456);
    const Box boxes[] = {{0, 0, 3, 4}};
    const ClipList clip(s.surface(), boxes);
    EXPECT_TRUE(set_pixel(s.surface(), clip, {2, 3}, 0xFF00FF00)); // the top byte is not colour
    EXPECT_FALSE(set_pixel(s.surface(), clip, {3, 0}, kInk));
    EXPECT_EQ(s.at(2, 3), 0x0000FF00u);
    EXPECT_EQ(s.at(3, 0), 0x00123456u);
    EXPECT_EQ(get_pixel(s.surface(), clip, {2, 3}), 0x0000FF00u);
    EXPECT_EQ(get_pixel(s.surface(), clip, {4, 1}), std::nullopt);
    for (const Point64 far : {Point64{-1, 0}, Point64{0, 4}, Point64{INT64_MIN, 0}, Point64{int64_t(1) << 32, 0}}) {
        EXPECT_EQ(get_pixel(s.surface(), s.clip(), far), std::nullopt);
        EXPECT_FALSE(set_pixel(s.surface(), s.clip(), far, kInk));
    }
    EXPECT_TRUE(s.guard_intact());
}

} // namespace
} // namespace vexil::raster::testing
