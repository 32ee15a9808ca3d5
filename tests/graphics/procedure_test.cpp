// SPDX-License-Identifier: MIT
// The window procedure: close requests, hit tests of captionless windows, and painting.
#include "fixture.h"

namespace vexil::graphics::testing {
namespace {

using ProcedureTest = WindowTest;

TEST_F(ProcedureTest, CloseRequestIsIgnoredWithoutTheCloseFlag)
{
    for (int request = 0; request < 3; ++request)
        EXPECT_EQ(SendMessageA(current_hwnd(), WM_CLOSE, 0, 0), 1);
    EXPECT_TRUE(IsWindow(current_hwnd()));
    EXPECT_EQ(getmaxx(), kWidth - 1);
}

TEST(ProcedureTestCloseFlag, CloseRequestEndsTheProcessEvenWhileDrawing)
{
    use_threadsafe_death_tests();
    EXPECT_EXIT(
        {
            initwindow(200, 150, "closes", 0, 0, false, true);
            PostMessageA(current_hwnd(), WM_CLOSE, 0, 0);
            // The window thread ends the process while this thread is inside drawing calls.
            for (int i = 0;; ++i) {
                setcolor(i);
                line(0, i % 150, 199, 149 - i % 150);
            }
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(ProcedureTest, FrameOfACaptionlessWindowDragsIt)
{
    initwindow(100, 80, "", 50, 60, false, false);
    const HWND hwnd = current_hwnd();
    // The outer corner is where the window was opened: hit tests take screen coordinates.
    const LPARAM on_frame = MAKELPARAM(50, 60);
    const LPARAM in_client =
        MAKELPARAM(50 + GetSystemMetrics(SM_CXFIXEDFRAME) + 10, 60 + GetSystemMetrics(SM_CYFIXEDFRAME) + 10);
    EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, on_frame), HTCAPTION);
    EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, in_client), HTCLIENT);
}

TEST_F(ProcedureTest, LeftDoubleClickIsAnsweredWithoutDefaultProcessing)
{
    EXPECT_EQ(SendMessageA(current_hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(3, 4)), 1);
}

TEST_F(ProcedureTest, RepaintShowsEveryPagePixelAtItsOwnPlaceWhateverTheViewport)
{
    putpixel(5, 6, LIGHTRED);
    setviewport(100, 50, 150, 100, 1);
    putpixel(0, 0, YELLOW);
    refreshallvexil();
    EXPECT_EQ(shown_pixel(100, 50), converttorgb(YELLOW));
    EXPECT_EQ(shown_pixel(5, 6), converttorgb(LIGHTRED));
    EXPECT_EQ(shown_pixel(0, 0), converttorgb(BLACK));
}

TEST_F(ProcedureTest, ClosegraphWaitsForADrawingCallThatHoldsThePages)
{
    WindowData& window = current_window();
    std::atomic<bool> released{false};
    const HANDLE taken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    struct Holder {
        WindowData* window;
        std::atomic<bool>* released;
        HANDLE taken;
    } holder{&window, &released, taken};
    const HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            auto& h = *static_cast<Holder*>(parameter);
            WaitForSingleObject(h.window->hMutex, INFINITE);
            SetEvent(h.taken);
            Sleep(100);
            h.released->store(true);
            ReleaseMutex(h.window->hMutex);
            return 0;
        },
        &holder, 0, nullptr);
    WaitForSingleObject(taken, INFINITE);
    closegraph(CURRENT_WINDOW);
    EXPECT_TRUE(released.load());
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(taken);
}

} // namespace
} // namespace vexil::graphics::testing
