// SPDX-License-Identifier: MIT
// The test control of the headless backend: drive windows as a user would, and look at them.
#pragma once

/*
 * Windows are named by their HWND, as tests know them. Every input function queues native
 * events for the window's thread, in order, and returns at once (false for a window that does
 * not exist or an unknown key name); the window's thread receives them the next time it reads
 * its messages. To wait until it has handled them, use user::wait_until_idle (user/idle.h); to
 * see which messages reached a window procedure, user::start_message_log (user/message_log.h).
 *
 * Coordinates are surface coordinates: for a captioned window the client area's, for a
 * captionless one the whole window's, frame included. The headless desktop draws no
 * decorations, so the screen position of surface pixel (x, y) is the window's position plus
 * (x, y). Time stamps come from a clock of the backend's own that starts at 1000 ms and moves
 * on 1 ms with every event; advance_clock() lets two clicks be too far apart in time to make a
 * double click.
 */

#include "backend/backend.h"

#include <win32/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::backend::headless {

// Keys by X keysym name ("a", "Return", "F1", "KP_5", "Left", "space", "Menu", "Alt_L" ...),
// with the modifiers held (backend::Modifier bits; Num Lock and Caps Lock come from the
// keyboard's lock state, below, and need not be given).
bool press_key(HWND window, std::string_view name, uint32_t modifiers = 0); // down, then up
bool key_down(HWND window, std::string_view name, uint32_t modifiers = 0);  // a held key repeats
bool key_up(HWND window, std::string_view name, uint32_t modifiers = 0);
// A key by keysym with the character it types (0 for none), down then up.
bool press_keysym(HWND window, uint32_t keysym, uint32_t character, uint32_t modifiers = 0);

enum class Lock : uint8_t { Off, On };
void set_num_lock(Lock lock);
void set_caps_lock(Lock lock);
// Releases every key and button and turns the locks off, so each test starts alike.
void reset_input_devices();

bool move_mouse(HWND window, int32_t x, int32_t y);
bool mouse_down(HWND window, int32_t x, int32_t y, MouseButton button = MouseButton::Left);
bool mouse_up(HWND window, int32_t x, int32_t y, MouseButton button = MouseButton::Left);
bool click(HWND window, int32_t x, int32_t y, MouseButton button = MouseButton::Left); // down, then up
bool turn_wheel(HWND window, int32_t x, int32_t y, int32_t delta); // 120 per notch, away from the user
void advance_clock(uint32_t milliseconds);

// The desktop's close command (the close box, or WM_DELETE_WINDOW on X11).
bool request_close(HWND window);
bool expose(HWND window, raster::Box box);
bool change_focus(HWND window, Focus focus);

// Opens the window's system menu with the Menu key and chooses its `entry`-th entry that is
// not a separator (0 = Move, 1 = Minimize, 2 = Close, then the appended ones) with the arrow
// keys and Return, as a user would.
bool choose_system_menu_entry(HWND window, int entry);

struct WindowState {
    std::string title; // UTF-8
    WindowKind kind = WindowKind::Framed;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0; // of the surface
    int32_t height = 0;
    bool visible = false;
    bool minimized = false;
    Cursor cursor = Cursor::Arrow;
    int moves_started = 0;
    MoveStart last_move = MoveStart::Pointer;
    int presents = 0;
    HWND owner = nullptr; // for a popup: the window it belongs to
};

// What the desktop knows of a window, or nothing when it has no native window.
std::optional<WindowState> window_state(HWND window);
// The popup (the open system menu) that belongs to `owner`, or null.
HWND popup_of(HWND owner);

// The pixels the window shows: what it last presented, 0x00RRGGBB, rows of `width`.
struct Image {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
std::optional<Image> shown_image(HWND window);

void set_screen_size(int32_t width, int32_t height);

} // namespace vexil::backend::headless
