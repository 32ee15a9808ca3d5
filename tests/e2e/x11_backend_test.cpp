// SPDX-License-Identifier: MIT
// The X11 backend on a virtual X server without a window manager: window geometry and hints,
// presenting with and without MIT-SHM, keys and mouse from xdotool, close requests, moves,
// menu grabs, and a display that is not there.
#include "backend_fixture.h"
#include "x11_inspect.h"

#include "backend/x11/connection.h"
#include "backend/x11/window.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

namespace vexil::e2e {
namespace {

using ::testing::HasSubstr;

int g_cookie_a;
int g_cookie_b;
void* const kCookie = &g_cookie_a;
void* const kOtherCookie = &g_cookie_b;

backend::WindowSpec spec_of(backend::WindowKind kind, int32_t left, int32_t top, int32_t width, int32_t height,
                            const char* title = "Vexil test")
{
    backend::WindowSpec window_spec;
    window_spec.title = title;
    window_spec.left = left;
    window_spec.top = top;
    window_spec.width = width;
    window_spec.height = height;
    window_spec.kind = kind;
    window_spec.cookie = kCookie;
    return window_spec;
}

std::string hex(uint32_t id)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%x", id);
    return text;
}

// Without a window manager nothing frames the window, so xwininfo sees the client area itself
// where the frame's corner was asked to be.
TEST_F(BackendTest, FramedWindowHasItsSizePositionAndHints)
{
    backend::Window* window = open_window(
        spec_of(backend::WindowKind::Framed, 40, 30, 1200, 900, "Windows Vexil \xC3\xA9t\xC3\xA9 \xE2\x82\xAC"));
    ASSERT_NE(window, nullptr);

    const std::string info = run_command("xwininfo -id " + hex(xid(window)));
    EXPECT_EQ(field_after(info, "Width: "), 1200);
    EXPECT_EQ(field_after(info, "Height: "), 900);
    EXPECT_EQ(field_after(info, "Absolute upper-left X: "), 40);
    EXPECT_EQ(field_after(info, "Absolute upper-left Y: "), 30);

    const std::string props = run_command("xprop -id " + hex(xid(window)));
    // The UTF-8 title in full; the Latin-1 one with the euro sign, which Latin-1 lacks, as '?'.
    EXPECT_THAT(props, HasSubstr("_NET_WM_NAME(UTF8_STRING) = \"Windows Vexil \xC3\xA9t\xC3\xA9 \xE2\x82\xAC\""));
    EXPECT_THAT(props, HasSubstr("WM_NAME(STRING) = \"Windows Vexil \xC3\xA9t\xC3\xA9 ?\""));
    EXPECT_THAT(props, HasSubstr("WM_PROTOCOLS(ATOM): protocols  WM_DELETE_WINDOW, _NET_WM_PING"));
    EXPECT_THAT(props, HasSubstr("_NET_WM_PID(CARDINAL) = " + std::to_string(getpid())));
    EXPECT_THAT(props, HasSubstr("program specified location: 40, 30"));
    EXPECT_THAT(props, HasSubstr("program specified minimum size: 1200 by 900"));
    EXPECT_THAT(props, HasSubstr("program specified maximum size: 1200 by 900"));
    EXPECT_THAT(props, HasSubstr("window gravity: NorthWest"));
    EXPECT_THAT(props, ::testing::Not(HasSubstr("_MOTIF_WM_HINTS")));

    int32_t x = 0;
    int32_t y = 0;
    backend::surface_origin(window, &x, &y);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 30);
}

TEST_F(BackendTest, BareWindowAsksForNoDecorations)
{
    backend::Window* window = open_window(spec_of(backend::WindowKind::Bare, 100, 80, 320, 200, ""));
    ASSERT_NE(window, nullptr);
    const std::string props = run_command("xprop -id " + hex(xid(window)) + " _MOTIF_WM_HINTS");
    // flags: decorations given; decorations: none.
    EXPECT_THAT(props, HasSubstr("_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x2, 0x0, 0x0, 0x0, 0x0"));
    const std::string info = run_command("xwininfo -id " + hex(xid(window)));
    EXPECT_EQ(field_after(info, "Width: "), 320);
    EXPECT_EQ(field_after(info, "Absolute upper-left X: "), 100);
}

