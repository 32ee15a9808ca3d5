// SPDX-License-Identifier: MIT
// Native events as Windows input messages: keys, the eleven mouse messages, double clicks,
// non-client messages after the hit test, close requests, exposures and focus.
#include "user/input.h"

#include "user/key_translation.h"
#include "user/messages.h"
#include "user/system_menu_popup.h"
#include "user/window.h"
#include "user/window_class.h"

#include <win32/kernel.h>

#include <cstdlib>
#include <optional>

namespace vexil::user {

namespace {

class QueueSink final : public backend::EventSink {
public:
    explicit QueueSink(MessageQueue& queue) : m_input(queue.owner().input) {}

    void key(void* cookie, const backend::KeyEvent& event) override
    {
        InputEntry entry = make(InputKind::Key, cookie);
        entry.key = event;
        push(entry);
    }
    void mouse(void* cookie, const backend::MouseEvent& event) override
    {
        InputEntry entry = make(InputKind::Mouse, cookie);
        entry.mouse = event;
        push(entry);
    }
    void close_requested(void* cookie) override { push(make(InputKind::Close, cookie)); }
    void exposed(void* cookie, raster::Box box) override
    {
        InputEntry entry = make(InputKind::Expose, cookie);
        entry.box = box;
        push(entry);
    }
    void focus_changed(void* cookie, backend::Focus focus) override
    {
        InputEntry entry = make(InputKind::Focus, cookie);
        entry.focus = focus;
        push(entry);
    }

private:
    static InputEntry make(InputKind kind, void* cookie)
    {
        InputEntry entry;
        entry.kind = kind;
        entry.window = static_cast<HWND>(cookie);
        return entry;
    }
    void push(const InputEntry& entry)
    {
        try {
            m_input.push_back(entry);
        } catch (...) {
            // NOTE: without memory the event is dropped, as a full input queue drops it on Windows.
        }
    }

