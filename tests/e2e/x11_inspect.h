// SPDX-License-Identifier: MIT
// What the end-to-end tests ask of the X server from outside the program: tools' output,
// a window's pixels, and the requests a window manager would send.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vexil::e2e {

// Runs a shell command and returns what it printed on standard output.
std::string run_command(const std::string& command);

// A number printed by xwininfo or xprop after `label` (e.g. "Width: "), or -1.
long field_after(const std::string& text, const std::string& label);

// True once `condition` holds, trying every few milliseconds for at most `timeout`.
bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

// The window's pixels as 0x00RRGGBB, row by row, read with GetImage on a connection of its own.
std::vector<uint32_t> window_pixels(uint32_t window, int width, int height);

// Sends WM_DELETE_WINDOW, as a window manager does when its close box is clicked.
void send_close_request(uint32_t window);

// The id of the first window whose WM_NAME is `title`, or 0, by xdotool's search.
uint32_t find_window_by_title(const std::string& title);

} // namespace vexil::e2e