TEST_F(BackendTest, WindowsOfImpossibleSizesAreRefused)
{
    EXPECT_EQ(backend::create_window(m_connection, spec_of(backend::WindowKind::Framed, 0, 0, 0, 10)), nullptr);
    EXPECT_EQ(backend::create_window(m_connection, spec_of(backend::WindowKind::Framed, 0, 0, 10, -1)), nullptr);
    EXPECT_EQ(backend::create_window(m_connection, spec_of(backend::WindowKind::Framed, 0, 0, 40000, 10)), nullptr);
}

TEST_F(BackendTest, ExposeReportsTheWholeSurfaceWhenFirstShown)
{
    ASSERT_NE(open_window(spec_of(backend::WindowKind::Framed, 0, 0, 300, 200)), nullptr);
    ASSERT_FALSE(m_sink.exposes.empty());
    const raster::Box box = m_sink.exposes.front().box;
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 300);
    EXPECT_EQ(box.bottom, 200);
}

TEST_F(BackendTest, CloseRequestIsReportedAndTheWindowStays)
{
    backend::Window* window = open_window(spec_of(backend::WindowKind::Framed, 0, 0, 100, 100));
    ASSERT_NE(window, nullptr);
    send_close_request(xid(window));
    ASSERT_TRUE(pump_until([&] { return !m_sink.closes.empty(); }));
    EXPECT_EQ(m_sink.closes.front().cookie, kCookie);
    EXPECT_THAT(run_command("xwininfo -id " + hex(xid(window))), HasSubstr("IsViewable"));
}

TEST_F(BackendTest, DestroyedWindowReportsNothingMore)
{
    backend::Window* window = open_window(spec_of(backend::WindowKind::Framed, 0, 0, 100, 100));
    ASSERT_NE(window, nullptr);
    const uint32_t id = xid(window);
    send_close_request(id);
    backend::destroy_window(window);
    pump_for(200);
    EXPECT_TRUE(m_sink.closes.empty());
    EXPECT_THAT(run_command("xwininfo -id " + hex(id) + " 2>&1"), HasSubstr("X Error"));
}

// Requests on a window another client destroyed fail on the server; the errors are dropped,
// and the connection goes on serving the other windows.
TEST_F(BackendTest, ErrorsOfAWindowDestroyedElsewhereAreHarmless)
{
    backend::Window* window = open_window(spec_of(backend::WindowKind::Framed, 0, 0, 100, 100));
    ASSERT_NE(window, nullptr);
    run_command("xdotool windowclose " + std::to_string(xid(window)));
    backend::present(window, {0, 0, 100, 100});
    backend::set_title(window, "gone");
    backend::move_window(window, 10, 10);
    backend::set_cursor(window, backend::Cursor::Wait);
    backend::show_window(window, backend::Visibility::Hidden);
    sync();
    pump_for(50);
    backend::destroy_window(window);
    m_sink.exposes.clear();
    EXPECT_NE(open_window(spec_of(backend::WindowKind::Framed, 0, 0, 100, 100)), nullptr);
    EXPECT_FALSE(m_sink.exposes.empty());
}

