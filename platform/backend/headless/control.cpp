// SPDX-License-Identifier: MIT
// The test control of the headless backend.
#include "backend/headless/control.h"

#include "backend/headless/keyboard.h"
#include "backend/headless/state.h"

#include <atomic>

namespace vexil::backend::headless {

namespace {

// The simulated input devices; their state is the process's, as a real keyboard's is.
std::atomic<uint32_t> s_clock{1000};
std::atomic<uint32_t> s_locks{0};   // kModifierNumLock, kModifierCapsLock
std::atomic<uint32_t> s_buttons{0}; // MouseButtons held
// Keysyms held down, so that a second key_down is a repeat. A few keys at once are enough.
constexpr int kMaxHeld = 16;
std::atomic<uint32_t> s_held[kMaxHeld];

uint32_t tick()
{
    return s_clock.fetch_add(1);
}

bool mark_held(uint32_t keysym)
{
    for (std::atomic<uint32_t>& slot : s_held) {
        if (slot.load() == keysym)
            return true;
    }
    for (std::atomic<uint32_t>& slot : s_held) {
        uint32_t empty = 0;
        if (slot.compare_exchange_strong(empty, keysym))
            break;
    }
    return false;
}

void mark_released(uint32_t keysym)
{
    for (std::atomic<uint32_t>& slot : s_held) {
        uint32_t held = keysym;
        slot.compare_exchange_strong(held, 0);
    }
}

bool send_key(HWND window, KeyAction action, uint32_t keysym, uint32_t character, uint32_t modifiers)
{
    PendingEvent event;
    event.kind = EventKind::Key;
    event.key.action = action;
    event.key.keysym = keysym;
    event.key.character = action == KeyAction::Release ? 0 : character;
    event.key.modifiers = modifiers;
    event.key.time_ms = tick();
    return inject(window, event);
}

bool key_event(HWND window, std::string_view name, uint32_t modifiers, KeyAction action)
{
    modifiers |= s_locks.load();
    std::optional<ResolvedKey> key = resolve_key(name, modifiers);
    if (!key)
        return false;
    if (action == KeyAction::Release) {
        mark_released(key->keysym);
    } else if (mark_held(key->keysym)) {
        action = KeyAction::Repeat;
    }
    // The lock keys change the keyboard's state when pressed, as on a PC.
    if (action == KeyAction::Press && key->keysym == 0xff7f)
        s_locks.fetch_xor(kModifierNumLock);
    if (action == KeyAction::Press && key->keysym == 0xffe5)
        s_locks.fetch_xor(kModifierCapsLock);
    return send_key(window, action, key->keysym, key->character, modifiers);
}

uint32_t button_bit(MouseButton button)
{
    switch (button) {
    case MouseButton::Left:
        return kButtonLeft;
    case MouseButton::Middle:
        return kButtonMiddle;
    case MouseButton::Right:
        return kButtonRight;
    case MouseButton::None:
        break;
    }
    return 0;
}

bool mouse_event(HWND window, MouseAction action, MouseButton button, int32_t x, int32_t y, int32_t delta)
{
    int32_t left = 0;
    int32_t top = 0;
    {
        std::lock_guard guard(registry().lock);
        const Window* native = find_window_locked(window);
        if (!native)
            return false;
        left = native->state.left;
        top = native->state.top;
    }
    if (action == MouseAction::Press)
        s_buttons.fetch_or(button_bit(button));
    else if (action == MouseAction::Release)
        s_buttons.fetch_and(~button_bit(button));
    PendingEvent event;
    event.kind = EventKind::Mouse;
    event.mouse.action = action;
    event.mouse.button = button;
    event.mouse.x = x;
    event.mouse.y = y;
    event.mouse.screen_x = left + x;
    event.mouse.screen_y = top + y;
    event.mouse.wheel_delta = delta;
    event.mouse.buttons = s_buttons.load();
    event.mouse.modifiers = s_locks.load();
    event.mouse.time_ms = tick();
    return inject(window, event);
}

} // namespace

bool press_key(HWND window, std::string_view name, uint32_t modifiers)
{
    return key_event(window, name, modifiers, KeyAction::Press) &&
           key_event(window, name, modifiers, KeyAction::Release);
}

bool key_down(HWND window, std::string_view name, uint32_t modifiers)
{
    return key_event(window, name, modifiers, KeyAction::Press);
}

bool key_up(HWND window, std::string_view name, uint32_t modifiers)
{
    return key_event(window, name, modifiers, KeyAction::Release);
}

bool press_keysym(HWND window, uint32_t keysym, uint32_t character, uint32_t modifiers)
{
    modifiers |= s_locks.load();
    return send_key(window, KeyAction::Press, keysym, character, modifiers) &&
           send_key(window, KeyAction::Release, keysym, 0, modifiers);
}

void set_num_lock(Lock lock)
{
    if (lock == Lock::On)
        s_locks.fetch_or(kModifierNumLock);
    else
        s_locks.fetch_and(~static_cast<uint32_t>(kModifierNumLock));
}

void set_caps_lock(Lock lock)
{
    if (lock == Lock::On)
        s_locks.fetch_or(kModifierCapsLock);
    else
        s_locks.fetch_and(~static_cast<uint32_t>(kModifierCapsLock));
}

void reset_input_devices()
{
    s_locks.store(0);
    s_buttons.store(0);
    for (std::atomic<uint32_t>& slot : s_held)
        slot.store(0);
}

bool move_mouse(HWND window, int32_t x, int32_t y)
{
    return mouse_event(window, MouseAction::Move, MouseButton::None, x, y, 0);
}

bool mouse_down(HWND window, int32_t x, int32_t y, MouseButton button)
{
    return mouse_event(window, MouseAction::Press, button, x, y, 0);
}

bool mouse_up(HWND window, int32_t x, int32_t y, MouseButton button)
{
    return mouse_event(window, MouseAction::Release, button, x, y, 0);
}

bool click(HWND window, int32_t x, int32_t y, MouseButton button)
{
    return mouse_down(window, x, y, button) && mouse_up(window, x, y, button);
}

bool turn_wheel(HWND window, int32_t x, int32_t y, int32_t delta)
{
    return mouse_event(window, MouseAction::Wheel, MouseButton::None, x, y, delta);
}

void advance_clock(uint32_t milliseconds)
{
    s_clock.fetch_add(milliseconds);
}

bool request_close(HWND window)
{
    PendingEvent event;
    event.kind = EventKind::Close;
    return inject(window, event);
}

bool expose(HWND window, raster::Box box)
{
    PendingEvent event;
    event.kind = EventKind::Expose;
    event.box = box;
    return inject(window, event);
}

bool change_focus(HWND window, Focus focus)
{
    PendingEvent event;
    event.kind = EventKind::Focus;
    event.focus = focus;
    return inject(window, event);
}

bool choose_system_menu_entry(HWND window, int entry)
{
    if (entry < 0 || !press_key(window, "Menu"))
        return false;
    for (int i = 0; i < entry; ++i) {
        if (!press_key(window, "Down"))
            return false;
    }
    return press_key(window, "Return");
}

std::optional<WindowState> window_state(HWND window)
{
    std::lock_guard guard(registry().lock);
    const Window* native = find_window_locked(window);
    if (!native)
        return std::nullopt;
    return native->state;
}

HWND popup_of(HWND owner)
{
    std::lock_guard guard(registry().lock);
    for (const Window* native : registry().windows) {
        if (native->state.kind == WindowKind::Popup && native->state.owner == owner)
            return static_cast<HWND>(native->cookie);
    }
    return nullptr;
}

std::optional<Image> shown_image(HWND window)
{
    std::lock_guard guard(registry().lock);
    const Window* native = find_window_locked(window);
    if (!native)
        return std::nullopt;
    return Image{native->surface.width, native->surface.height, native->shown};
}

void set_screen_size(int32_t width, int32_t height)
{
    if (width < 1 || height < 1)
        return;
    std::lock_guard guard(registry().lock);
    registry().screen_width = width;
    registry().screen_height = height;
}

} // namespace vexil::backend::headless
