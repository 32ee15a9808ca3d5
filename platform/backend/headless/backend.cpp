// SPDX-License-Identifier: MIT
// The headless backend: the functions of backend.h on windows kept in memory.
#include "backend/headless/state.h"

#include "desktop/scripted.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <sys/eventfd.h>
#include <unistd.h>

namespace vexil::backend {

namespace {

constexpr uint32_t kDoubleClickTime = 500; // Windows' default, in milliseconds
constexpr int32_t kDoubleClickBox = 4;     // Windows' default SM_CXDOUBLECLK and SM_CYDOUBLECLK

void drain(int fd)
{
    uint64_t value = 0;
    [[maybe_unused]] ssize_t got = read(fd, &value, sizeof value);
}

} // namespace

Registry& registry()
{
    static Registry* s_registry = new Registry;
    return *s_registry;
}

Window* find_window_locked(const void* cookie)
{
    for (Window* window : registry().windows) {
        if (window->cookie == cookie)
            return window;
    }
    return nullptr;
}

bool inject(const void* cookie, PendingEvent event)
{
    Registry& all = registry();
    std::lock_guard guard(all.lock);
    Window* window = find_window_locked(cookie);
    if (!window)
        return false;
    event.cookie = window->cookie;
    Connection* connection = window->connection;
    std::lock_guard queue_guard(connection->lock);
    connection->events.push_back(event);
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(connection->event_fd, &one, sizeof one);
    return true;
}

Connection* open_connection()
{
    auto* connection = new (std::nothrow) Connection;
    if (!connection)
        return nullptr;
    connection->event_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (connection->event_fd < 0) {
        std::fputs("headless backend: no eventfd for a connection\n", stderr);
        delete connection;
        return nullptr;
    }
    return connection;
}

void close_connection(Connection* connection)
{
    Registry& all = registry();
    std::vector<Window*> left;
    {
        std::lock_guard guard(all.lock);
        for (Window* window : all.windows) {
            if (window->connection == connection)
                left.push_back(window);
        }
    }
    for (Window* window : left)
        destroy_window(window);
    close(connection->event_fd);
    delete connection;
}

int event_fd(Connection* connection)
{
    return connection->event_fd;
}

void pump(Connection* connection, EventSink& sink)
{
    std::deque<PendingEvent> events;
    {
        std::lock_guard guard(connection->lock);
        drain(connection->event_fd);
        events.swap(connection->events);
    }
    for (const PendingEvent& event : events) {
        {
            // Events of a window destroyed since they were injected are dropped.
            std::lock_guard guard(registry().lock);
            if (!find_window_locked(event.cookie))
                continue;
        }
        switch (event.kind) {
        case EventKind::Key:
            sink.key(event.cookie, event.key);
            break;
        case EventKind::Mouse:
            sink.mouse(event.cookie, event.mouse);
            break;
        case EventKind::Close:
            sink.close_requested(event.cookie);
            break;
        case EventKind::Expose:
            sink.exposed(event.cookie, event.box);
            break;
        case EventKind::Focus:
            sink.focus_changed(event.cookie, event.focus);
            break;
        }
    }
}

Window* create_window(Connection* connection, const WindowSpec& window_spec)
{
    if (window_spec.width < 1 || window_spec.height < 1)
        return nullptr;
    auto* window = new (std::nothrow) Window;
    if (!window)
        return nullptr;
    try {
        const size_t count = static_cast<size_t>(window_spec.width) * static_cast<size_t>(window_spec.height);
        window->pixels.assign(count, 0);
        window->shown.assign(count, 0);
        window->state.title = window_spec.title ? window_spec.title : "";
    } catch (...) {
        delete window;
        return nullptr;
    }
    window->connection = connection;
    window->cookie = window_spec.cookie;
    window->surface = {window->pixels.data(), window_spec.width, window_spec.height, window_spec.width};
    window->state.kind = window_spec.kind;
    window->state.left = window_spec.left;
    window->state.top = window_spec.top;
    window->state.width = window_spec.width;
    window->state.height = window_spec.height;
    window->state.owner = window_spec.owner ? static_cast<HWND>(window_spec.owner->cookie) : nullptr;
    Registry& all = registry();
    std::lock_guard guard(all.lock);
    try {
        all.windows.push_back(window);
    } catch (...) {
        delete window;
        return nullptr;
    }
    return window;
}

void destroy_window(Window* window)
{
    if (!window)
        return;
    {
        Registry& all = registry();
        std::lock_guard guard(all.lock);
        std::erase(all.windows, window);
    }
    delete window;
}

void show_window(Window* window, Visibility visibility)
{
    std::lock_guard guard(registry().lock);
    window->state.visible = visibility == Visibility::Shown;
    if (window->state.visible)
        window->state.minimized = false;
}

void minimize_window(Window* window)
{
    std::lock_guard guard(registry().lock);
    window->state.minimized = true;
}

void set_title(Window* window, const char* utf8_title)
{
    std::lock_guard guard(registry().lock);
    try {
        window->state.title = utf8_title ? utf8_title : "";
    } catch (...) {
        // NOTE: the old title stays when there is no memory for the new one.
    }
}

void move_window(Window* window, int32_t left, int32_t top)
{
    std::lock_guard guard(registry().lock);
    window->state.left = left;
    window->state.top = top;
}

void surface_origin(Window* window, int32_t* x, int32_t* y)
{
    std::lock_guard guard(registry().lock);
    *x = window->state.left;
    *y = window->state.top;
}

void begin_move(Window* window, MoveStart start, int32_t, int32_t)
{
    std::lock_guard guard(registry().lock);
    ++window->state.moves_started;
    window->state.last_move = start;
}

raster::Surface surface(Window* window)
{
    return window->surface;
}

void present(Window* window, raster::Box box)
{
    const raster::Surface& surface = window->surface;
    box.left = std::max(box.left, 0);
    box.top = std::max(box.top, 0);
    box.right = std::min(box.right, surface.width);
    box.bottom = std::min(box.bottom, surface.height);
    std::lock_guard guard(registry().lock);
    ++window->state.presents;
    for (int32_t y = box.top; y < box.bottom; ++y) {
        const uint32_t* from = surface.row(y);
        std::copy(from + box.left, from + std::max(box.left, box.right),
                  window->shown.begin() + static_cast<ptrdiff_t>(y) * surface.width + box.left);
    }
}

void set_cursor(Window* window, Cursor cursor)
{
    std::lock_guard guard(registry().lock);
    window->state.cursor = cursor;
}

void screen_size(int32_t* width, int32_t* height)
{
    Registry& all = registry();
    std::lock_guard guard(all.lock);
    *width = all.screen_width;
    *height = all.screen_height;
}

uint32_t double_click_time_ms()
{
    return kDoubleClickTime;
}

void double_click_size(int32_t* width, int32_t* height)
{
    *width = kDoubleClickBox;
    *height = kDoubleClickBox;
}

desktop::Provider& desktop_provider()
{
    return desktop::scripted_provider();
}

} // namespace vexil::backend