// EWMH's ping: a window manager asks whether the program still answers, and the reply comes
// back to the root window, where the manager listens (here the test listens instead).
TEST_F(BackendTest, AnswersTheWindowManagersPing)
{
    backend::Window* window = open_window(spec_of(backend::WindowKind::Framed, 0, 0, 100, 100));
    ASSERT_NE(window, nullptr);
    xcb_connection_t* manager = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(manager)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT;
    xcb_change_window_attributes(manager, root, XCB_CW_EVENT_MASK, &mask);
    auto intern = [&](const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            manager, xcb_intern_atom(manager, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply->atom;
        std::free(reply);
        return atom;
    };
    xcb_client_message_event_t ping = {};
    ping.response_type = XCB_CLIENT_MESSAGE;
    ping.format = 32;
    ping.window = xid(window);
    ping.type = intern("WM_PROTOCOLS");
    ping.data.data32[0] = intern("_NET_WM_PING");
    ping.data.data32[1] = 4242; // the time stamp the reply carries back
    ping.data.data32[2] = xid(window);
    xcb_send_event(manager, 0, xid(window), XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ping));
    xcb_flush(manager);

    bool answered = false;
    // The reply arrives on the manager's connection, so the backend's is pumped in slices.
    eventually([&] {
        pump_for(10);
        while (xcb_generic_event_t* event = xcb_poll_for_event(manager)) {
            const auto* pong = reinterpret_cast<const xcb_client_message_event_t*>(event);
            answered |= (event->response_type & 0x7F) == XCB_CLIENT_MESSAGE && pong->window == root &&
                        pong->data.data32[1] == 4242 && pong->data.data32[2] == xid(window);
            std::free(event);
        }
        return answered;
    });
    EXPECT_TRUE(answered);
    xcb_disconnect(manager);
}

// Windows of two connections (two GUI threads) live side by side, each reporting its own.
TEST_F(BackendTest, ConnectionsAreIndependent)
{
    backend::Connection* other = backend::open_connection();
    ASSERT_NE(other, nullptr);
    backend::WindowSpec window_spec = spec_of(backend::WindowKind::Framed, 0, 0, 50, 50);
    window_spec.cookie = kOtherCookie;
    backend::Window* foreign = backend::create_window(other, window_spec);
    ASSERT_NE(foreign, nullptr);
    backend::show_window(foreign, backend::Visibility::Shown);
    backend::Window* own = open_window(spec_of(backend::WindowKind::Framed, 100, 0, 50, 50));
    ASSERT_NE(own, nullptr);
    send_close_request(xid(foreign));
    pump_for(200);
    for (const Reported& close : m_sink.closes) {
        EXPECT_NE(close.cookie, kOtherCookie);
    }
    backend::close_connection(other); // destroys `foreign` with it
}

// The presses a typed xdotool key sequence reported, without releases and modifier keys.
std::vector<backend::KeyEvent> presses_of(const std::vector<ReportedKey>& keys)
{
    std::vector<backend::KeyEvent> presses;
    for (const ReportedKey& key : keys) {
        const bool modifier = key.event.keysym >= XKB_KEY_Shift_L && key.event.keysym <= XKB_KEY_Hyper_R;
        if (key.event.action != backend::KeyAction::Release && !modifier) {
            presses.push_back(key.event);
        }
    }
    return presses;
}

struct TypedKey {
    const char* xdotool_key;
    uint32_t keysym;
    uint32_t character;
    uint32_t modifiers;
};

