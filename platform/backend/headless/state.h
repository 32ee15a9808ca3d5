// SPDX-License-Identifier: MIT
// The in-memory display of the headless backend: connections, windows and what they show.
#pragma once

/*
 * One Registry for the process holds every window, so the test thread can find a window by
 * its cookie (the HWND) and look at it while the window's thread works. The registry's lock
 * guards the list and each window's shown state; a connection's own lock guards its queue of
 * injected events. The surface belongs to the window's thread; present() copies from it to the
 * shown image, which is what tests read back, so a window that never presents shows nothing.
 *
 * The headless desktop draws no decorations: a window's surface starts at its outer corner.
 */

#include "backend/backend.h"
#include "backend/headless/control.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace vexil::backend {

enum class EventKind : uint8_t { Key, Mouse, Close, Expose, Focus };

struct PendingEvent {
    EventKind kind = EventKind::Key;
    void* cookie = nullptr;
    KeyEvent key;
    MouseEvent mouse;
    raster::Box box;
    Focus focus = Focus::Gained;
};

struct Connection {
    int event_fd = -1;
    std::mutex lock;
    std::deque<PendingEvent> events; // guarded by lock
};

struct Window {
    Connection* connection = nullptr;
    void* cookie = nullptr;
    std::vector<uint32_t> pixels; // the surface, written by the window's thread
    raster::Surface surface;

    // Guarded by the registry's lock.
    headless::WindowState state;
    std::vector<uint32_t> shown;
};

struct Registry {
    std::mutex lock;
    std::vector<Window*> windows;
    int32_t screen_width = 1920;
    int32_t screen_height = 1080;
};

// Made once and never destroyed, so exit() on any thread leaves it to the others.
Registry& registry();

// The window whose cookie is `cookie`, or null. Called with the registry's lock held.
Window* find_window_locked(const void* cookie);

// Queues an event for the window's thread and wakes it. False when the window is gone.
bool inject(const void* cookie, PendingEvent event);

} // namespace vexil::backend
