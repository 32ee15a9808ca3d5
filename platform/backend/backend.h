// SPDX-License-Identifier: MIT
// The function list every display backend implements once (x11/, headless/); the link picks one.
#pragma once

/*
 * USER is the only caller. Every function but the process-wide queries (screen_size,
 * double_click_*, desktop_provider) is called on the GUI thread that opened the connection,
 * and the backend calls back into USER only from pump(), on that same thread.
 *
 * Coordinates. A native window shows one surface of 32-bit pixels (0x00RRGGBB) that the
 * backend allocates and keeps for the window's life; its size never changes. Mouse events
 * are in surface coordinates, with the screen coordinates beside them. For a Framed window
 * the surface is the client area and the desktop draws caption and frame around it; a Bare
 * or Popup window is all surface, and USER draws whatever frame it has into the surface.
 *
 * Keys. A key event carries the keysym that the keyboard's layout gives with the modifiers
 * and lock states in force (X11 keysym values: with Num Lock on, keypad 5 is XK_KP_5; with
 * it off, XK_KP_Begin), the Unicode character the key types (0 for none; control keys type
 * control characters: Return 13, BackSpace 8, Tab 9, Escape 27, Control+A 1), and the
 * modifiers held when the key went down, not counting the key itself, and the key's PC scan
 * code (set 1) where the backend knows the key's position. USER maps keysyms to virtual keys
 * (falling back to the scan code's key on a US keyboard when the keysym has none, as for a
 * Cyrillic letter) and characters to Windows-1252, so both backends share one translation.
 *
 * Events are delivered, in the order they happened, to the EventSink given to pump(), with
 * the cookie USER gave at creation. A backend reports no events for a destroyed window.
 */

#include "gdi/raster/surface.h"

#include <cstdint>

namespace vexil::desktop {
class Provider;
}

namespace vexil::backend {

struct Connection;
struct Window;

enum class WindowKind : uint8_t {
    Framed, // a top-level window with the desktop's caption, frame and close box; fixed size
    Bare,   // a top-level window without decorations (USER draws its frame into the surface)
    Popup,  // a menu: no decorations, above its owner, grabs pointer and keyboard while shown
};

struct WindowSpec {
    const char* title = ""; // UTF-8
    int32_t left = 0;       // screen position of the window's outer top-left corner
    int32_t top = 0;        //   (the desktop's frame corner, for a Framed window)
    int32_t width = 0;      // surface size in pixels, at least 1 x 1
    int32_t height = 0;
    WindowKind kind = WindowKind::Framed;
    Window* owner = nullptr; // the window a Popup belongs to; null otherwise
    void* cookie = nullptr;  // handed back with every event of this window
};

enum Modifier : uint32_t {
    kModifierShift = 1u << 0,
    kModifierControl = 1u << 1,
    kModifierAlt = 1u << 2,
    kModifierNumLock = 1u << 3,
    kModifierCapsLock = 1u << 4,
};

enum class KeyAction : uint8_t {
    Press,   // the key went down
    Repeat,  // the key is held and the keyboard repeats it
    Release, // the key went up
};

struct KeyEvent {
    KeyAction action = KeyAction::Press;
    uint32_t keysym = 0;
    uint32_t character = 0; // Unicode code point, 0 for none (always 0 for Release)
    uint32_t modifiers = 0; // Modifier bits
    uint32_t time_ms = 0;   // the event's time stamp, a millisecond clock that wraps
    uint8_t scan_code = 0;  // set 1, 0 when unknown
    bool extended = false;  // an 0xE0-prefixed key: arrows, the editing block, right Control and Alt
};

enum class MouseAction : uint8_t { Move, Press, Release, Wheel };

enum class MouseButton : uint8_t { None, Left, Middle, Right };

enum MouseButtons : uint32_t {
    kButtonLeft = 1u << 0,
    kButtonMiddle = 1u << 1,
    kButtonRight = 1u << 2,
};

struct MouseEvent {
    MouseAction action = MouseAction::Move;
    MouseButton button = MouseButton::None; // for Press and Release
    int32_t x = 0;                          // surface coordinates (outside the surface during a grab)
    int32_t y = 0;
    int32_t screen_x = 0;
    int32_t screen_y = 0;
    int32_t wheel_delta = 0; // Wheel: 120 per notch, positive when turned away from the user
    uint32_t buttons = 0;    // MouseButtons held after the event
    uint32_t modifiers = 0;  // Modifier bits
    uint32_t time_ms = 0;
};

enum class Focus : uint8_t { Gained, Lost };

// USER's side of pump(). Calls only queue work for the thread; none of them re-enters the backend.
class EventSink {
public:
    virtual void key(void* cookie, const KeyEvent& event) = 0;
    virtual void mouse(void* cookie, const MouseEvent& event) = 0;
    virtual void close_requested(void* cookie) = 0;            // the close box or the desktop's close command
    virtual void exposed(void* cookie, raster::Box box) = 0;   // surface pixels to show again
    virtual void focus_changed(void* cookie, Focus focus) = 0; // not reported for a Popup's grab

protected:
    ~EventSink() = default;
};

enum class Cursor : uint8_t { Arrow, Wait };

enum class MoveStart : uint8_t {
    Pointer,  // the left button is down on the window: the move follows the pointer until release
    Keyboard, // chosen from the menu: the desktop moves the window with the arrow keys
};

// The calling thread's connection to the display, or null when there is none (the reason is
// written to standard error once). close_connection destroys the windows still open on it.
[[nodiscard]] Connection* open_connection();
void close_connection(Connection* connection);

// A file descriptor that poll() reports readable while native events wait for pump().
int event_fd(Connection* connection);
// Handles every event that is waiting, without blocking, and reports them to the sink.
void pump(Connection* connection, EventSink& sink);

// A new window, hidden, or null on failure. Its surface is cleared to black.
[[nodiscard]] Window* create_window(Connection* connection, const WindowSpec& window_spec);
void destroy_window(Window* window);

enum class Visibility : uint8_t { Shown, Hidden };
void show_window(Window* window, Visibility visibility);
void minimize_window(Window* window);
void set_title(Window* window, const char* utf8_title);
void move_window(Window* window, int32_t left, int32_t top); // outer top-left corner, as in WindowSpec
// The screen position of the surface's top-left pixel, as the backend last learnt it.
void surface_origin(Window* window, int32_t* x, int32_t* y);
// Hands the window to the desktop's interactive move (EWMH _NET_WM_MOVERESIZE on X11).
void begin_move(Window* window, MoveStart start, int32_t screen_x, int32_t screen_y);

// The window's pixels. USER writes them on the connection's thread; present() shows a box of them.
raster::Surface surface(Window* window);
void present(Window* window, raster::Box box);

void set_cursor(Window* window, Cursor cursor);

// Process-wide queries, callable from any thread, with or without a connection.
void screen_size(int32_t* width, int32_t* height);
uint32_t double_click_time_ms();
void double_click_size(int32_t* width, int32_t* height); // the box two clicks must share
desktop::Provider& desktop_provider();                   // message boxes and dialogs for this backend

} // namespace vexil::backend
