// SPDX-License-Identifier: MIT
// Keys through the headless backend: virtual keys, system keys, characters, Num Lock, repeats.
#include "user_fixture.h"

#include "backend/headless/control.h"
#include "user/key_translation.h"

namespace vexil::user::testing {
namespace {

using backend::headless::press_key;

class KeyTest : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        m_window = make_window();
        drain();
        take_logged_messages();
    }
    std::vector<LoggedMessage> keys() const
    {
        return received(m_window, {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR});
    }

    HWND m_window = nullptr;
};

struct SpecialKeyCase {
    const char* name;
    WPARAM virtual_key;
};

// The twenty keys that the library turns into two bytes: each comes as WM_KEYDOWN with its
// virtual key and types no character.
TEST_F(KeyTest, SpecialKeysGiveTheirVirtualKeysAndNoCharacter)
{
    const SpecialKeyCase cases[] = {
        {"KP_5", VK_CLEAR}, {"Prior", VK_PRIOR},   {"Next", VK_NEXT}, {"End", VK_END},       {"Home", VK_HOME},
        {"Left", VK_LEFT},  {"Up", VK_UP},         {"Right", VK_RIGHT}, {"Down", VK_DOWN},   {"Insert", VK_INSERT},
        {"Delete", VK_DELETE}, {"F1", VK_F1},      {"F2", VK_F2},     {"F3", VK_F3},         {"F4", VK_F4},
        {"F5", VK_F5},      {"F6", VK_F6},         {"F7", VK_F7},     {"F8", VK_F8},         {"F9", VK_F9},
    };
    backend::headless::set_num_lock(backend::headless::Lock::Off);
    for (const SpecialKeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(press_key(m_window, c.name));
        const std::vector<LoggedMessage> got = keys();
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(got[0].message, static_cast<UINT>(WM_KEYDOWN));
        EXPECT_EQ(got[0].wparam, c.virtual_key);
        EXPECT_EQ(got[1].message, static_cast<UINT>(WM_KEYUP));
        EXPECT_EQ(got[1].wparam, c.virtual_key);
    }
}

struct CharacterCase {
    const char* name;
    uint32_t modifiers;
    WPARAM virtual_key;
    WPARAM character;
};

TEST_F(KeyTest, CharacterKeysAreTranslatedToWmChar)
{
    const CharacterCase cases[] = {
        {"Return", 0, VK_RETURN, 13},       {"a", 0, 'A', 'a'},
        {"a", backend::kModifierShift, 'A', 'A'}, {"1", backend::kModifierShift, '1', '!'},
        {"a", backend::kModifierControl, 'A', 1}, {"Escape", 0, VK_ESCAPE, 27},
        {"BackSpace", 0, VK_BACK, 8},       {"space", 0, VK_SPACE, ' '},
        {"slash", 0, VK_OEM_2, '/'},        {"KP_Add", 0, VK_ADD, '+'},
    };
    for (const CharacterCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(press_key(m_window, c.name, c.modifiers));
        const std::vector<LoggedMessage> got = keys();
        ASSERT_EQ(got.size(), 3u);
        EXPECT_EQ(got[0].message, static_cast<UINT>(WM_KEYDOWN));
        EXPECT_EQ(got[0].wparam, c.virtual_key);
        EXPECT_EQ(got[1].message, static_cast<UINT>(WM_CHAR));
        EXPECT_EQ(got[1].wparam, c.character);
        EXPECT_EQ(got[1].lparam, got[0].lparam); // the key's own lParam
    }
}

TEST_F(KeyTest, AltAndF10AreSystemKeys)
{
    ASSERT_TRUE(press_key(m_window, "x", backend::kModifierAlt));
    std::vector<LoggedMessage> got = keys();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(got[0].wparam, static_cast<WPARAM>('X'));
    EXPECT_NE(got[0].lparam & (1 << 29), 0); // Alt, the context code
    EXPECT_EQ(got[1].message, static_cast<UINT>(WM_SYSCHAR));
    EXPECT_EQ(got[1].wparam, static_cast<WPARAM>('x'));
    EXPECT_EQ(got[2].message, static_cast<UINT>(WM_SYSKEYUP));

    ASSERT_TRUE(press_key(m_window, "F10"));
    got = keys();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(got[0].wparam, static_cast<WPARAM>(VK_F10));
    EXPECT_EQ(got[0].lparam & (1 << 29), 0); // F10 without Alt
    EXPECT_EQ(got[1].message, static_cast<UINT>(WM_SYSKEYUP));

    ASSERT_TRUE(press_key(m_window, "Alt_L"));
    got = keys();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(got[0].wparam, static_cast<WPARAM>(VK_MENU));

    // Control with Alt is AltGr on Windows: ordinary key messages.
    ASSERT_TRUE(press_key(m_window, "x", backend::kModifierAlt | backend::kModifierControl));
    EXPECT_EQ(keys()[0].message, static_cast<UINT>(WM_KEYDOWN));
}