// Keys typed into the focused window arrive with the symbol the layout gives under the
// modifiers and locks, the character they type, and the modifiers held before them.
TEST_F(BackendTest, TypedKeysArriveWithSymbolCharacterAndModifiers)
{
    backend::Window* window = open_window(spec_of(backend::WindowKind::Framed, 0, 0, 200, 100));
    ASSERT_NE(window, nullptr);
    run_command("xdotool windowfocus --sync " + std::to_string(xid(window)));
    ASSERT_TRUE(pump_until([&] { return !m_sink.focuses.empty(); }));
    EXPECT_EQ(m_sink.focuses.back().focus, backend::Focus::Gained);

    const TypedKey typed[] = {
        {"a", XKB_KEY_a, 'a', 0},
        {"shift+a", XKB_KEY_A, 'A', backend::kModifierShift},
        {"ctrl+a", XKB_KEY_a, 1, backend::kModifierControl},
        {"Return", XKB_KEY_Return, 13, 0},
        {"Up", XKB_KEY_Up, 0, 0},
        {"F1", XKB_KEY_F1, 0, 0},
        {"KP_Begin", XKB_KEY_KP_Begin, 0, 0},
        {"F10", XKB_KEY_F10, 0, 0},
    };
    std::string command = "xdotool key --delay 0";
    for (const TypedKey& key : typed) {
        command += std::string(" ") + key.xdotool_key;
    }
    run_command(command);
    ASSERT_TRUE(pump_until([&] { return presses_of(m_sink.keys).size() >= std::size(typed); }));
    const std::vector<backend::KeyEvent> presses = presses_of(m_sink.keys);
    for (size_t i = 0; i < std::size(typed); ++i) {
        const backend::KeyEvent& key = presses[i];
        EXPECT_EQ(key.action, backend::KeyAction::Press) << typed[i].xdotool_key;
        EXPECT_EQ(key.keysym, typed[i].keysym) << typed[i].xdotool_key;
        EXPECT_EQ(key.character, typed[i].character) << typed[i].xdotool_key;
        EXPECT_EQ(key.modifiers & ~backend::kModifierNumLock, typed[i].modifiers) << typed[i].xdotool_key;
    }
    // Scan codes come from the key's position: Up is an 0xE0 key with code 0x48.
    EXPECT_EQ(presses[4].scan_code, 0x48);
    EXPECT_TRUE(presses[4].extended);
    EXPECT_EQ(presses[0].scan_code, 0x1E);
    EXPECT_FALSE(presses[0].extended);
    for (const ReportedKey& key : m_sink.keys) {
        EXPECT_EQ(key.cookie, kCookie);
        if (key.event.action == backend::KeyAction::Release) {
            EXPECT_EQ(key.event.character, 0u);
        }
    }
}

// Keys typed into another program's window go to that program alone.
TEST_F(BackendTest, KeysTypedIntoAnotherProgramDoNotArrive)
{
    backend::Window* window = open_window(spec_of(backend::WindowKind::Framed, 0, 0, 200, 100));
    ASSERT_NE(window, nullptr);
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(other)).data;
    const xcb_window_t foreign = xcb_generate_id(other);
    const uint32_t mask = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE;
    xcb_create_window(other, XCB_COPY_FROM_PARENT, foreign, screen->root, 300, 0, 200, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &mask);
    xcb_map_window(other, foreign);
    std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));

    run_command("xdotool windowfocus --sync " + std::to_string(foreign) + " key --delay 0 a b c");
    pump_for(200);
    EXPECT_TRUE(m_sink.keys.empty());
    run_command("xdotool windowfocus --sync " + std::to_string(xid(window)) + " key --delay 0 d");
    EXPECT_TRUE(pump_until([&] { return !presses_of(m_sink.keys).empty(); }));
    EXPECT_EQ(presses_of(m_sink.keys).front().keysym, static_cast<uint32_t>(XKB_KEY_d));
    xcb_disconnect(other);
}

// With Num Lock on, keypad 5 gives KP_5 and types '5'; with it off it gives KP_Begin.
TEST_F(BackendTest, NumLockChoosesTheKeypadSymbol)
{
    backend::Window* window = open_window(spec_of(backend::WindowKind::Framed, 0, 0, 200, 100));
    ASSERT_NE(window, nullptr);
    run_command("xdotool windowfocus --sync " + std::to_string(xid(window)));
    run_command("xdotool key --delay 0 --clearmodifiers Num_Lock 84");
    ASSERT_TRUE(pump_until([&] { return presses_of(m_sink.keys).size() >= 2; }));
    backend::KeyEvent keypad = presses_of(m_sink.keys)[1];
    EXPECT_EQ(keypad.keysym, XKB_KEY_KP_5);
    EXPECT_EQ(keypad.character, static_cast<uint32_t>('5'));
    EXPECT_NE(keypad.modifiers & backend::kModifierNumLock, 0u);
    m_sink.keys.clear();
    run_command("xdotool key --delay 0 Num_Lock 84");
    ASSERT_TRUE(pump_until([&] { return presses_of(m_sink.keys).size() >= 2; }));
    keypad = presses_of(m_sink.keys)[1];
    EXPECT_EQ(keypad.keysym, XKB_KEY_KP_Begin);
    EXPECT_EQ(keypad.character, 0u);
    EXPECT_EQ(keypad.modifiers & backend::kModifierNumLock, 0u);
}

