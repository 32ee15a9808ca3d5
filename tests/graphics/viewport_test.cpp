// SPDX-License-Identifier: MIT
// The viewport and its clipping, the current position, clearing, defaults and size queries.
#include "fixture.h"

#include <cstdlib>

namespace vexil::graphics::testing {
namespace {

using ViewportTest = WindowTest;

TEST_F(ViewportTest, NewWindowHasTheWholePageAsViewport)
{
    viewporttype viewport;
    getviewsettings(&viewport);
    EXPECT_EQ(viewport.left, 0);
    EXPECT_EQ(viewport.top, 0);
    EXPECT_EQ(viewport.right, kWidth);
    EXPECT_EQ(viewport.bottom, kHeight);
    EXPECT_EQ(viewport.clip, 0);
    EXPECT_EQ(getx(), 0);
    EXPECT_EQ(gety(), 0);
    EXPECT_EQ(getmaxx(), kWidth - 1);
    EXPECT_EQ(getmaxy(), kHeight - 1);
}

TEST_F(ViewportTest, ViewportMovesTheOriginAndClips)
{
    moveto(7, 8);
    setviewport(100, 50, 150, 100, 1);
    EXPECT_EQ(getx(), 0);
    EXPECT_EQ(gety(), 0);
    struct Case {
        int x;
        int y;
        bool painted;
        int page_x;
        int page_y;
    };
    const Case cases[] = {
        {0, 0, true, 100, 50},  {49, 49, true, 149, 99}, {50, 0, false, 150, 50},
        {-1, 0, false, 99, 50}, {0, -1, false, 100, 49}, {0, 50, false, 100, 100},
    };
    for (const Case& c : cases) {
        putpixel(c.x, c.y, YELLOW);
        EXPECT_EQ(page_pixel(0, c.page_x, c.page_y) == converttorgb(YELLOW), c.painted) << c.x << ", " << c.y;
    }
    setviewport(100, 50, 150, 100, 0);
    putpixel(-100, -50, YELLOW);
    EXPECT_EQ(page_pixel(0, 0, 0), converttorgb(YELLOW));
}

TEST_F(ViewportTest, ClearviewportPaintsOnlyTheViewport)
{
    setbkcolor(BLUE);
    setviewport(10, 20, 30, 25, 1);
    moveto(3, 3);
    EXPECT_EQ(invalidated_by(clearviewport), whole_window());
    EXPECT_EQ(page_picture(0, converttorgb(BLUE), 8, 19, 32, 26), "........................\n"
                                                                  "..####################..\n"
                                                                  "..####################..\n"
                                                                  "..####################..\n"
                                                                  "..####################..\n"
                                                                  "..####################..\n"
                                                                  "........................\n");
    EXPECT_EQ(getx(), 0);
    EXPECT_EQ(gety(), 0);
}

TEST_F(ViewportTest, CleardevicePaintsTheWholePageWhateverTheViewport)
{
    struct Case {
        int left;
        int top;
    };
    int colour = 1;
    for (const Case c : {Case{100, 50}, Case{-40, -30}, Case{0, 0}}) {
        setbkcolor(colour);
        setviewport(c.left, c.top, c.left + 20, c.top + 20, 1);
        cleardevice();
        const std::string page = page_picture(0, converttorgb(colour), 0, 0, kWidth, kHeight);
        EXPECT_EQ(page.find('.'), std::string::npos) << c.left << ", " << c.top;
        EXPECT_EQ(getx(), -c.left);
        EXPECT_EQ(gety(), -c.top);
        // The clipping is back: a pixel outside the viewport stays.
        putpixel(25, 0, WHITE);
        EXPECT_EQ(getpixel(25, 0), -1);
        ++colour;
    }
}

TEST_F(ViewportTest, MoverelMovesTheActivePagePosition)
{
    moveto(10, 10);
    moverel(5, -3);
    EXPECT_EQ(getx(), 15);
    EXPECT_EQ(gety(), 7);
    setactivepage(1);
    EXPECT_EQ(getx(), 0);
}

TEST_F(ViewportTest, WindowSizesCountTheFrameAndTheCaption)
{
    const int frame_x = GetSystemMetrics(SM_CXDLGFRAME);
    const int frame_y = GetSystemMetrics(SM_CYDLGFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(getwindowwidth(), kWidth + 2 * frame_x);
    EXPECT_EQ(getwindowheight(), kHeight + caption + 2 * frame_y);
    initwindow(30, 20, "", 0, 0, false, false);
    EXPECT_EQ(getwindowheight(), 20 + caption + 2 * frame_y);
    EXPECT_EQ(getmaxwidth(), GetSystemMetrics(SM_CXSCREEN) - 2 * frame_x);
    EXPECT_EQ(getmaxheight(), GetSystemMetrics(SM_CYSCREEN) - caption - 2 * frame_y);
}

TEST(ViewportTestWithoutWindow, DelayAndScreenSizesNeedNoWindow)
{
    delay(1);
    delay(-5);
    EXPECT_GT(getmaxwidth(), 0);
    EXPECT_GT(getmaxheight(), 0);
    EXPECT_EQ(getcurrentwindow(), NO_CURRENT_WINDOW);
}

TEST_F(ViewportTest, DefaultsBringBackTheStockPenUntilTheNextColour)
{
    setcolor(RED);
    graphdefaults();
    // The stock pen leaves out the last point of a line; the library's pens include it.
    line(0, 0, 10, 0);
    EXPECT_EQ(page_picture(0, converttorgb(WHITE), 0, 0, 11, 1), "##########.\n");
    setcolor(WHITE);
    line(0, 1, 10, 1);
    EXPECT_EQ(page_picture(0, converttorgb(WHITE), 0, 1, 11, 2), "###########\n");
}

} // namespace
} // namespace vexil::graphics::testing
