// SPDX-License-Identifier: MIT
// The headless backend's honest state: events reach the connection's sink in order, only live
// windows get them, and a window shows only what it presented.
#include "backend/headless/control.h"
#include "backend/headless/state.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <vector>

namespace vexil::backend {
namespace {

struct RecordingSink final : EventSink {
    std::vector<EventKind> kinds;
    std::vector<KeyEvent> keys;
    void key(void*, const KeyEvent& event) override
    {
        kinds.push_back(EventKind::Key);
        keys.push_back(event);
    }
    void mouse(void*, const MouseEvent&) override { kinds.push_back(EventKind::Mouse); }
    void close_requested(void*) override { kinds.push_back(EventKind::Close); }
    void exposed(void*, raster::Box) override { kinds.push_back(EventKind::Expose); }
    void focus_changed(void*, Focus) override { kinds.push_back(EventKind::Focus); }
};

bool readable(int fd)
{
    pollfd entry = {fd, POLLIN, 0};
    return poll(&entry, 1, 0) > 0;
}

class HeadlessBackendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::reset_input_devices();
        m_connection = open_connection();
        ASSERT_NE(m_connection, nullptr);
        WindowSpec window_spec;
        window_spec.width = 4;
        window_spec.height = 3;
        window_spec.cookie = m_cookie;
        m_window = create_window(m_connection, window_spec);
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override { close_connection(m_connection); }

    HWND cookie() const { return reinterpret_cast<HWND>(m_cookie); }

    int m_marker = 0;
    void* m_cookie = &m_marker;
    Connection* m_connection = nullptr;
    Window* m_window = nullptr;
};

TEST_F(HeadlessBackendTest, InjectedEventsWakeAndArriveInOrder)
{
    EXPECT_FALSE(readable(event_fd(m_connection)));
    ASSERT_TRUE(headless::key_down(cookie(), "q"));
    ASSERT_TRUE(headless::key_down(cookie(), "q"));
    ASSERT_TRUE(headless::key_up(cookie(), "q"));
    ASSERT_TRUE(headless::click(cookie(), 1, 1));
    ASSERT_TRUE(headless::request_close(cookie()));
    EXPECT_TRUE(readable(event_fd(m_connection)));
    RecordingSink sink;
    pump(m_connection, sink);
    EXPECT_FALSE(readable(event_fd(m_connection)));
    const std::vector<EventKind> expected = {EventKind::Key,   EventKind::Key,   EventKind::Key,
                                             EventKind::Mouse, EventKind::Mouse, EventKind::Close};
    EXPECT_EQ(sink.kinds, expected);
    ASSERT_EQ(sink.keys.size(), 3u);
    EXPECT_EQ(sink.keys[0].action, KeyAction::Press);
    EXPECT_EQ(sink.keys[1].action, KeyAction::Repeat);
    EXPECT_EQ(sink.keys[2].action, KeyAction::Release);
    EXPECT_EQ(sink.keys[2].character, 0u);
    EXPECT_LT(sink.keys[0].time_ms, sink.keys[1].time_ms);
}

TEST_F(HeadlessBackendTest, DestroyedWindowsGetNoEvents)
{
    ASSERT_TRUE(headless::press_key(cookie(), "a"));
    destroy_window(m_window);
    EXPECT_FALSE(headless::press_key(cookie(), "a"));
    RecordingSink sink;
    pump(m_connection, sink);
    EXPECT_TRUE(sink.kinds.empty());
    EXPECT_FALSE(headless::window_state(cookie()));
}

TEST_F(HeadlessBackendTest, ShowsOnlyWhatWasPresented)
{
    raster::Surface pixels = surface(m_window);
    ASSERT_EQ(pixels.width, 4);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 4; ++x)
            pixels.row(y)[x] = 0x112233;
    present(m_window, {1, 1, 3, 9}); // reaches past the bottom: cut to the surface
    const std::optional<headless::Image> image = headless::shown_image(cookie());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->at(0, 0), 0u);
    EXPECT_EQ(image->at(1, 1), 0x112233u);
    EXPECT_EQ(image->at(2, 2), 0x112233u);
    EXPECT_EQ(image->at(3, 2), 0u);
    EXPECT_EQ(headless::window_state(cookie())->presents, 1);
}

} // namespace
} // namespace vexil::backend
