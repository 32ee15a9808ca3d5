// SPDX-License-Identifier: MIT
// Launching Xvfb with -displayfd, which writes the display number it chose once it accepts clients.
#include "xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace vexil::e2e {

namespace {

constexpr int kStartTimeoutMs = 10'000;

// Waits up to `timeout_ms` for the child to end; true when it did.
bool reap(pid_t pid, int timeout_ms)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

} // namespace

XvfbServer::~XvfbServer()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        if (!reap(m_pid, 5000)) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
}

bool XvfbServer::start(SharedMemory shared_memory, Transport transport)
{
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) {
        m_error = "pipe() failed";
        return false;
    }
    fcntl(pipe_fds[0], F_SETFD, FD_CLOEXEC);
    const std::string fd_text = std::to_string(pipe_fds[1]);
    std::vector<const char*> argv = {
        "Xvfb", "-displayfd",   fd_text.c_str(), "-screen",
        "0",    "1920x1080x24", "-noreset",      transport == Transport::Tcp ? "-listen" : "-nolisten",
        "tcp"};
    if (shared_memory == SharedMemory::Withheld) {
        argv.push_back("-extension");
        argv.push_back("MIT-SHM");
    }
    argv.push_back(nullptr);

    m_pid = fork();
    if (m_pid == 0) {
        const int null_fd = open("/dev/null", O_WRONLY);
        dup2(null_fd, STDOUT_FILENO);
        dup2(null_fd, STDERR_FILENO);
        execvp(argv[0], const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    close(pipe_fds[1]);
    if (m_pid < 0) {
        close(pipe_fds[0]);
        m_error = "fork() failed";
        return false;
    }

    std::string number;
    pollfd readable = {pipe_fds[0], POLLIN, 0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (number.empty() || number.back() != '\n') {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        char buffer[16];
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        const ssize_t got = read(pipe_fds[0], buffer, sizeof(buffer));
        if (got <= 0) {
            break;
        }
        number.append(buffer, static_cast<size_t>(got));
    }
    close(pipe_fds[0]);
    if (number.empty() || number.back() != '\n') {
        m_error = "Xvfb did not start (is the xvfb package installed?)";
        return false;
    }
    number.pop_back();
    m_display = (transport == Transport::Tcp ? "127.0.0.1:" : ":") + number;
    setenv("DISPLAY", m_display.c_str(), 1);
    return true;
}

} // namespace vexil::e2e
