// SPDX-License-Identifier: MIT
// The backend fixture: server, connection, and pumping with bounded waits.
#include "backend_fixture.h"

#include "backend/x11/connection.h"
#include "backend/x11/window.h"

#include <poll.h>

#include <chrono>
#include <cstdlib>

namespace vexil::e2e {

void BackendTest::SetUp()
{
    ASSERT_TRUE(m_server.start(shared_memory())) << m_server.error();
    m_connection = backend::open_connection();
    ASSERT_NE(m_connection, nullptr);
}

void BackendTest::TearDown()
{
    backend::close_connection(m_connection);
}

bool BackendTest::pump_until(const std::function<bool()>& condition)
{
    return pump_until_deadline(condition, std::chrono::steady_clock::now() + std::chrono::seconds(5));
}

void BackendTest::pump_for(int milliseconds)
{
    pump_until_deadline([] { return false; },
                        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds));
}

bool BackendTest::pump_until_deadline(const std::function<bool()>& condition,
                                      std::chrono::steady_clock::time_point deadline)
{
    backend::pump(m_connection, m_sink);
    while (!condition()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd readable = {backend::event_fd(m_connection), POLLIN, 0};
        poll(&readable, 1, static_cast<int>(left.count()));
        backend::pump(m_connection, m_sink);
    }
    return true;
}

backend::Window* BackendTest::open_window(backend::WindowSpec window_spec)
{
    backend::Window* window = backend::create_window(m_connection, window_spec);
    if (!window) {
        return nullptr;
    }
    backend::show_window(window, backend::Visibility::Shown);
    const size_t before = m_sink.exposes.size();
    pump_until([&] {
        for (size_t i = before; i < m_sink.exposes.size(); ++i) {
            if (m_sink.exposes[i].cookie == window_spec.cookie) {
                return true;
            }
        }
        return false;
    });
    return window;
}

void BackendTest::sync()
{
    xcb_connection_t* xcb = m_connection->xcb;
    std::free(xcb_get_input_focus_reply(xcb, xcb_get_input_focus(xcb), nullptr));
}

uint32_t BackendTest::xid(backend::Window* window)
{
    return window->id;
}

} // namespace vexil::e2e
