// SPDX-License-Identifier: MIT
// The driver, mode and error queries kept for old programs.
#include "fixture.h"

#include <cstdlib>
#include <cstring>

namespace vexil::graphics::testing {
namespace {

using CompatTest = WindowTest;

TEST(CompatTestWithoutWindow, DetectgraphNeedsNoWindow)
{
    int driver = -1;
    int mode = -1;
    detectgraph(&driver, &mode);
    EXPECT_EQ(driver, 9);
    EXPECT_EQ(mode, 2);
    EXPECT_STREQ(getdrivername(), "EGAVGA");
    EXPECT_EQ(getgraphmode(), 2);
    EXPECT_EQ(getmaxmode(), 2);
    EXPECT_EQ(getcurrentwindow(), NO_CURRENT_WINDOW);
}

TEST(CompatTestWithoutWindow, ErrorMessagesAreExactAndOnlyForKnownCodes)
{
    const char* const expected[16] = {
        "No error",
        "Graphics not installed",
        "Graphics hardware not detected",
        "Device driver not found",
        "Invalid device driver file",
        "Insufficient memory to load driver",
        "Out of memory in scan fill",
        "Out of memory in flood fill",
        "Font file not found",
        "Not enough meory to load font",
        "Invalid mode for selected driver",
        "Graphics error",
        "Graphics I/O error",
        "Invalid font file",
        "Invalid font number",
        "Invalid device number",
    };
    for (int code = 0; code >= -15; --code)
        EXPECT_STREQ(grapherrormsg(code), expected[-code]) << code;
    EXPECT_EQ(grapherrormsg(-16), nullptr);
    EXPECT_EQ(grapherrormsg(1), nullptr);
}

TEST_F(CompatTest, ModeNameGivesTheWindowSize)
{
    initwindow(1200, 900, "Windows Vexil", 0, 0, false, false);
    EXPECT_STREQ(getmodename(0), "1200*900 VGAHI");
    EXPECT_STREQ(getmodename(77), "1200*900 VGAHI");
}

TEST_F(CompatTest, ModeRangesByDriver)
{
    struct Case {
        int driver;
        int low;
        int high;
        int error;
    };
    const Case cases[] = {
        {CURRENT_DRIVER, 0, 2, grOk},
        {CGA, 0, 4, grOk},
        {MCGA, 0, 5, grOk},
        {EGA, 0, 1, grOk},
        {EGA64, 0, 1, grOk},
        {EGAMONO, 3, 3, grOk},
        {IBM8514, 0, 1, grOk},
        {HERCMONO, 0, 0, grOk},
        {ATT400, 0, 5, grOk},
        {VGA, 0, 2, grOk},
        {PC3270, 0, 0, grOk},
        {DETECT, -1, -1, grInvalidDriver},
        {11, -1, -1, grInvalidDriver},
        {-2, -1, -1, grInvalidDriver},
    };
    for (const Case& c : cases) {
        int low = 99;
        int high = 99;
        getmoderange(c.driver, &low, &high);
        EXPECT_EQ(low, c.low) << c.driver;
        EXPECT_EQ(high, c.high) << c.driver;
        EXPECT_EQ(graphresult(), c.error) << c.driver;
        EXPECT_EQ(graphresult(), grOk) << c.driver;
    }
}

TEST_F(CompatTest, AspectRatioIsKeptUntilTheDefaultsReturn)
{
    int x = 0;
    int y = 0;
    getaspectratio(&x, &y);
    EXPECT_EQ(x, 10000);
    EXPECT_EQ(y, 10000);
    setaspectratio(3, 4);
    getaspectratio(&x, &y);
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 4);
    setgraphmode(5);
    getaspectratio(&x, &y);
    EXPECT_EQ(x, 10000);
    EXPECT_EQ(y, 10000);
}

TEST_F(CompatTest, SetgraphmodeRestoresTheDefaultsAndClearsTheActivePage)
{
    setcolor(RED);
    setbkcolor(BLUE);
    setviewport(10, 10, 50, 50, 1);
    setfillstyle(99, RED);
    putpixel(0, 0, WHITE);
    setgraphmode(5);
    EXPECT_EQ(getcolor(), WHITE);
    EXPECT_EQ(getbkcolor(), BLACK);
    viewporttype viewport;
    getviewsettings(&viewport);
    EXPECT_EQ(viewport.left, 0);
    EXPECT_EQ(viewport.right, kWidth);
    EXPECT_EQ(viewport.clip, 0);
    EXPECT_EQ(graphresult(), grOk);
    EXPECT_EQ(active_pixel(10, 10), converttorgb(BLACK));
    EXPECT_EQ(getgraphmode(), 2);
}

} // namespace
} // namespace vexil::graphics::testing
