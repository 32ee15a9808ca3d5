// SPDX-License-Identifier: MIT
// A virtual X server that a test starts for itself and stops when it ends.
#pragma once

#include <string>
#include <sys/types.h>

namespace vexil::e2e {

enum class SharedMemory : bool { Offered, Withheld };
// How clients reach the server: its Unix socket, or TCP as a remote display (or ssh) is reached.
enum class Transport : bool { Unix, Tcp };

// Starts Xvfb on a free display (the server picks it, so tests may run side by side), with one
// 1920 x 1080 screen of depth 24, and points DISPLAY at it. The server stops with the object.
class XvfbServer {
public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer();

    // False (with the reason in `error()`) when the server does not come up within 10 s.
    [[nodiscard]] bool start(SharedMemory shared_memory = SharedMemory::Offered, Transport transport = Transport::Unix);

    const std::string& display() const { return m_display; }
    const std::string& error() const { return m_error; }

private:
    pid_t m_pid = -1;
    std::string m_display;
    std::string m_error;
};

} // namespace vexil::e2e