    std::deque<InputEntry>& m_input;
};

WPARAM mouse_key_state(const backend::MouseEvent& event)
{
    WPARAM state = 0;
    if (event.buttons & backend::kButtonLeft)
        state |= MK_LBUTTON;
    if (event.buttons & backend::kButtonRight)
        state |= MK_RBUTTON;
    if (event.buttons & backend::kButtonMiddle)
        state |= MK_MBUTTON;
    if (event.modifiers & backend::kModifierShift)
        state |= MK_SHIFT;
    if (event.modifiers & backend::kModifierControl)
        state |= MK_CONTROL;
    return state;
}

// The client message of a mouse event: WM_MOUSEMOVE, or the button's down or up message.
UINT client_mouse_message(const backend::MouseEvent& event)
{
    UINT down = WM_LBUTTONDOWN;
    if (event.button == backend::MouseButton::Right)
        down = WM_RBUTTONDOWN;
    else if (event.button == backend::MouseButton::Middle)
        down = WM_MBUTTONDOWN;
    switch (event.action) {
    case backend::MouseAction::Press:
        return down;
    case backend::MouseAction::Release:
        return down + 1;
    case backend::MouseAction::Wheel:
        return WM_MOUSEWHEEL;
    case backend::MouseAction::Move:
        break;
    }
    return WM_MOUSEMOVE;
}

LPARAM point_lparam(int32_t x, int32_t y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

// Turns a down message into a double click when it repeats the last press closely enough in
// time and place (Windows' rule: within the double-click time and a box of SM_CXDOUBLECLK by
// SM_CYDOUBLECLK around the first press). A double click starts the count afresh.
UINT apply_double_click(OwnerState& owner, HWND window, UINT down, const backend::MouseEvent& event, bool allowed)
{
    ClickRecord& last = owner.last_click;
    int32_t box_width = 0;
    int32_t box_height = 0;
    backend::double_click_size(&box_width, &box_height);
    const bool repeats = allowed && last.window == window && last.message == down &&
                         event.time_ms - last.time_ms <= backend::double_click_time_ms() &&
                         std::abs(event.screen_x - last.screen_x) <= box_width / 2 &&
                         std::abs(event.screen_y - last.screen_y) <= box_height / 2;
    if (repeats) {
        last = ClickRecord{};
        return down + 2; // WM_xBUTTONDBLCLK follows WM_xBUTTONUP in every button's trio
    }
    last = ClickRecord{window, down, event.time_ms, event.screen_x, event.screen_y};
    return down;
}

std::optional<MSG> cook_key(MessageQueue& queue, const InputEntry& entry)
{
    OwnerState& owner = queue.owner();
    HWND target = owner.menu_popup ? owner.menu_popup : entry.window;
    if (!window_table().lookup(target))
        return std::nullopt;
    const KeyMessage key = translate_key(entry.key);
    owner.modifiers = entry.key.modifiers;
    MSG message = {target, key.message, key.virtual_key, key.lparam, entry.key.time_ms, {0, 0}};
    owner.last_key = KeyRecord{message, key.character, key.has_character};
    return message;
}

std::optional<MSG> cook_mouse(MessageQueue& queue, const InputEntry& entry)
{
    OwnerState& owner = queue.owner();
    const backend::MouseEvent& event = entry.mouse;
    owner.modifiers = event.modifiers;
    const POINT screen = {event.screen_x, event.screen_y};
    MSG message = {entry.window, client_mouse_message(event), mouse_key_state(event), 0, event.time_ms, screen};

    // An open menu takes the mouse of the whole thread, wherever the pointer is.
    if (Window* popup = owner.menu_popup ? window_table().lookup(owner.menu_popup) : nullptr) {
        int32_t origin_x = 0;
        int32_t origin_y = 0;
        backend::surface_origin(popup->native, &origin_x, &origin_y);
        message.hwnd = owner.menu_popup;
        message.lParam = point_lparam(event.screen_x - origin_x, event.screen_y - origin_y);
        return message;
    }
    Window* window = window_table().lookup(entry.window);
    if (!window)
        return std::nullopt;
    if (event.action == backend::MouseAction::Wheel) {
        // The wheel reports the screen position, and the delta in the high word.
        message.wParam = MAKEWPARAM(static_cast<WORD>(message.wParam), static_cast<WORD>(static_cast<SHORT>(event.wheel_delta)));
        message.lParam = point_lparam(event.screen_x, event.screen_y);
        return message;
    }
    owner.mouse_window = entry.window;
    const bool double_clicks = (window->window_class->style & CS_DBLCLKS) != 0;
    const int32_t client_x = event.x - window->client_x;
    const int32_t client_y = event.y - window->client_y;
    const LRESULT hit = call_procedure(entry.window, WM_NCHITTEST, 0, point_lparam(event.screen_x, event.screen_y));
    if (event.action != backend::MouseAction::Release)
        call_procedure(entry.window, WM_SETCURSOR, reinterpret_cast<WPARAM>(entry.window),
                       MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(hit)), static_cast<WORD>(message.message)));
    if (!window_table().lookup(entry.window)) // the procedure destroyed it
        return std::nullopt;
    if (hit == HTCLIENT) {
        if (event.action == backend::MouseAction::Press)
            message.message = apply_double_click(owner, entry.window, message.message, event, double_clicks);
        message.lParam = point_lparam(client_x, client_y);
        return message;
    }
    // Outside the client area: the non-client messages, which carry the hit and the screen point.
    message.message = message.message - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    if (event.action == backend::MouseAction::Press)
        message.message = apply_double_click(owner, entry.window, message.message, event, true);
    message.wParam = static_cast<WPARAM>(hit);
    message.lParam = point_lparam(event.screen_x, event.screen_y);
    return message;
}

std::optional<MSG> cook(MessageQueue& queue, const InputEntry& entry)
{
    OwnerState& owner = queue.owner();
    switch (entry.kind) {
    case InputKind::Key:
        return cook_key(queue, entry);
    case InputKind::Mouse:
        return cook_mouse(queue, entry);
    case InputKind::Close:
        if (!window_table().lookup(entry.window))
            return std::nullopt;
        close_system_menu(queue);
        // The close box reaches the window as Windows' caption button does.
        return MSG{entry.window, WM_SYSCOMMAND, SC_CLOSE, 0, tick_ms(), {0, 0}};
    case InputKind::Expose:
        // The surface keeps the window's pixels, so they are shown again as they are.
        if (Window* window = window_table().lookup(entry.window))
            backend::present(window->native, entry.box);
        return std::nullopt;
    case InputKind::Focus:
        if (!window_table().lookup(entry.window))
            return std::nullopt;
        if (entry.focus == backend::Focus::Lost) {
            if (Window* popup = owner.menu_popup ? window_table().lookup(owner.menu_popup) : nullptr;
                popup && popup->owner == entry.window)
                close_system_menu(queue);
            call_procedure(entry.window, WM_KILLFOCUS, 0, 0);
        } else {
            call_procedure(entry.window, WM_SETFOCUS, 0, 0);
        }
        return std::nullopt;
    case InputKind::Cooked:
        return entry.cooked;
    }
    return std::nullopt;
}

bool may_accept(const MessageFilter& filter, const InputEntry& entry)
{
    switch (entry.kind) {
    case InputKind::Key:
        return filter.accepts_range(WM_KEYFIRST, WM_SYSDEADCHAR);
    case InputKind::Mouse:
        return filter.accepts_range(WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK) ||
               filter.accepts_range(WM_MOUSEFIRST, WM_MOUSEWHEEL);
    case InputKind::Close:
        return filter.accepts(WM_SYSCOMMAND);
    default:
        return true;
    }
}

} // namespace

