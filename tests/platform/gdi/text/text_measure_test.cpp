// SPDX-License-Identifier: MIT
// Tests of fonts and text measurement: cell heights, advances, invalid fonts and arguments.
#include "gdi/text/text.h"

#include <gtest/gtest.h>

#include <string>

namespace vexil::text {
namespace {

int64_t width_of(const Font& font, const std::string& text)
{
    Extent extent;
    EXPECT_EQ(measure(font, text.data(), text.size(), extent), Status::Ok);
    EXPECT_EQ(extent.height, font.height());
    return extent.width;
}

TEST(FontTest, StockRolesHaveTheirCellHeights)
{
    const struct {
        FontRole role;
        int32_t height;
    } cases[] = {{FontRole::Gui, 13}, {FontRole::System, 16}, {FontRole::Fixed, 16}};
    for (const auto& c : cases) {
        const Font font = default_font(c.role);
        ASSERT_TRUE(font.valid());
        EXPECT_EQ(font.height(), c.height);
        EXPECT_EQ(font.ascent() + font.descent(), font.height());
        EXPECT_GT(font.ascent(), font.descent());
        EXPECT_EQ(default_font(c.role).face(), font.face()) << "a stock font is loaded once";
    }
}

TEST(FontTest, HeightIsTheRequestedCellWithinRange)
{
    for (const int32_t height : {1, 2, 7, 13, 40, 300, kMaxCellHeight}) {
        const Font font = font_of_height(Family::Sans, height);
        ASSERT_TRUE(font.valid()) << height;
        EXPECT_EQ(font.height(), height);
        EXPECT_GE(font.descent(), 0);
    }
    for (const int32_t height : {0, -1, -2147483647 - 1, kMaxCellHeight + 1, 2147483647}) {
        EXPECT_FALSE(font_of_height(Family::Mono, height).valid()) << height;
    }
    EXPECT_EQ(font_of_height(Family::Sans, 13).face(), default_font(FontRole::Gui).face());
}

TEST(TextMeasureTest, WidthGrowsWithTheStringAndIsZeroWhenEmpty)
{
    const Font font = default_font(FontRole::Gui);
    EXPECT_EQ(width_of(font, ""), 0);
    std::string text;
    int64_t previous = 0;
    for (const char c : std::string("Save image as...")) {
        text += c;
        const int64_t width = width_of(font, text);
        EXPECT_GT(width, previous) << text;
        previous = width;
    }
    // Advances add up: the width of a concatenation is the sum of its parts.
    EXPECT_EQ(width_of(font, "Print 2\" wide"), width_of(font, "Print ") + width_of(font, "2\" wide"));
    EXPECT_GT(width_of(font_of_height(Family::Sans, 40), "Print"), width_of(font, "Print"));
}

TEST(TextMeasureTest, FixedPitchGivesEveryCharacterOneWidth)
{
    const Font font = default_font(FontRole::Fixed);
    const int64_t cell = width_of(font, "W");
    EXPECT_GT(cell, 0);
    EXPECT_EQ(width_of(font, "iiii"), 4 * cell);
    EXPECT_EQ(width_of(font, "MW.l"), 4 * cell);
}

TEST(TextMeasureTest, InvalidFontAndArgumentsFailWithZeroExtent)
{
    Extent extent{99, 99};
    EXPECT_EQ(measure(Font(), "abc", 3, extent), Status::NoFont);
    EXPECT_EQ(extent.width, 0);
    EXPECT_EQ(extent.height, 0);
    EXPECT_EQ(Font().height(), 0);
    EXPECT_EQ(Font().ascent(), 0);

    extent = {99, 99};
    EXPECT_EQ(measure(default_font(FontRole::Gui), nullptr, 3, extent), Status::InvalidArgument);
    EXPECT_EQ(extent.width, 0);
    EXPECT_EQ(measure(default_font(FontRole::Gui), nullptr, 0, extent), Status::Ok);
    EXPECT_EQ(extent.height, 13);
}

TEST(TextMeasureTest, EveryByteMeasuresAndUndefinedBytesHaveAWidth)
{
    const Font font = default_font(FontRole::System);
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    EXPECT_GT(width_of(font, all), 0);
    // 0x81 is not a Windows-1252 character: it takes the missing glyph's place, not nothing.
    EXPECT_GT(width_of(font, "\x81"), 0);
    EXPECT_EQ(width_of(font, "\x81"), width_of(font, "\x8D"));
    EXPECT_EQ(width_of(font, std::string(1, '\0')), width_of(font, "\x81"));
}

} // namespace
} // namespace vexil::text
