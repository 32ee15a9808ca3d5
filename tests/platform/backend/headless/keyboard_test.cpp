// SPDX-License-Identifier: MIT
// The headless keyboard: key names to keysyms and characters under modifiers and locks.
#include "backend/headless/keyboard.h"

#include "backend/backend.h"

#include <gtest/gtest.h>

namespace vexil::backend::headless {
namespace {

TEST(HeadlessKeyboardTest, ResolvesNamesUnderModifiersAndLocks)
{
    struct Case {
        const char* name;
        uint32_t modifiers;
        uint32_t keysym;
        uint32_t character;
    };
    const Case cases[] = {
        {"a", 0, 'a', 'a'},
        {"a", kModifierShift, 'A', 'A'},
        {"a", kModifierCapsLock, 'A', 'A'},
        {"a", kModifierCapsLock | kModifierShift, 'a', 'a'},
        {"a", kModifierControl, 'a', 1},
        {"bracketleft", kModifierControl, '[', 27},
        {"2", kModifierShift, '@', '@'},
        {"slash", kModifierShift, '?', '?'},
        {"Return", 0, 0xff0d, 13},
        {"KP_5", 0, 0xff9d, 0},
        {"KP_5", kModifierNumLock, 0xffb5, '5'},
        {"KP_5", kModifierNumLock | kModifierShift, 0xff9d, 0},
        {"KP_Decimal", kModifierNumLock, 0xffae, '.'},
        {"F1", 0, 0xffbe, 0},
        {"F24", 0, 0xffd5, 0},
        {"Menu", 0, 0xff67, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<ResolvedKey> key = resolve_key(c.name, c.modifiers);
        ASSERT_TRUE(key);
        EXPECT_EQ(key->keysym, c.keysym);
        EXPECT_EQ(key->character, c.character);
    }
    for (const char* unknown : {"", "F0", "F25", "F1x", "NoSuchKey"})
        EXPECT_FALSE(resolve_key(unknown, 0)) << unknown;
}

} // namespace
} // namespace vexil::backend::headless
