// SPDX-License-Identifier: MIT
// The close box, the system menu and its popup.
#include "user_fixture.h"

#include "backend/headless/control.h"

namespace vexil::user::testing {
namespace {

namespace headless = backend::headless;

class SystemMenuTest : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        m_window = make_window();
        HMENU menu = GetSystemMenu(m_window, FALSE);
        ASSERT_NE(menu, nullptr);
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, 4, "Save image as...");
        AppendMenuA(menu, MF_STRING, 1, "Print 2\" wide...");
        drain();
        take_logged_messages();
    }
    // The commands and closes the window got, but for SC_KEYMENU, which opens the menu.
    std::vector<LoggedMessage> commands() const
    {
        std::vector<LoggedMessage> got = received(m_window, {WM_SYSCOMMAND, WM_CLOSE});
        std::erase_if(got, [](const LoggedMessage& message) {
            return message.message == WM_SYSCOMMAND && (message.wparam & 0xFFF0) == SC_KEYMENU;
        });
        return got;
    }

    HWND m_window = nullptr;
};

TEST_F(SystemMenuTest, CloseBoxSendsCloseThroughSysCommand)
{
    t_hook = [](HWND, UINT message, WPARAM, LPARAM, LRESULT* result) {
        *result = 1;
        return message == WM_CLOSE; // ignored, as the library does without its close flag
    };
    ASSERT_TRUE(headless::request_close(m_window));
    std::vector<LoggedMessage> got = commands();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, static_cast<UINT>(WM_SYSCOMMAND));
    EXPECT_EQ(got[0].wparam, static_cast<WPARAM>(SC_CLOSE));
    EXPECT_EQ(got[1].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_TRUE(IsWindow(m_window));

    t_hook = nullptr; // by default a close destroys the window
    headless::request_close(m_window);
    drain();
    EXPECT_FALSE(IsWindow(m_window));
}

TEST_F(SystemMenuTest, MenuHoldsTheWindowsEntriesThenTheAppendedOnes)
{
    HMENU menu = GetSystemMenu(m_window, FALSE);
    ASSERT_EQ(GetMenuItemCount(menu), 6);
    const UINT ids[] = {SC_MOVE, SC_MINIMIZE, SC_CLOSE, 0, 4, 1};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(GetMenuItemID(menu, i), ids[i]);
    char text[32];
    EXPECT_EQ(GetMenuStringA(menu, 1, text, sizeof text, MF_BYCOMMAND), 16);
    EXPECT_STREQ(text, "Print 2\" wide...");
    EXPECT_EQ(GetMenuState(menu, 3, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemCount(nullptr), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
}

// Each way of opening the menu shows the popup under the window's top-left corner; the arrow
// keys and Return choose the fifth entry (past the separator), which comes as WM_SYSCOMMAND.
TEST_F(SystemMenuTest, KeysOpenTheMenuAndChooseAnEntry)
{
    struct Opening {
        const char* key;
        uint32_t modifiers;
    };
    for (const Opening& opening : {Opening{"space", backend::kModifierAlt}, Opening{"Menu", 0},
                                   Opening{"F10", backend::kModifierShift}}) {
        SCOPED_TRACE(opening.key);
        ASSERT_TRUE(headless::press_key(m_window, opening.key, opening.modifiers));
        drain();
        HWND popup = headless::popup_of(m_window);
        ASSERT_NE(popup, nullptr);
        const auto state = headless::window_state(popup);
        EXPECT_EQ(state->kind, backend::WindowKind::Popup);
        EXPECT_TRUE(state->visible);
        EXPECT_EQ(state->left, 10);
        EXPECT_EQ(state->top, 20);
        EXPECT_NE(headless::shown_image(popup)->at(state->width / 2, 1), 0u); // painted
        for (const char* key : {"Down", "Down", "Down", "Down", "Return"})
            headless::press_key(m_window, key);
        const std::vector<LoggedMessage> got = commands();
        EXPECT_EQ(headless::popup_of(m_window), nullptr);
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].wparam, 1u); // "Print 2" wide..."
    }
}

TEST_F(SystemMenuTest, EscapeAndAClickOutsideCloseTheMenu)
{
    headless::press_key(m_window, "Menu");
    headless::press_key(m_window, "Escape");
    drain();
    EXPECT_EQ(headless::popup_of(m_window), nullptr);

    headless::press_key(m_window, "Menu");
    drain();
    headless::click(m_window, 190, 140); // beyond the popup
    drain();
    EXPECT_EQ(headless::popup_of(m_window), nullptr);
    EXPECT_TRUE(commands().empty());
    EXPECT_TRUE(received(m_window, {WM_LBUTTONDOWN}).empty()); // the click went to the menu
}

TEST_F(SystemMenuTest, ClickingAnEntryChoosesIt)
{
    headless::press_key(m_window, "Menu");
    drain();
    HWND popup = headless::popup_of(m_window);
    ASSERT_NE(popup, nullptr);
    const auto state = headless::window_state(popup);
    // Five entries and a separator (9 pixels) fill the popup between its 3-pixel margins; the
    // third entry is Close.
    const int32_t entry_height = (state->height - 6 - 9) / 5;
    const int32_t y = 3 + 2 * entry_height + entry_height / 2;
    headless::click(m_window, state->width / 2, y); // the owner's coordinates equal the popup's here
    const std::vector<LoggedMessage> got = commands();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].wparam, static_cast<WPARAM>(SC_CLOSE));
    EXPECT_FALSE(IsWindow(m_window));
}

TEST_F(SystemMenuTest, MoveAndMinimizeGoToTheDesktop)
{
    ASSERT_TRUE(headless::choose_system_menu_entry(m_window, 0));
    drain();
    EXPECT_EQ(headless::window_state(m_window)->moves_started, 1);
    EXPECT_EQ(headless::window_state(m_window)->last_move, backend::MoveStart::Keyboard);
    ASSERT_TRUE(headless::choose_system_menu_entry(m_window, 1));
    drain();
    EXPECT_TRUE(headless::window_state(m_window)->minimized);
    ShowWindow(m_window, SW_RESTORE);
    EXPECT_FALSE(headless::window_state(m_window)->minimized);
}

TEST_F(SystemMenuTest, WindowWithoutSystemMenuHasNone)
{
    HWND bare = make_window(50, 50, kCaptionless, "");
    EXPECT_EQ(GetSystemMenu(bare, FALSE), nullptr);
    headless::press_key(bare, "Menu");
    drain();
    EXPECT_EQ(headless::popup_of(bare), nullptr);
}

} // namespace
} // namespace vexil::user::testing
