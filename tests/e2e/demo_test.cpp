// SPDX-License-Identifier: MIT
// The demonstration program on a virtual X server: its window, the bands it draws, and how it ends.
#include "x11_inspect.h"
#include "xvfb_server.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace vexil::e2e {
namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 900;

// The colour the program draws line n (0 to 9890) in, as 0x00RRGGBB: colour values 5, 10 and
// 15 are palette entries; every later value is a direct colour, red its low byte, green the next.
uint32_t expected_line_colour(int n)
{
    const int value = 5 * (n + 1);
    switch (value) {
    case 5:
        return 0x800080; // magenta
    case 10:
        return 0x80FF80; // light green
    case 15:
        return 0xFFFFFF; // white
    default:
        return static_cast<uint32_t>(value & 0xFF) << 16 | static_cast<uint32_t>((value >> 8) & 0xFF) << 8;
    }
}

// Where the bands' lines are: 1099 per band at x = 11 ... 1109, the band from y = 20 + 100·row to 80 + 100·row.
bool on_a_line(int x, int y, int& n)
{
    if (x < 11 || x > 1109 || y < 20 || y % 100 < 20 || y % 100 > 80 || y > 880)
        return false;
    n = (y / 100) * 1099 + (x - 11);
    return true;
}

class DemoTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.start()) << m_server.error(); }
    void TearDown() override
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    // Starts the program and waits for its window; 0 when it does not appear.
    uint32_t start_demo()
    {
        char* argv[] = {const_cast<char*>(VEXIL_DEMO_PATH), nullptr};
        if (posix_spawn(&m_pid, VEXIL_DEMO_PATH, nullptr, nullptr, argv, environ) != 0)
            return 0;
        uint32_t window = 0;
        eventually([&] { return (window = find_window_by_title("Windows Vexil")) != 0; });
        // The window has its name before it is mapped; keys can only be typed into it once it shows.
        const std::string id = std::to_string(window);
        eventually([&] { return run_command("xwininfo -id " + id).find("IsViewable") != std::string::npos; });
        return window;
    }

    // The program's exit status once it ended within 5 s, or -1.
    int exit_status()
    {
        int status = 0;
        const bool ended = eventually([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; });
        if (!ended)
            return -1;
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // Lets the bands finish and the window repaint them: the last line's lowest pixel is drawn.
    std::vector<uint32_t> finished_picture(uint32_t window)
    {
        std::vector<uint32_t> pixels;
        eventually([&] {
            pixels = window_pixels(window, kWidth, kHeight);
            return pixels.size() == size_t{kWidth} * kHeight &&
                   pixels[size_t{880} * kWidth + 1109] == expected_line_colour(9890);
        });
        return pixels;
    }

    void type_key(uint32_t window)
    {
        run_command("xdotool windowfocus --sync " + std::to_string(window) + " key --clearmodifiers space");
    }

    XvfbServer m_server;
    pid_t m_pid = -1;
};

TEST_F(DemoTest, WindowIsCaptionedAndHasTheDrawingAreaItAskedFor)
{
    const uint32_t window = start_demo();
    ASSERT_NE(window, 0u);
    const std::string info = run_command("xwininfo -id " + std::to_string(window));
    EXPECT_EQ(field_after(info, "Width: "), kWidth);
    EXPECT_EQ(field_after(info, "Height: "), kHeight);
    type_key(window);
    EXPECT_EQ(exit_status(), 0);
}

TEST_F(DemoTest, EveryLineOfEveryBandHasItsColour)
{
    const uint32_t window = start_demo();
    ASSERT_NE(window, 0u);
    const std::vector<uint32_t> pixels = finished_picture(window);
    ASSERT_EQ(pixels.size(), size_t{kWidth} * kHeight);
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            int n = 0;
            const uint32_t expected = on_a_line(x, y, n) ? expected_line_colour(n) : 0;
            const uint32_t shown = pixels[size_t(y) * kWidth + x];
            if (shown != expected && ++wrong <= 10)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << shown << ", not " << expected;
        }
    }
    EXPECT_EQ(wrong, 0);
    type_key(window);
    EXPECT_EQ(exit_status(), 0);
}

TEST_F(DemoTest, KeyTypedWhileDrawingEndsTheProgramOnceTheBandsAreDrawn)
{
    const uint32_t window = start_demo();
    ASSERT_NE(window, 0u);
    type_key(window);
    EXPECT_EQ(exit_status(), 0);
}

TEST_F(DemoTest, CloseBoxEndsTheProgramWithStatusZero)
{
    const uint32_t window = start_demo();
    ASSERT_NE(window, 0u);
    send_close_request(window);
    EXPECT_EQ(exit_status(), 0);
}

} // namespace
} // namespace vexil::e2e
