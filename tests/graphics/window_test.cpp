// SPDX-License-Identifier: MIT
// Opening and closing windows: indices, the current window, failed windows, initgraph sizes,
// and the end of the process when no window is current.
#include "fixture.h"

#include "desktop/scripted.h"
#include "user/message_log.h"

#include <cstdlib>

namespace vexil::graphics::testing {
namespace {

TEST(WindowTest, NoCurrentWindowShowsTheMessageAndEndsWithStatusZero)
{
    use_threadsafe_death_tests();
    EXPECT_EQ(getcurrentwindow(), NO_CURRENT_WINDOW);
    EXPECT_EXIT(getmaxx(), ::testing::ExitedWithCode(0), kNoWindowPattern);
    EXPECT_EXIT(kbhit(), ::testing::ExitedWithCode(0), kNoWindowPattern);
    EXPECT_EXIT(graphresult(), ::testing::ExitedWithCode(0), kNoWindowPattern);
}

TEST(WindowTest, FirstWindowOfAProcessIsWindowZero)
{
    use_threadsafe_death_tests();
    EXPECT_EXIT(std::exit(initwindow(40, 30) == 0 && getcurrentwindow() == 0 ? 0 : 1), ::testing::ExitedWithCode(0),
                "");
}

TEST(WindowTest, IndicesAreNeverReusedAndTheNewWindowIsCurrent)
{
    const int first = initwindow(40, 30, "first", 0, 0, false, false);
    const int second = initwindow(40, 30, "second", 0, 0, false, false);
    ASSERT_GE(first, 0);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(getcurrentwindow(), second);

    closegraph(first);
    EXPECT_EQ(getcurrentwindow(), second);
    const int third = initwindow(40, 30, "third", 0, 0, false, false);
    EXPECT_EQ(third, second + 1);

    // Numbers that name no open window change nothing.
    for (const int ignored : {first, third + 1, third + 100, -4, -100}) {
        closegraph(ignored);
        setcurrentwindow(ignored);
        EXPECT_EQ(getcurrentwindow(), third) << ignored;
    }
    setcurrentwindow(second);
    EXPECT_EQ(getcurrentwindow(), second);

    closegraph(ALL_WINDOWS);
    EXPECT_EQ(getcurrentwindow(), NO_CURRENT_WINDOW);
    closegraph(CURRENT_WINDOW);
    closegraph(ALL_WINDOWS);
    EXPECT_EQ(getcurrentwindow(), NO_CURRENT_WINDOW);
}

TEST(WindowTest, ClosingTheCurrentWindowEndsLaterDrawingUntilAnotherIsMadeCurrent)
{
    use_threadsafe_death_tests();
    const int kept = initwindow(40, 30, "kept", 0, 0, false, false);
    initwindow(40, 30, "closed", 0, 0, false, false);
    closegraph(CURRENT_WINDOW);
    EXPECT_EQ(getcurrentwindow(), NO_CURRENT_WINDOW);
    // The other window's thread goes on painting while the process ends.
    EXPECT_EXIT(line(0, 0, 10, 10), ::testing::ExitedWithCode(0), kNoWindowPattern);

    setcurrentwindow(kept);
    line(0, 0, 10, 10);
    EXPECT_EQ(getpixel(5, 5), WHITE);
    closegraph(ALL_WINDOWS);
}

TEST(WindowTest, ClosedWindowIsReallyGone)
{
    const int index = initwindow(40, 30, "gone", 0, 0, false, false);
    const HWND hwnd = VEXIL__WindowTable[index];
    ASSERT_TRUE(IsWindow(hwnd));
    closegraph(index);
    // The window thread frees the record and ends; its window goes with it.
    for (int attempt = 0; attempt < 5000 && IsWindow(hwnd); ++attempt)
        Sleep(1);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(WindowTest, WindowWithoutPagesFailsAndChangesNothing)
{
    desktop::reset_scripted_provider();
    const int open = initwindow(40, 30, "open", 0, 0, false, false);
    struct Size {
        int width;
        int height;
    };
    // Too small for a page, negative, and far too large for memory.
    for (const Size size : {Size{0, 10}, Size{10, 0}, Size{-5, 10}, Size{1 << 20, 1 << 20}}) {
        EXPECT_EQ(initwindow(size.width, size.height, "failed"), -1) << size.width << " x " << size.height;
        const std::vector<desktop::RecordedBox> boxes = desktop::take_recorded_boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_FALSE(boxes[0].text.empty());
        EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(getcurrentwindow(), open);
        EXPECT_EQ(VEXIL__WindowCount, open + 1);
    }
    closegraph(ALL_WINDOWS);
}

TEST(WindowTest, WindowHasTheDrawingAreaItWasOpenedWith)
{
    initwindow(1200, 900, "Windows Vexil", 0, 0, false, true);
    RECT client;
    ASSERT_TRUE(GetClientRect(current_hwnd(), &client));
    EXPECT_EQ(client, (RECT{0, 0, 1200, 900}));
    EXPECT_EQ(getmaxx(), 1199);
    EXPECT_EQ(getmaxy(), 899);
    closegraph(ALL_WINDOWS);
}

TEST(WindowTest, SystemMenuOffersTheSaveAndPrintCommandsAfterItsOwn)
{
    initwindow(40, 30, "menu", 0, 0, false, false);
    const HWND hwnd = current_hwnd();
    user::start_message_log();
    // After Move, Minimize and Close: "Save image as...", then the three print widths.
    const WORD expected[4] = {4, 1, 2, 3};
    for (int entry = 0; entry < 4; ++entry) {
        ASSERT_TRUE(backend::headless::choose_system_menu_entry(hwnd, 3 + entry));
        ASSERT_TRUE(user::wait_until_idle(hwnd, 5000));
        int commands = 0;
        for (const user::LoggedMessage& logged : user::take_logged_messages(hwnd)) {
            // The system's own commands (opening the menu with a key) are not the library's.
            if (logged.message != WM_SYSCOMMAND || LOWORD(logged.wparam) >= 0xF000)
                continue;
            ++commands;
            EXPECT_EQ(LOWORD(logged.wparam), expected[entry]) << entry;
            EXPECT_EQ(logged.result, 0) << entry;
        }
        EXPECT_EQ(commands, 1) << entry;
    }
    user::stop_message_log();
    closegraph(ALL_WINDOWS);
}

TEST(WindowTest, InitgraphSizesTheWindowByDriverAndMode)
{
    struct Case {
        int driver;
        int mode;
        int written_driver;
        int written_mode;
        int width;
        int height;
        int error;
    };
    const Case cases[] = {
        {DETECT, 0, VGA, VGAHI, 640, 480, grOk},           {IBM8514, IBM8514HI, IBM8514, 1, 1024, 768, grOk},
        {HERCMONO, 0, HERCMONO, 0, 720, 348, grOk},        {PC3270, 7, PC3270, 7, 720, 350, grOk},
        {11, CGAHI, 11, CGAHI, 640, 200, grInvalidDriver}, {-3, 0, -3, 0, 320, 200, grInvalidDriver},
    };
    for (const Case& c : cases) {
        int driver = c.driver;
        int mode = c.mode;
        initgraph(&driver, &mode, "");
        EXPECT_EQ(driver, c.written_driver);
        EXPECT_EQ(mode, c.written_mode);
        EXPECT_EQ(getmaxx() + 1, c.width) << c.driver << ", " << c.mode;
        EXPECT_EQ(getmaxy() + 1, c.height) << c.driver << ", " << c.mode;
        EXPECT_EQ(graphresult(), c.error);
        EXPECT_EQ(graphresult(), grOk);
        closegraph(CURRENT_WINDOW);
    }
}

TEST(WindowTest, InitgraphWithAModeWithoutASizeOpensNothing)
{
    desktop::reset_scripted_provider();
    int driver = VGA;
    int mode = 3;
    initgraph(&driver, &mode, "");
    EXPECT_EQ(getcurrentwindow(), NO_CURRENT_WINDOW);
    EXPECT_EQ(desktop::take_recorded_boxes().size(), 1u);
}

} // namespace
} // namespace vexil::graphics::testing