// A held key repeats as Repeat events (the server's auto-repeat) and is released once.
TEST_F(BackendTest, HeldKeyRepeatsAndIsReleasedOnce)
{
    backend::Window* window = open_window(spec_of(backend::WindowKind::Framed, 0, 0, 200, 100));
    ASSERT_NE(window, nullptr);
    run_command("xdotool windowfocus --sync " + std::to_string(xid(window)));
    // The server's default delay before repeating is 660 ms.
    run_command("xdotool keydown x; sleep 1; xdotool keyup x");
    ASSERT_TRUE(pump_until(
        [&] { return !m_sink.keys.empty() && m_sink.keys.back().event.action == backend::KeyAction::Release; }));
    EXPECT_TRUE(m_connection->keyboard.has_detectable_repeat());
    ASSERT_GE(m_sink.keys.size(), 3u);
    EXPECT_EQ(m_sink.keys.front().event.action, backend::KeyAction::Press);
    size_t releases = 0;
    for (size_t i = 1; i + 1 < m_sink.keys.size(); ++i) {
        EXPECT_EQ(m_sink.keys[i].event.action, backend::KeyAction::Repeat) << i;
        EXPECT_EQ(m_sink.keys[i].event.character, static_cast<uint32_t>('x'));
    }
    for (const ReportedKey& key : m_sink.keys) {
        releases += key.event.action == backend::KeyAction::Release;
    }
    EXPECT_EQ(releases, 1u);
}

std::vector<backend::MouseEvent> mice_of(const std::vector<ReportedMouse>& mice, void* cookie)
{
    std::vector<backend::MouseEvent> events;
    for (const ReportedMouse& mouse : mice) {
        if (mouse.cookie == cookie) {
            events.push_back(mouse.event);
        }
    }
    return events;
}

bool has_action(const std::vector<ReportedMouse>& mice, backend::MouseAction action, size_t count = 1)
{
    size_t found = 0;
    for (const ReportedMouse& mouse : mice) {
        found += mouse.event.action == action;
    }
    return found >= count;
}

// Positions are in surface coordinates with the screen's beside them; buttons 1 to 3 press and
// release, the wheel's buttons 4 and 5 turn it a notch away from and towards the user.
TEST_F(BackendTest, MouseEventsCarryPositionsButtonsAndWheel)
{
    backend::Window* window = open_window(spec_of(backend::WindowKind::Framed, 100, 100, 300, 200));
    ASSERT_NE(window, nullptr);
    const std::string id = std::to_string(xid(window));
    run_command("xdotool mousemove --sync --window " + id +
                " 10 20 click 1 click 3 click 4 click 5 mousedown 2 "
                "mousemove --sync --window " +
                id + " 30 40 mouseup 2");
    ASSERT_TRUE(pump_until([&] { return has_action(m_sink.mice, backend::MouseAction::Release, 3); }));

    std::vector<backend::MouseEvent> events;
    for (const backend::MouseEvent& event : mice_of(m_sink.mice, kCookie)) {
        // xdotool may warp in more than one step; the first move that lands counts.
        if (event.action != backend::MouseAction::Move || (event.x == 10 && events.empty()) ||
            (event.x == 30 && event.y == 40)) {
            events.push_back(event);
        }
    }
    using A = backend::MouseAction;
    using B = backend::MouseButton;
    struct Expected {
        A action;
        B button;
        int32_t x, y, wheel;
        uint32_t buttons;
    };
    const Expected expected[] = {
        {A::Move, B::None, 10, 20, 0, 0},
        {A::Press, B::Left, 10, 20, 0, backend::kButtonLeft},
        {A::Release, B::Left, 10, 20, 0, 0},
        {A::Press, B::Right, 10, 20, 0, backend::kButtonRight},
        {A::Release, B::Right, 10, 20, 0, 0},
        {A::Wheel, B::None, 10, 20, 120, 0},
        {A::Wheel, B::None, 10, 20, -120, 0},
        {A::Press, B::Middle, 10, 20, 0, backend::kButtonMiddle},
        {A::Move, B::None, 30, 40, 0, backend::kButtonMiddle},
        {A::Release, B::Middle, 30, 40, 0, 0},
    };
    ASSERT_EQ(events.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(events[i].action, expected[i].action) << i;
        EXPECT_EQ(events[i].button, expected[i].button) << i;
        EXPECT_EQ(events[i].x, expected[i].x) << i;
        EXPECT_EQ(events[i].y, expected[i].y) << i;
        EXPECT_EQ(events[i].screen_x, expected[i].x + 100) << i;
        EXPECT_EQ(events[i].screen_y, expected[i].y + 100) << i;
        EXPECT_EQ(events[i].wheel_delta, expected[i].wheel) << i;
        EXPECT_EQ(events[i].buttons, expected[i].buttons) << i;
    }
}

