// SPDX-License-Identifier: MIT
// Line styles and user patterns, fill styles and patterns, and write modes.
#include "fixture.h"

#include <vector>

namespace vexil::graphics::testing {
namespace {

using StyleTest = WindowTest;

std::vector<DWORD> lengths_of(unsigned pattern)
{
    setlinestyle(USERBIT_LINE, pattern, NORM_WIDTH);
    const DashPattern dashes = CreateUserStyle();
    return {dashes.lengths, dashes.lengths + dashes.count};
}

TEST_F(StyleTest, UserPatternsBecomeDashesThatRepeatEverySixteenPixels)
{
    struct Case {
        unsigned pattern;
        std::vector<DWORD> lengths;
    };
    const std::vector<DWORD> alternating = {0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2};
    const Case cases[] = {
        {0x00FF, {7, 9}},
        {0xFFFF, {15, 1}},
        {0x0F0F, {3, 5, 3, 5}},
        {0xF0F0, {3, 5, 3, 5}},
        {0x8001, {0, 15, 0, 1}},
        {0x8000, {0, 16}},
        {0x5555, alternating},
        {0xAAAA, alternating},
        {0x3333, {1, 3, 1, 3, 1, 3, 1, 3}},
        {0, {0, 16}},
        {1, {0, 16}},
        {0x0FF0, {7, 9}},
        {0x1234FFFF, {15, 1}},
    };
    for (const Case& c : cases) {
        const std::vector<DWORD> lengths = lengths_of(c.pattern);
        EXPECT_EQ(lengths, c.lengths) << std::hex << c.pattern;
        DWORD period = 0;
        for (const DWORD length : lengths)
            period += length;
        EXPECT_EQ(period, 16u) << std::hex << c.pattern;
    }
    linesettingstype settings;
    getlinesettings(&settings);
    EXPECT_EQ(settings.linestyle, USERBIT_LINE);
    EXPECT_EQ(settings.upattern, 0x1234FFFFu);
    EXPECT_EQ(settings.thickness, NORM_WIDTH);
}

TEST_F(StyleTest, UserPatternDrawsItsBitsAlongTheLine)
{
    setlinestyle(USERBIT_LINE, 0x00FF, NORM_WIDTH);
    line(0, 0, 47, 0);
    EXPECT_EQ(page_picture(0, converttorgb(WHITE), 0, 0, 48, 1), "########........########........########........\n");
    setlinestyle(DOTTED_LINE, 0, NORM_WIDTH);
    line(0, 2, 20, 2);
    EXPECT_EQ(page_picture(0, converttorgb(WHITE), 0, 2, 21, 3), "####...####...####...\n");
}

TEST_F(StyleTest, InvalidFillStylesSetTheErrorAndChangeNothing)
{
    setfillstyle(HATCH_FILL, GREEN);
    for (const int style : {13, -1, 1000}) {
        setfillstyle(style, RED);
        EXPECT_EQ(graphresult(), grError) << style;
        fillsettingstype fill;
        getfillsettings(&fill);
        EXPECT_EQ(fill.pattern, HATCH_FILL);
        EXPECT_EQ(fill.color, GREEN);
    }
    setfillstyle(USER_FILL, RED);
    EXPECT_EQ(graphresult(), grOk);
    fillsettingstype fill;
    getfillsettings(&fill);
    EXPECT_EQ(fill.pattern, HATCH_FILL);
    setfillstyle(SOLID_FILL, RED);
    getfillsettings(&fill);
    EXPECT_EQ(fill.pattern, SOLID_FILL);
    EXPECT_EQ(fill.color, RED);
}

TEST_F(StyleTest, EmptyFillPaintsTheBackgroundColourOfItsTime)
{
    setbkcolor(BLUE);
    setfillstyle(EMPTY_FILL, LIGHTBLUE);
    setbkcolor(GREEN);
    bar(0, 0, 4, 4);
    EXPECT_EQ(active_pixel(2, 2), converttorgb(BLUE));
    fillsettingstype fill;
    getfillsettings(&fill);
    EXPECT_EQ(fill.color, LIGHTBLUE);
}

TEST_F(StyleTest, PatternFillsPaintTheFillColourOnTheBackground)
{
    setbkcolor(BLUE);
    setfillstyle(INTERLEAVE_FILL, GREEN);
    bar(0, 0, 8, 4);
    // Rows 0x33 and 0xCC: 0 bits are the fill colour.
    EXPECT_EQ(page_picture(0, converttorgb(GREEN), 0, 0, 8, 4), "##..##..\n..##..##\n##..##..\n..##..##\n");
    EXPECT_EQ(page_picture(0, converttorgb(BLUE), 0, 0, 8, 1), "..##..##\n");
    EXPECT_EQ(GetTextColor(current_window().hDC[0]), converttorgb(WHITE));
}

TEST_F(StyleTest, UserFillPatternPaintsItsOneBitsInTheFillColour)
{
    const char pattern[8] = {'\x81', '\x42', '\x24', '\x18', '\x18', '\x24', '\x42', '\x81'};
    setfillpattern(pattern, RED);
    fillsettingstype fill;
    getfillsettings(&fill);
    EXPECT_EQ(fill.pattern, USER_FILL);
    EXPECT_EQ(fill.color, RED);
    char back[8] = {};
    getfillpattern(back);
    EXPECT_EQ(std::string(back, 8), std::string(pattern, 8));
    bar(0, 0, 8, 3);
    EXPECT_EQ(page_picture(0, converttorgb(RED), 0, 0, 8, 3), "#......#\n.#....#.\n..#..#..\n");
    // Every page got the pattern.
    setactivepage(2);
    bar(0, 0, 8, 1);
    EXPECT_EQ(page_picture(2, converttorgb(RED), 0, 0, 8, 1), "#......#\n");
}

TEST_F(StyleTest, XorWriteModeDrawnTwiceRestoresThePage)
{
    putpixel(5, 5, RED);
    setwritemode(XOR_PUT);
    setcolor(YELLOW);
    line(0, 5, 10, 5);
    EXPECT_EQ(active_pixel(5, 5), converttorgb(RED) ^ converttorgb(YELLOW));
    line(0, 5, 10, 5);
    EXPECT_EQ(active_pixel(5, 5), converttorgb(RED));
    EXPECT_EQ(active_pixel(0, 5), converttorgb(BLACK));
    setwritemode(2);
    line(0, 7, 10, 7);
    EXPECT_EQ(active_pixel(3, 7), converttorgb(YELLOW));
    setwritemode(COPY_PUT);
    line(0, 5, 10, 5);
    EXPECT_EQ(active_pixel(5, 5), converttorgb(YELLOW));
}

TEST_F(StyleTest, ThickLineIsAnOutlineAroundItsPath)
{
    setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
    line(10, 10, 20, 10);
    EXPECT_EQ(page_picture(0, converttorgb(WHITE), 8, 8, 23, 13), "...............\n"
                                                                  ".#############.\n"
                                                                  ".#############.\n"
                                                                  ".#############.\n"
                                                                  "...............\n");
}

} // namespace
} // namespace vexil::graphics::testing
