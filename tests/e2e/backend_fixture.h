// SPDX-License-Identifier: MIT
// A fixture for tests of the X11 backend itself: its own Xvfb, a connection, and the events
// pump() reported, gathered per kind.
#pragma once

#include "xvfb_server.h"

#include "backend/backend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

namespace vexil::e2e {

struct Reported {
    void* cookie;
};
struct ReportedKey : Reported {
    backend::KeyEvent event;
};
struct ReportedMouse : Reported {
    backend::MouseEvent event;
};
struct ReportedExpose : Reported {
    raster::Box box;
};
struct ReportedFocus : Reported {
    backend::Focus focus;
};

class RecordingSink final : public backend::EventSink {
public:
    void key(void* cookie, const backend::KeyEvent& event) override { keys.push_back({{cookie}, event}); }
    void mouse(void* cookie, const backend::MouseEvent& event) override { mice.push_back({{cookie}, event}); }
    void close_requested(void* cookie) override { closes.push_back({cookie}); }
    void exposed(void* cookie, raster::Box box) override { exposes.push_back({{cookie}, box}); }
    void focus_changed(void* cookie, backend::Focus focus) override { focuses.push_back({{cookie}, focus}); }

    std::vector<ReportedKey> keys;
    std::vector<ReportedMouse> mice;
    std::vector<Reported> closes;
    std::vector<ReportedExpose> exposes;
    std::vector<ReportedFocus> focuses;
};

class BackendTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The server's options; a test of the plain path withholds MIT-SHM.
    virtual SharedMemory shared_memory() const { return SharedMemory::Offered; }

    // Pumps the connection until `condition` holds, waiting on its descriptor; at most 5 s.
    bool pump_until(const std::function<bool()>& condition);
    // Pumps whatever arrives within `milliseconds`.
    void pump_for(int milliseconds);

    bool pump_until_deadline(const std::function<bool()>& condition, std::chrono::steady_clock::time_point deadline);

    // Creates and shows a window, and waits until it is on the screen (its first expose).
    backend::Window* open_window(backend::WindowSpec window_spec);

    // Waits until the server has handled every request the backend made, so that a client of
    // its own (a tool, a screenshot) sees their effect.
    void sync();

    // The X id of a backend window, for the tools.
    static uint32_t xid(backend::Window* window);

    XvfbServer m_server;
    backend::Connection* m_connection = nullptr;
    RecordingSink m_sink;
};

} // namespace vexil::e2e