// Without a window manager the backend runs the move itself: the window follows the pointer
// until the button is released, and the program sees none of the move's events.
TEST_F(BackendTest, CaptionlessWindowFollowsThePointerWhileDragged)
{
    backend::Window* window = open_window(spec_of(backend::WindowKind::Bare, 100, 100, 200, 100, ""));
    ASSERT_NE(window, nullptr);
    const std::string id = std::to_string(xid(window));
    run_command("xdotool mousemove --sync --window " + id + " 10 10 mousedown 1");
    ASSERT_TRUE(pump_until([&] { return has_action(m_sink.mice, backend::MouseAction::Press); }));
    const backend::MouseEvent press = mice_of(m_sink.mice, kCookie).back();
    backend::begin_move(window, backend::MoveStart::Pointer, press.screen_x, press.screen_y);
    m_sink.mice.clear();

    run_command("xdotool mousemove --sync 160 140 mousemove --sync 190 160 mouseup 1");
    ASSERT_TRUE(eventually([&] {
        pump_for(10);
        return field_after(run_command("xwininfo -id " + id), "Absolute upper-left X: ") == 180;
    }));
    const std::string info = run_command("xwininfo -id " + id);
    EXPECT_EQ(field_after(info, "Absolute upper-left Y: "), 150);
    pump_for(100);
    EXPECT_TRUE(m_sink.mice.empty());
    int32_t x = 0;
    int32_t y = 0;
    backend::surface_origin(window, &x, &y);
    EXPECT_EQ(x, 180);
    EXPECT_EQ(y, 150);

    // The move is over: the next click is the program's again.
    run_command("xdotool click 1");
    EXPECT_TRUE(pump_until([&] { return has_action(m_sink.mice, backend::MouseAction::Release); }));
}

// Moving from the keyboard: arrows step the window, Return keeps the place, Escape goes back.
TEST_F(BackendTest, KeyboardMoveStepsWithArrowsAndEscapeRestores)
{
    backend::Window* window = open_window(spec_of(backend::WindowKind::Bare, 100, 100, 200, 100, ""));
    ASSERT_NE(window, nullptr);
    const std::string id = std::to_string(xid(window));
    auto position = [&] {
        const std::string info = run_command("xwininfo -id " + id);
        return std::make_pair(field_after(info, "Absolute upper-left X: "),
                              field_after(info, "Absolute upper-left Y: "));
    };
    backend::begin_move(window, backend::MoveStart::Keyboard, 150, 150);
    run_command("xdotool key --delay 0 Right Right Down Return");
    EXPECT_TRUE(eventually([&] {
        pump_for(10);
        return position() == std::make_pair(116L, 108L) && !m_connection->move.window;
    }));
    backend::begin_move(window, backend::MoveStart::Keyboard, 150, 150);
    run_command("xdotool key --delay 0 Left Escape");
    EXPECT_TRUE(eventually([&] {
        pump_for(10);
        return position() == std::make_pair(116L, 108L) && !m_connection->move.window;
    }));
    EXPECT_TRUE(presses_of(m_sink.keys).empty());
}