TEST_F(KeyTest, KeypadFollowsNumLock)
{
    using backend::headless::Lock;
    struct Case {
        Lock num_lock;
        uint32_t modifiers;
        WPARAM virtual_key;
        bool types_five;
    };
    for (const Case& c : {Case{Lock::Off, 0, VK_CLEAR, false}, Case{Lock::On, 0, VK_NUMPAD5, true},
                          Case{Lock::On, backend::kModifierShift, VK_CLEAR, false}}) {
        backend::headless::set_num_lock(c.num_lock);
        ASSERT_TRUE(press_key(m_window, "KP_5", c.modifiers));
        const std::vector<LoggedMessage> got = keys();
        ASSERT_EQ(got.size(), c.types_five ? 3u : 2u);
        EXPECT_EQ(got[0].wparam, c.virtual_key);
        if (c.types_five) {
            EXPECT_EQ(got[1].wparam, static_cast<WPARAM>('5'));
        }
    }
    backend::headless::set_num_lock(Lock::On);
    ASSERT_TRUE(press_key(m_window, "KP_7"));
    EXPECT_EQ(keys()[0].wparam, static_cast<WPARAM>(VK_NUMPAD7));
    backend::headless::set_num_lock(Lock::Off);
    ASSERT_TRUE(press_key(m_window, "KP_7"));
    EXPECT_EQ(keys()[0].wparam, static_cast<WPARAM>(VK_HOME));
}

TEST_F(KeyTest, HeldKeyRepeatsWithThePreviousStateBit)
{
    ASSERT_TRUE(backend::headless::key_down(m_window, "b"));
    ASSERT_TRUE(backend::headless::key_down(m_window, "b"));
    ASSERT_TRUE(backend::headless::key_up(m_window, "b"));
    const std::vector<LoggedMessage> got = keys();
    ASSERT_EQ(got.size(), 5u); // down, char, down, char, up
    const auto bits = [](const LoggedMessage& message) { return static_cast<uint32_t>(message.lparam); };
    EXPECT_EQ(bits(got[0]) & 0xFFFF, 1u);          // repeat count
    EXPECT_EQ(bits(got[0]) & (1u << 30), 0u);      // first press: the key was up
    EXPECT_EQ(got[2].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_NE(bits(got[2]) & (1u << 30), 0u);      // the repeat: it was down
    EXPECT_EQ(got[3].message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(got[4].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(bits(got[4]) & 0xC0000000u, 0xC0000000u);
}

TEST_F(KeyTest, CharactersOutsideWindows1252BecomeQuestionMarks)
{
    struct Case {
        uint32_t keysym;
        uint32_t character;
        WPARAM byte;
    };
    for (const Case& c : {Case{0x20ac, 0x20ac, 0x80}, Case{0xe9, 0xe9, 0xE9}, Case{0x6c1, 0x430, '?'}}) {
        ASSERT_TRUE(backend::headless::press_keysym(m_window, c.keysym, c.character));
        const std::vector<LoggedMessage> got = keys();
        ASSERT_EQ(got.size(), 3u);
        EXPECT_EQ(got[0].wparam, static_cast<WPARAM>(VK_PACKET)); // no key position known
        EXPECT_EQ(got[1].wparam, c.byte);
    }
}

// With the key's position known, a letter of another alphabet gets the US key's virtual key.
TEST(KeyTranslationTest, ScanCodePlacesKeysWithoutAVirtualKey)
{
    backend::KeyEvent cyrillic;
    cyrillic.keysym = 0x6c6; // Cyrillic_ef, on the A key of a Russian layout
    cyrillic.character = 0x444;
    cyrillic.scan_code = 0x1E;
    EXPECT_EQ(virtual_key_of(cyrillic), 'A');
    const KeyMessage message = translate_key(cyrillic);
    EXPECT_EQ((message.lparam >> 16) & 0xFF, 0x1E);
}

} // namespace
} // namespace vexil::user::testing
