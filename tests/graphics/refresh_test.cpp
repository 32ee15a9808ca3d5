// SPDX-License-Identifier: MIT
// Page access and the refresh policy: what each call has the window repaint, and the page lock.
#include "fixture.h"

namespace vexil::graphics::testing {
namespace {

using RefreshTest = WindowTest;

TEST_F(RefreshTest, AutomaticRefreshRepaintsWhatADrawingCallTouched)
{
    EXPECT_EQ(invalidated_by([] { line(10, 10, 20, 30); }), (RECT{10, 10, 21, 31}));
    EXPECT_EQ(invalidated_by([] { line(20, 30, 10, 10); }), (RECT{10, 10, 21, 31}));
    line(15, 15, 25, 15);
    EXPECT_EQ(shown_pixel(25, 15), converttorgb(WHITE));
}

TEST_F(RefreshTest, WithoutAutomaticRefreshOnlyWholeWindowRequestsRepaint)
{
    setrefreshingvexil(false);
    EXPECT_FALSE(getrefreshingvexil());
    EXPECT_EQ(invalidated_by([] { line(10, 10, 20, 30); }), RECT{});
    EXPECT_EQ(shown_pixel(15, 20), converttorgb(BLACK));
    EXPECT_EQ(invalidated_by(cleardevice), whole_window());
    EXPECT_EQ(invalidated_by(refreshallvexil), whole_window());
    EXPECT_EQ(invalidated_by([] { refreshvexil(1, 2, 3, 4); }), (RECT{1, 2, 3, 4}));
}

TEST_F(RefreshTest, ExplicitRefreshTakesCornersInAnyOrderWithoutTheFarEdges)
{
    EXPECT_EQ(invalidated_by([] { refreshvexil(10, 10, 10, 10); }), RECT{});
    EXPECT_EQ(invalidated_by([] { refreshvexil(20, 30, 10, 5); }), (RECT{10, 5, 20, 30}));
    EXPECT_EQ(invalidated_by([] { refreshvexil(10, 5, 20, 30); }), (RECT{10, 5, 20, 30}));
}

TEST_F(RefreshTest, NothingIsRepaintedWhileTheActivePageIsHidden)
{
    setactivepage(1);
    for (const bool refreshing : {true, false}) {
        setrefreshingvexil(refreshing);
        EXPECT_EQ(invalidated_by([] { line(10, 10, 20, 30); }), RECT{});
        EXPECT_EQ(invalidated_by([] { refreshvexil(0, 0, 50, 50); }), RECT{});
        EXPECT_EQ(invalidated_by(refreshallvexil), RECT{});
        EXPECT_EQ(invalidated_by(cleardevice), RECT{});
    }
}

TEST_F(RefreshTest, RefreshWindowTurnsViewportRectanglesIntoPageRectangles)
{
    setviewport(100, 50, 190, 140, 1);
    for (const bool refreshing : {true, false}) {
        setrefreshingvexil(refreshing);
        RECT rect{0, 0, 10, 10};
        const RECT invalidated = invalidated_by([&] { RefreshWindow(&rect); });
        EXPECT_EQ(rect, (RECT{100, 50, 110, 60}));
        EXPECT_EQ(invalidated, refreshing ? (RECT{100, 50, 110, 60}) : RECT{});
    }
    setrefreshingvexil(true);
    EXPECT_EQ(invalidated_by([] { putpixel(0, 0, WHITE); }), (RECT{100, 50, 101, 51}));
}

TEST_F(RefreshTest, PageLockIsTakenAgainByItsOwnerAndFreeAfterAsManyReleases)
{
    WindowData& window = current_window();
    const HDC first = VEXIL__GetWinvexilDC(nullptr);
    const HDC second = VEXIL__GetWinvexilDC(nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, window.hDC[0]);
    const auto free_elsewhere = [&] {
        struct Probe {
            HANDLE mutex;
            bool free;
        } probe{window.hMutex, false};
        const HANDLE thread = CreateThread(
            nullptr, 0,
            [](LPVOID parameter) -> DWORD {
                auto& p = *static_cast<Probe*>(parameter);
                p.free = WaitForSingleObject(p.mutex, 0) == WAIT_OBJECT_0;
                if (p.free)
                    ReleaseMutex(p.mutex);
                return 0;
            },
            &probe, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        return probe.free;
    };
    VEXIL__ReleaseWinvexilDC(nullptr);
    EXPECT_FALSE(free_elsewhere());
    VEXIL__ReleaseWinvexilDC(nullptr);
    EXPECT_TRUE(free_elsewhere());
}

TEST_F(RefreshTest, DrawingCallThatCannotHaveThePagesDrawsNothing)
{
    WindowData& window = current_window();
    struct Holder {
        HANDLE mutex;
        HANDLE taken;
        HANDLE done;
    } holder{window.hMutex, CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    const HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            auto& h = *static_cast<Holder*>(parameter);
            WaitForSingleObject(h.mutex, INFINITE);
            SetEvent(h.taken);
            WaitForSingleObject(h.done, INFINITE);
            ReleaseMutex(h.mutex);
            return 0;
        },
        &holder, 0, nullptr);
    WaitForSingleObject(holder.taken, INFINITE);
    // Waits out the page lock's time limit, then gives up without drawing.
    putpixel(5, 5, WHITE);
    SetEvent(holder.done);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(holder.taken);
    CloseHandle(holder.done);
    EXPECT_EQ(active_pixel(5, 5), converttorgb(BLACK));
    putpixel(6, 6, WHITE);
    EXPECT_EQ(active_pixel(6, 6), converttorgb(WHITE));
}

} // namespace
} // namespace vexil::graphics::testing