void pump_backend(MessageQueue& queue)
{
    if (backend::Connection* connection = queue.owner().connection) {
        QueueSink sink(queue);
        backend::pump(connection, sink);
    }
}

bool take_input(MessageQueue& queue, const MessageFilter& filter, bool remove, MSG* out)
{
    std::deque<InputEntry>& input = queue.owner().input;
    while (!input.empty()) {
        if (input.front().kind != InputKind::Cooked) {
            if (!may_accept(filter, input.front()) || !filter.accepts_window(input.front().window))
                return false;
            // Taken off first: making the message calls procedures, which may read input too.
            const InputEntry raw = input.front();
            input.pop_front();
            std::optional<MSG> message = cook(queue, raw);
            if (!message)
                continue;
            InputEntry made;
            made.cooked = *message;
            try {
                input.push_front(made);
            } catch (...) {
                *out = *message; // no room to keep it: hand it out now, peeked or not
                return filter.accepts(message->message);
            }
        }
        const MSG& message = input.front().cooked;
        if (!filter.accepts_window(message.hwnd) || !filter.accepts(message.message))
            return false;
        *out = message;
        if (remove)
            input.pop_front();
        return true;
    }
    return false;
}

} // namespace vexil::user

BOOL WINAPI TranslateMessage(const MSG* lpMsg)
{
    using namespace vexil::user;
    if (!lpMsg)
        return FALSE;
    const UINT kind = lpMsg->message;
    if (kind != WM_KEYDOWN && kind != WM_KEYUP && kind != WM_SYSKEYDOWN && kind != WM_SYSKEYUP)
        return FALSE;
    MessageQueue* queue = MessageQueue::existing();
    if (!queue)
        return TRUE;
    // The character was learnt with the key from the backend; a message the program made
    // itself, or a key already translated, posts nothing.
    KeyRecord& last = queue->owner().last_key;
    if (last.has_character && (kind == WM_KEYDOWN || kind == WM_SYSKEYDOWN) && last.message.hwnd == lpMsg->hwnd &&
        last.message.message == kind && last.message.wParam == lpMsg->wParam &&
        last.message.lParam == lpMsg->lParam) {
        last.has_character = false;
        PostMessageA(lpMsg->hwnd, kind == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, last.character, lpMsg->lParam);
    }
    return TRUE;
}