// A shown menu holds the pointer and the keyboard: a click anywhere is the menu's, in its own
// coordinates, and so are keys. Hidden, it lets them go.
TEST_F(BackendTest, ShownPopupGrabsPointerAndKeyboard)
{
    backend::Window* owner = open_window(spec_of(backend::WindowKind::Framed, 0, 0, 400, 300));
    ASSERT_NE(owner, nullptr);
    backend::WindowSpec window_spec = spec_of(backend::WindowKind::Popup, 50, 60, 100, 80, "");
    window_spec.owner = owner;
    window_spec.cookie = kOtherCookie;
    backend::Window* popup = open_window(window_spec);
    ASSERT_NE(popup, nullptr);
    EXPECT_THAT(run_command("xwininfo -id " + std::to_string(xid(popup))), HasSubstr("Override Redirect State: yes"));
    EXPECT_THAT(run_command("xprop -id " + std::to_string(xid(popup)) + " WM_TRANSIENT_FOR"),
                HasSubstr(hex(xid(owner))));

    run_command("xdotool mousemove --sync 300 250 click 1 key --delay 0 Escape");
    ASSERT_TRUE(pump_until(
        [&] { return has_action(m_sink.mice, backend::MouseAction::Release) && !presses_of(m_sink.keys).empty(); }));
    const std::vector<backend::MouseEvent> popup_mice = mice_of(m_sink.mice, kOtherCookie);
    ASSERT_FALSE(popup_mice.empty());
    EXPECT_TRUE(mice_of(m_sink.mice, kCookie).empty());
    EXPECT_EQ(popup_mice.back().x, 250);
    EXPECT_EQ(popup_mice.back().y, 190);
    EXPECT_EQ(m_sink.keys.front().cookie, kOtherCookie);
    EXPECT_EQ(m_sink.keys.front().event.keysym, XKB_KEY_Escape);

    backend::show_window(popup, backend::Visibility::Hidden);
    m_sink.mice.clear();
    run_command("xdotool click 1");
    ASSERT_TRUE(pump_until([&] { return has_action(m_sink.mice, backend::MouseAction::Release); }));
    EXPECT_TRUE(mice_of(m_sink.mice, kOtherCookie).empty());
}

class BackendPresentTest : public BackendTest, public ::testing::WithParamInterface<SharedMemory> {
protected:
    SharedMemory shared_memory() const override { return GetParam(); }
};

uint32_t pattern(int x, int y, uint32_t seed)
{
    return ((static_cast<uint32_t>(x) * 2654435761u) ^ (static_cast<uint32_t>(y) * 40503u) ^ seed) & 0x00FFFFFF;
}

// Where the screen first differs from `expected(x, y)`, or "" when it shows exactly that.
template <typename Expected>
std::string first_difference(const std::vector<uint32_t>& shown, int width, int height, Expected expected)
{
    if (shown.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
        return "no image of the window";
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = shown[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            if (pixel != expected(x, y)) {
                char text[96];
                std::snprintf(text, sizeof(text), "at %d, %d: 0x%06x instead of 0x%06x", x, y, pixel, expected(x, y));
                return text;
            }
        }
    }
    return "";
}

