// SPDX-License-Identifier: MIT
// Opening and closing the thread's connection, and the descriptor its events wake poll() with.
#include "backend/x11/connection.h"

#include "backend/x11/screen.h"
#include "backend/x11/window.h"

#include <xcb/shm.h>

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace vexil::backend::x11 {

namespace {

// Each kind of trouble goes to standard error once per process, not once per window.
std::atomic<bool> s_failure_reported{false};
std::atomic<bool> s_keyboard_reported{false};

void report_once(std::atomic<bool>& reported, const char* text)
{
    if (!reported.exchange(true)) {
        std::fprintf(stderr, "vexil: %s\n", text);
    }
}

void report_failure(const char* reason)
{
    report_once(s_failure_reported, reason);
}

// A 24-bit TrueColor visual of 0x00RRGGBB pixels stored as 32-bit little-endian words: the
// layout of our surfaces. The root's visual is preferred; null when the screen has none.
const xcb_visualtype_t* find_xrgb_visual(const xcb_screen_t* screen)
{
    const xcb_visualtype_t* found = nullptr;
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem; xcb_depth_next(&depths)) {
        if (depths.data->depth != 24) {
            continue;
        }
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals)) {
            const xcb_visualtype_t* visual = visuals.data;
            if (visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR && visual->red_mask == 0xFF0000 &&
                visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF &&
                (!found || visual->visual_id == screen->root_visual)) {
                found = visual;
            }
        }
    }
    return found;
}

bool has_xrgb_image_format(const xcb_setup_t* setup)
{
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
        return false;
    }
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats)) {
        if (formats.data->depth == 24) {
            return formats.data->bits_per_pixel == 32;
        }
    }
    return false;
}

// Shared memory only works with a server on this machine. A Unix socket says so; over TCP the
// server may be far away, or behind ssh's forwarding, and attaching could even find another
// machine's segment of the same id.
bool is_local_socket(int fd)
{
    sockaddr_storage address = {};
    socklen_t length = sizeof(address);
    return getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0 && address.ss_family == AF_UNIX;
}

bool open_event_descriptors(Connection& connection)
{
    connection.epoll_fd = epoll_create1(EPOLL_CLOEXEC);
    connection.wake_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (connection.epoll_fd < 0 || connection.wake_fd < 0) {
        return false;
    }
    epoll_event socket_event = {};
    socket_event.events = EPOLLIN;
    epoll_event wake_event = socket_event;
    return epoll_ctl(connection.epoll_fd, EPOLL_CTL_ADD, xcb_get_file_descriptor(connection.xcb), &socket_event) == 0 &&
           epoll_ctl(connection.epoll_fd, EPOLL_CTL_ADD, connection.wake_fd, &wake_event) == 0;
}

// Everything after the connection itself; false with the reason reported.
bool set_up(Connection& connection, int screen_number)
{
    xcb_connection_t* xcb = connection.xcb;
    const xcb_setup_t* setup = xcb_get_setup(xcb);
    const xcb_screen_t* screen = screen_of(setup, screen_number);
    const xcb_visualtype_t* visual = screen ? find_xrgb_visual(screen) : nullptr;
    if (!visual || !has_xrgb_image_format(setup)) {
        report_failure("the X display offers no 24-bit TrueColor visual with 32-bit pixels");
        return false;
    }
    connection.root = screen->root;
    connection.screen_width = screen->width_in_pixels;
    connection.screen_height = screen->height_in_pixels;
    connection.visual = visual->visual_id;
    connection.colormap = screen->default_colormap;
    if (visual->visual_id != screen->root_visual) {
        connection.colormap = xcb_generate_id(xcb);
        connection.own_colormap = true;
        xcb_create_colormap(xcb, XCB_COLORMAP_ALLOC_NONE, connection.colormap, screen->root, visual->visual_id);
    }
    xcb_prefetch_extension_data(xcb, &xcb_shm_id);
    xcb_prefetch_maximum_request_length(xcb);
    connection.atoms = intern_atoms(xcb);
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(xcb, &xcb_shm_id);
    connection.shm_usable = shm && shm->present && is_local_socket(xcb_get_file_descriptor(xcb));
    connection.max_request_bytes = xcb_get_maximum_request_length(xcb) * 4;
    if (!connection.keyboard.open(xcb)) {
        report_once(s_keyboard_reported, "the X display has no usable XKB extension: keys are not reported");
    }
    // A pixmap of depth 24 gives the graphics context the depth of our windows even when the
    // root has another.
    const xcb_pixmap_t pixmap = xcb_generate_id(xcb);
    xcb_create_pixmap(xcb, 24, pixmap, screen->root, 1, 1);
    connection.gc = xcb_generate_id(xcb);
    const uint32_t no_exposures = 0;
    xcb_create_gc(xcb, connection.gc, pixmap, XCB_GC_GRAPHICS_EXPOSURES, &no_exposures);
    xcb_free_pixmap(xcb, pixmap);
    connection.cursors = create_cursors(xcb);
    if (!open_event_descriptors(connection)) {
        report_failure("cannot create the descriptors that wait for X events");
        return false;
    }
    remember_screen_size(connection.screen_width, connection.screen_height);
    wake_pump(connection);
    xcb_flush(xcb);
    return !xcb_connection_has_error(xcb);
}

