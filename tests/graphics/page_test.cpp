// SPDX-License-Identifier: MIT
// The four pages: page numbers, what the window shows, double buffering, and per-page brushes.
#include "fixture.h"

#include <climits>

namespace vexil::graphics::testing {
namespace {

using PageTest = WindowTest;

TEST_F(PageTest, PageNumbersOutsideZeroToThreeAreIgnored)
{
    setactivepage(2);
    setvisualpage(3);
    for (const int page : {4, -1, INT_MIN, INT_MAX}) {
        setactivepage(page);
        const RECT invalidated = invalidated_by([&] { setvisualpage(page); });
        EXPECT_EQ(getactivepage(), 2) << page;
        EXPECT_EQ(getvisualpage(), 3) << page;
        EXPECT_EQ(invalidated, RECT{}) << page;
    }
}

TEST_F(PageTest, SetVisualPageRepaintsTheWholeWindowEvenForTheShownPage)
{
    EXPECT_EQ(invalidated_by([] { setvisualpage(0); }), whole_window());
    EXPECT_EQ(invalidated_by([] { setactivepage(1); }), RECT{});
}

TEST_F(PageTest, SwapbuffersShowsThePageJustDrawn)
{
    struct Case {
        int active;
        int visual_after;
        int active_after;
    };
    for (const Case c : {Case{0, 0, 1}, Case{1, 1, 0}, Case{2, 1, 0}, Case{3, 1, 0}}) {
        setactivepage(c.active);
        EXPECT_EQ(invalidated_by(swapbuffers), whole_window());
        EXPECT_EQ(getvisualpage(), c.visual_after) << c.active;
        EXPECT_EQ(getactivepage(), c.active_after) << c.active;
    }
    setactivepage(0);
    swapbuffers();
    swapbuffers();
    EXPECT_EQ(getvisualpage(), 1);
    EXPECT_EQ(getactivepage(), 0);
}

TEST_F(PageTest, HiddenPageShowsOnlyOnceItIsMadeVisible)
{
    setactivepage(1);
    setfillstyle(SOLID_FILL, RED);
    bar(10, 10, 30, 30);
    EXPECT_EQ(shown_pixel(20, 20), converttorgb(BLACK));
    EXPECT_EQ(page_pixel(1, 20, 20), converttorgb(RED));
    EXPECT_EQ(page_pixel(0, 20, 20), converttorgb(BLACK));

    setvisualpage(1);
    EXPECT_EQ(shown_pixel(20, 20), converttorgb(RED));
    // The window shows the visual page whatever the active page is.
    setactivepage(2);
    setvisualpage(2);
    EXPECT_EQ(shown_pixel(20, 20), converttorgb(BLACK));
}

TEST_F(PageTest, SwapbuffersShowsADoubleBufferedPicture)
{
    initwindow(60, 40, "double", 0, 0, true, false);
    EXPECT_EQ(getvisualpage(), 0);
    EXPECT_EQ(getactivepage(), 1);
    putpixel(5, 5, YELLOW);
    EXPECT_EQ(shown_pixel(5, 5), converttorgb(BLACK));
    swapbuffers();
    EXPECT_EQ(shown_pixel(5, 5), converttorgb(YELLOW));
    EXPECT_EQ(getactivepage(), 0);
}

TEST_F(PageTest, FillStyleStaysWithThePageItWasSetOn)
{
    setactivepage(1);
    setfillstyle(SOLID_FILL, GREEN);
    setactivepage(0);
    bar(0, 0, 10, 10);
    // Page 0 keeps the white brush it was given when the window opened.
    EXPECT_EQ(page_pixel(0, 5, 5), converttorgb(WHITE));
    fillsettingstype fill;
    getfillsettings(&fill);
    EXPECT_EQ(fill.pattern, SOLID_FILL);
    EXPECT_EQ(fill.color, GREEN);
}

TEST_F(PageTest, EveryPageDrawsWithThePenOfTheLastColourAndLineSetting)
{
    setcolor(RED);
    line(0, 0, 9, 0);
    setlinestyle(DOTTED_LINE, 0, NORM_WIDTH);
    for (const int page : {1, 3, 0}) {
        setactivepage(page);
        line(0, 2, 10, 2);
        EXPECT_EQ(page_picture(page, converttorgb(RED), 0, 2, 11, 3), "####...####\n") << page;
    }
    EXPECT_EQ(page_picture(0, converttorgb(RED), 0, 0, 10, 1), "##########\n");
}

TEST_F(PageTest, EveryPageHasItsOwnCurrentPosition)
{
    moveto(10, 20);
    setactivepage(1);
    EXPECT_EQ(getx(), 0);
    moveto(30, 40);
    setactivepage(0);
    EXPECT_EQ(getx(), 10);
    EXPECT_EQ(gety(), 20);
}

} // namespace
} // namespace vexil::graphics::testing
