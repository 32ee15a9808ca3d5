// SPDX-License-Identifier: MIT
// Waiting for a window's thread to be idle.
#include "user/idle.h"

#include "user/message_queue.h"
#include "user/window.h"

#include <poll.h>
#include <time.h>

namespace vexil::user {

namespace {

bool readable(int fd)
{
    if (fd < 0)
        return false;
    pollfd entry = {fd, POLLIN, 0};
    return poll(&entry, 1, 0) > 0;
}

uint64_t now_ms()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

} // namespace

bool wait_until_idle(HWND window, uint32_t timeout_ms)
{
    MessageQueue* queue = nullptr;
    if (WindowRef ref = window_table().acquire(window))
        queue = ref->queue;
    if (!queue)
        return false;
    const uint64_t deadline = now_ms() + timeout_ms;
    for (;;) {
        // The descriptors first: once they are drained, the owner has left the wait, so an
        // idle flag seen afterwards was set after the work they announced.
        const bool quiet = !readable(queue->wake_fd()) && !readable(queue->backend_fd());
        if (quiet && queue->idle())
            return true;
        if (now_ms() >= deadline)
            return false;
        const timespec pause = {0, 500000};
        nanosleep(&pause, nullptr);
    }
}

} // namespace vexil::user