void release(Connection* connection)
{
    if (connection->xcb && !xcb_connection_has_error(connection->xcb)) {
        free_cursors(connection->xcb, connection->cursors);
        if (connection->gc != 0) {
            xcb_free_gc(connection->xcb, connection->gc);
        }
        if (connection->own_colormap) {
            xcb_free_colormap(connection->xcb, connection->colormap);
        }
    }
    if (connection->epoll_fd >= 0) {
        close(connection->epoll_fd);
    }
    if (connection->wake_fd >= 0) {
        close(connection->wake_fd);
    }
    std::free(connection->held_event);
    // Safe on a connection that failed to open too: xcb hands out a static error object then.
    xcb_disconnect(connection->xcb);
    delete connection;
}

} // namespace

Window* find_window(const Connection& connection, xcb_window_t id)
{
    const auto found = std::find_if(connection.windows.begin(), connection.windows.end(),
                                    [id](const Window* window) { return window->id == id; });
    return found == connection.windows.end() ? nullptr : *found;
}

void wake_pump(const Connection& connection)
{
    const uint64_t one = 1;
    // A full counter is already readable, so a failed write loses nothing.
    static_cast<void>(write(connection.wake_fd, &one, sizeof(one)));
}

void send_to_root(const Connection& connection, const void* event, size_t size)
{
    // SendEvent always carries 32 bytes, whatever the size of the event's own structure.
    char wire[32] = {};
    std::memcpy(wire, event, std::min(size, sizeof(wire)));
    xcb_send_event(connection.xcb, 0, connection.root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, wire);
}

void send_client_message_to_root(const Connection& connection, xcb_window_t window, xcb_atom_t type,
                                 const uint32_t (&data)[5])
{
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(std::begin(data), std::end(data), message.data.data32);
    send_to_root(connection, &message, sizeof(message));
}

} // namespace vexil::backend::x11

namespace vexil::backend {

Connection* open_connection()
{
    auto* connection = new Connection;
    int screen_number = 0;
    connection->xcb = xcb_connect(nullptr, &screen_number);
    if (xcb_connection_has_error(connection->xcb)) {
        const char* display = std::getenv("DISPLAY");
        char reason[256];
        if (display && *display) {
            std::snprintf(reason, sizeof(reason), "cannot open the X display \"%s\"", display);
        } else {
            std::snprintf(reason, sizeof(reason), "no X display: DISPLAY is not set");
        }
        x11::report_failure(reason);
        x11::release(connection);
        return nullptr;
    }
    if (!x11::set_up(*connection, screen_number)) {
        x11::release(connection);
        return nullptr;
    }
    return connection;
}

void close_connection(Connection* connection)
{
    if (!connection) {
        return;
    }
    while (!connection->windows.empty()) {
        destroy_window(connection->windows.back());
    }
    x11::release(connection);
}

int event_fd(Connection* connection)
{
    return connection->epoll_fd;
}

} // namespace vexil::backend