// What was written to the surface is what the screen shows, pixel for pixel; a box presented
// later changes exactly its own pixels, also when it is narrower than the surface (the plain
// path then gathers its rows).
TEST_P(BackendPresentTest, ScreenShowsThePresentedPixels)
{
    constexpr int kWidth = 1200;
    constexpr int kHeight = 900;
    backend::Window* window = open_window(spec_of(backend::WindowKind::Framed, 0, 0, kWidth, kHeight));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->image.is_shared(), GetParam() == SharedMemory::Offered);

    const raster::Surface surface = backend::surface(window);
    ASSERT_EQ(surface.width, kWidth);
    ASSERT_EQ(surface.height, kHeight);
    EXPECT_EQ(surface.row(kHeight - 1)[kWidth - 1], 0u) << "a new surface is black";
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            surface.row(y)[x] = pattern(x, y, 0);
        }
    }
    backend::present(window, {0, 0, kWidth, kHeight});
    sync();
    EXPECT_EQ(first_difference(window_pixels(xid(window), kWidth, kHeight), kWidth, kHeight,
                               [](int x, int y) { return pattern(x, y, 0); }),
              "");

    const raster::Box box = {101, 203, 358, 777};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            surface.row(y)[x] = pattern(x, y, 0x5A5A5A);
        }
    }
    // Boxes reaching past the surface are clipped to it.
    backend::present(window, box);
    backend::present(window, {-50, -50, 0, 10});
    backend::present(window, {kWidth, 0, kWidth + 100, 10});
    sync();
    EXPECT_EQ(first_difference(window_pixels(xid(window), kWidth, kHeight), kWidth, kHeight,
                               [&](int x, int y) {
                                   const bool inside = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
                                   return pattern(x, y, inside ? 0x5A5A5A : 0);
                               }),
              "");
}

INSTANTIATE_TEST_SUITE_P(SharedMemory, BackendPresentTest,
                         ::testing::Values(SharedMemory::Offered, SharedMemory::Withheld),
                         [](const ::testing::TestParamInfo<SharedMemory>& param_info) {
                             return param_info.param == SharedMemory::Offered ? "WithShm" : "WithoutShm";
                         });

// A server reached over TCP may be on another machine (or behind ssh), where a segment of ours
// means nothing: surfaces then go by PutImage, and still show exactly.
TEST(BackendTransportTest, OverTcpSurfacesAreSentWithPutImage)
{
    XvfbServer server;
    ASSERT_TRUE(server.start(SharedMemory::Offered, Transport::Tcp)) << server.error();
    backend::Connection* connection = backend::open_connection();
    ASSERT_NE(connection, nullptr);
    backend::WindowSpec window_spec = spec_of(backend::WindowKind::Framed, 0, 0, 64, 32);
    backend::Window* window = backend::create_window(connection, window_spec);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->image.is_shared());
    backend::show_window(window, backend::Visibility::Shown);
    const raster::Surface surface = backend::surface(window);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            surface.row(y)[x] = pattern(x, y, 0x123456);
        }
    }
    backend::present(window, {0, 0, 64, 32});
    std::free(xcb_get_input_focus_reply(connection->xcb, xcb_get_input_focus(connection->xcb), nullptr));
    EXPECT_EQ(first_difference(window_pixels(window->id, 64, 32), 64, 32,
                               [](int x, int y) { return pattern(x, y, 0x123456); }),
              "");
    backend::close_connection(connection);
}

TEST(BackendDisplayTest, MissingDisplayFailsCleanly)
{
    for (const char* display : {":4093", "unix:/nonexistent/socket", static_cast<const char*>(nullptr)}) {
        if (display) {
            setenv("DISPLAY", display, 1);
        } else {
            unsetenv("DISPLAY");
        }
        EXPECT_EQ(backend::open_connection(), nullptr) << (display ? display : "(unset)");
    }
}

TEST_F(BackendTest, ScreenSizeComesFromTheRootWindow)
{
    int32_t width = 0;
    int32_t height = 0;
    backend::screen_size(&width, &height);
    EXPECT_EQ(width, 1920);
    EXPECT_EQ(height, 1080);
}

} // namespace
} // namespace vexil::e2e
