// SPDX-License-Identifier: MIT
// Colour values, the palette, the drawing and background colours, and reading pixels back.
#include "fixture.h"

#include <cstdlib>

namespace vexil::graphics::testing {
namespace {

using ColourTest = WindowTest;

TEST(ColourTestWithoutWindow, PaletteIsEmptyUntilTheFirstWindow)
{
    use_threadsafe_death_tests();
    EXPECT_EXIT(std::exit(converttorgb(WHITE) == 0 && COLOR(255, 255, 255) == 0x03FFFFFF ? 0 : 1),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(ColourTest, ColourValuesConvertToColorref)
{
    struct Case {
        int value;
        COLORREF rgb;
    };
    const Case cases[] = {
        {BLACK, 0x000000},      {BLUE, 0x800000},       {RED, 0x000080}, {LIGHTGRAY, 0xC0C0C0},
        {YELLOW, 0x00FFFF},     {WHITE, 0xFFFFFF},      {16, 0x000010},  {-1, 0xFFFFFF},
        {0x03030201, 0x030201}, {0x7F123456, 0x123456}, {20, 0x000014},
    };
    for (const Case& c : cases)
        EXPECT_EQ(converttorgb(c.value), c.rgb) << c.value;
}

TEST_F(ColourTest, ColorGivesPaletteIndicesWhereTheyMatch)
{
    struct Case {
        int red;
        int green;
        int blue;
        int value;
    };
    const Case cases[] = {
        {0, 0, 0, BLACK},      {255, 255, 255, WHITE},  {0, 0, 128, BLUE},      {128, 128, 255, LIGHTBLUE},
        {1, 2, 3, 0x03030201}, {257, 0, 0, 0x03000001}, {-1, 0, 0, 0x030000FF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(COLOR(c.red, c.green, c.blue), c.value) << c.red << ", " << c.green << ", " << c.blue;
    EXPECT_EQ(getmaxcolor(), 15);
}

TEST_F(ColourTest, DrawingColourIsKeptAsGivenAndDrawnConverted)
{
    setcolor(20);
    EXPECT_EQ(getcolor(), 20);
    line(0, 5, 10, 5);
    EXPECT_EQ(active_pixel(5, 5), COLORREF{0x000014});
    setbkcolor(0x03030201);
    EXPECT_EQ(getbkcolor(), 0x03030201);
    cleardevice();
    EXPECT_EQ(active_pixel(5, 5), COLORREF{0x030201});
}

TEST_F(ColourTest, GetpixelGivesColourValues)
{
    putpixel(1, 1, RED);
    putpixel(2, 2, COLOR(1, 2, 3));
    putpixel(3, 3, 0x000080);
    EXPECT_EQ(getpixel(1, 1), RED);
    EXPECT_EQ(getpixel(2, 2), 0x03030201);
    EXPECT_EQ(getpixel(3, 3), RED);
    EXPECT_EQ(getpixel(kWidth, 0), -1);
    EXPECT_EQ(getpixel(-1, 0), -1);
    setviewport(10, 10, 20, 20, 1);
    EXPECT_EQ(getpixel(10, 0), -1);
}

TEST_F(ColourTest, DisplayColourLeavesTheProbedPixelAsItWas)
{
    setviewport(30, 40, 60, 60, 0);
    putpixel(0, 0, COLOR(9, 8, 7));
    EXPECT_EQ(getdisplaycolor(COLOR(1, 2, 3)), 0x03030201);
    EXPECT_EQ(getdisplaycolor(LIGHTCYAN), LIGHTCYAN);
    EXPECT_EQ(getpixel(0, 0), 0x03070809);
}

} // namespace
} // namespace vexil::graphics::testing
