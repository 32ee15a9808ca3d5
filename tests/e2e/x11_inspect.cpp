// SPDX-License-Identifier: MIT
// Helpers reading the X server's state from outside the program under test.
#include "x11_inspect.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace vexil::e2e {

namespace {

struct XcbConnection {
    XcbConnection() : xcb(xcb_connect(nullptr, nullptr)) {}
    ~XcbConnection() { xcb_disconnect(xcb); }
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;
    xcb_connection_t* xcb;
};

xcb_atom_t intern(xcb_connection_t* xcb, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(xcb, xcb_intern_atom(xcb, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

} // namespace

std::string run_command(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return output;
    }
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        output.append(buffer, got);
    }
    pclose(pipe);
    return output;
}

long field_after(const std::string& text, const std::string& label)
{
    const size_t at = text.find(label);
    if (at == std::string::npos) {
        return -1;
    }
    return std::strtol(text.c_str() + at + label.size(), nullptr, 0);
}

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::vector<uint32_t> window_pixels(uint32_t window, int width, int height)
{
    XcbConnection connection;
    std::vector<uint32_t> pixels;
    xcb_get_image_reply_t* reply =
        xcb_get_image_reply(connection.xcb,
                            xcb_get_image(connection.xcb, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                          static_cast<uint16_t>(width), static_cast<uint16_t>(height), UINT32_MAX),
                            nullptr);
    if (reply && static_cast<size_t>(xcb_get_image_data_length(reply)) ==
                     static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
        const auto* data = reinterpret_cast<const uint32_t*>(xcb_get_image_data(reply));
        pixels.assign(data, data + static_cast<size_t>(width) * static_cast<size_t>(height));
        for (uint32_t& pixel : pixels) {
            pixel &= 0x00FFFFFF; // the padding byte of a depth-24 pixel is undefined
        }
    }
    std::free(reply);
    return pixels;
}

void send_close_request(uint32_t window)
{
    XcbConnection connection;
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = intern(connection.xcb, "WM_PROTOCOLS");
    message.data.data32[0] = intern(connection.xcb, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection.xcb, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    free(xcb_get_input_focus_reply(connection.xcb, xcb_get_input_focus(connection.xcb), nullptr));
}

uint32_t find_window_by_title(const std::string& title)
{
    const std::string output = run_command("xdotool search --name '^" + title + "$' 2>/dev/null");
    return static_cast<uint32_t>(std::strtoul(output.c_str(), nullptr, 10));
}

} // namespace vexil::e2e
