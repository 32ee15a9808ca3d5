// SPDX-License-Identifier: MIT
// Tests of text measurement and drawing.
#include "gdi/text/text.h"

#include <gtest/gtest.h>

namespace vexil::text {
namespace {

TEST(TextMeasureTest, EmptyStringIsZeroWide)
{
    Extent extent;
    ASSERT_EQ(measure(default_font(FontRole::Gui), "", 0, extent), Status::Ok);
    EXPECT_EQ(extent.width, 0);
    EXPECT_EQ(extent.height, 13);
}

} // namespace
} // namespace vexil::text
