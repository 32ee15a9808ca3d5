// SPDX-License-Identifier: MIT
// The keyboard queue: characters, the twenty special keys, kbhit and getch.
#include "fixture.h"

#include <vector>

namespace vexil::graphics::testing {
namespace {

using KeyboardTest = WindowTest;

void send_key_down(HWND hwnd, WPARAM key)
{
    SendMessageA(hwnd, WM_KEYDOWN, key, 1);
}

void send_char(HWND hwnd, unsigned char ch, int repeat = 1)
{
    SendMessageA(hwnd, WM_CHAR, ch, repeat);
}

namespace control = backend::headless;

// Bytes that typed keys left in the queue, once the window thread has handled them.
std::vector<int> typed_bytes()
{
    EXPECT_TRUE(user::wait_until_idle(current_hwnd(), 5000));
    std::vector<int> bytes;
    while (kbhit())
        bytes.push_back(getch());
    return bytes;
}

TEST_F(KeyboardTest, TypedKeysGiveTheirBytes)
{
    control::reset_input_devices();
    struct Case {
        const char* key;
        control::Lock num_lock;
        uint32_t modifiers;
        std::vector<int> bytes;
    };
    const Case cases[] = {
        {"Up", control::Lock::Off, 0, {0, 72}},
        {"F1", control::Lock::Off, 0, {0, 59}},
        {"Delete", control::Lock::Off, 0, {0, 83}},
        {"Return", control::Lock::Off, 0, {13}},
        {"Escape", control::Lock::Off, 0, {27}},
        {"a", control::Lock::Off, backend::kModifierShift, {'A'}},
        {"KP_5", control::Lock::Off, 0, {0, 76}},
        {"KP_5", control::Lock::On, 0, {'5'}},
        {"F10", control::Lock::Off, 0, {}},
        {"F11", control::Lock::Off, 0, {}},
        {"F12", control::Lock::Off, 0, {}},
        {"Shift_L", control::Lock::Off, 0, {}},
        {"Control_L", control::Lock::Off, 0, {}},
        {"Caps_Lock", control::Lock::Off, 0, {}},
        {"x", control::Lock::Off, backend::kModifierAlt, {}},
    };
    for (const Case& c : cases) {
        control::set_num_lock(c.num_lock);
        ASSERT_TRUE(control::press_key(current_hwnd(), c.key, c.modifiers)) << c.key;
        EXPECT_EQ(typed_bytes(), c.bytes) << c.key;
    }
    control::reset_input_devices();
}

TEST_F(KeyboardTest, SpecialKeysGiveZeroThenTheirScanCode)
{
    struct Case {
        WPARAM key;
        int code;
    };
    const Case cases[] = {
        {VK_CLEAR, 76}, {VK_PRIOR, 73}, {VK_NEXT, 81},   {VK_END, 79},    {VK_HOME, 71}, {VK_LEFT, 75}, {VK_UP, 72},
        {VK_RIGHT, 77}, {VK_DOWN, 80},  {VK_INSERT, 82}, {VK_DELETE, 83}, {VK_F1, 59},   {VK_F2, 60},   {VK_F3, 61},
        {VK_F4, 62},    {VK_F5, 63},    {VK_F6, 64},     {VK_F7, 65},     {VK_F8, 66},   {VK_F9, 67},
    };
    for (const Case& c : cases) {
        send_key_down(current_hwnd(), c.key);
        EXPECT_EQ(kbhit(), 1);
        EXPECT_EQ(getch(), 0) << c.key;
        EXPECT_EQ(getch(), c.code) << c.key;
        EXPECT_EQ(kbhit(), 0);
    }
}

TEST_F(KeyboardTest, OtherKeysQueueNothingOnKeyDown)
{
    for (const int key : {VK_F10, VK_F11, VK_F12, VK_SHIFT, VK_CONTROL, VK_CAPITAL, int{'A'}, VK_RETURN})
        send_key_down(current_hwnd(), key);
    SendMessageA(current_hwnd(), WM_SYSKEYDOWN, VK_F10, 1);
    SendMessageA(current_hwnd(), WM_SYSCHAR, 'x', 1);
    EXPECT_EQ(kbhit(), 0);
}

TEST_F(KeyboardTest, CharacterIsOneByteWhateverItsRepeatCount)
{
    send_char(current_hwnd(), 13, 3);
    EXPECT_EQ(getch(), 13);
    EXPECT_EQ(kbhit(), 0);
}

TEST_F(KeyboardTest, BytesAboveSevenBitsAreReadAsNegative)
{
    send_char(current_hwnd(), 0xE9);
    send_char(current_hwnd(), 0x80);
    send_char(current_hwnd(), 0x7F);
    EXPECT_EQ(getch(), -23);
    EXPECT_EQ(getch(), -128);
    EXPECT_EQ(getch(), 127);
}

TEST_F(KeyboardTest, KbhitLeavesTheQueueAlone)
{
    send_char(current_hwnd(), 'q');
    for (int call = 0; call < 100; ++call)
        ASSERT_EQ(kbhit(), 1);
    EXPECT_EQ(getch(), 'q');
    EXPECT_EQ(kbhit(), 0);
}

TEST_F(KeyboardTest, GetchWaitsForTheNextKey)
{
    const HWND hwnd = current_hwnd();
    const HANDLE typist = CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            Sleep(50);
            PostMessageA(static_cast<HWND>(parameter), WM_KEYDOWN, VK_F1, 1);
            return 0;
        },
        hwnd, 0, nullptr);
    EXPECT_EQ(getch(), 0);
    EXPECT_EQ(getch(), 59);
    WaitForSingleObject(typist, INFINITE);
    CloseHandle(typist);
}

TEST_F(KeyboardTest, KeysWaitInTheirWindowUntilItIsCurrent)
{
    const int first = getcurrentwindow();
    const HWND first_hwnd = current_hwnd();
    initwindow(40, 30, "second", 0, 0, false, false);
    send_char(first_hwnd, 'a');
    EXPECT_EQ(kbhit(), 0);
    setcurrentwindow(first);
    EXPECT_EQ(kbhit(), 1);
    EXPECT_EQ(getch(), 'a');
}

} // namespace
} // namespace vexil::graphics::testing
