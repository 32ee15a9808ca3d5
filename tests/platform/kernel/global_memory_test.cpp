// SPDX-License-Identifier: MIT
// Tests of global and local memory: lock counts, resizing, failures and invalid handles.
#include <win32/kernel.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

bool all_bytes_are(const void* data, size_t size, unsigned char value)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != value)
            return false;
    }
    return true;
}

TEST(GlobalMemoryTest, MovableBlockCountsItsLocks)
{
    HGLOBAL block = GlobalAlloc(GHND, 100);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 100u);
    void* first = GlobalLock(block);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, block);
    EXPECT_TRUE(all_bytes_are(first, 100, 0));
    EXPECT_EQ(GlobalLock(block), first);

    EXPECT_TRUE(GlobalUnlock(block)); // still locked once
    SetLastError(ERROR_INVALID_DATA);
    EXPECT_FALSE(GlobalUnlock(block)); // now unlocked: FALSE, and no error
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
    SetLastError(0);
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemoryTest, ReAllocKeepsContentsAndZeroesGrowthWhenAsked)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 64);
    std::memset(GlobalLock(block), 0xAB, 64);
    GlobalUnlock(block);

    // Shrink, then grow back into the same bytes: GMEM_ZEROINIT must clear them all the same.
    ASSERT_EQ(GlobalReAlloc(block, 16, 0), block);
    EXPECT_EQ(GlobalSize(block), 16u);
    ASSERT_EQ(GlobalReAlloc(block, 64, GMEM_ZEROINIT), block);
    auto* data = static_cast<unsigned char*>(GlobalLock(block));
    EXPECT_TRUE(all_bytes_are(data, 16, 0xAB));
    EXPECT_TRUE(all_bytes_are(data + 16, 48, 0));
    GlobalUnlock(block);

    // Growing far may move the unlocked block; the handle stays and so do the contents.
    ASSERT_EQ(GlobalReAlloc(block, 1 << 20, GMEM_ZEROINIT), block);
    data = static_cast<unsigned char*>(GlobalLock(block));
    EXPECT_TRUE(all_bytes_are(data, 16, 0xAB));
    EXPECT_TRUE(all_bytes_are(data + 64, (1 << 20) - 64, 0));
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemoryTest, LockedBlockGrowsOnlyInPlaceWithoutMoveable)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 32);
    auto* data = static_cast<unsigned char*>(GlobalLock(block));
    std::memset(data, 0x5A, 32);
    SetLastError(0);
    EXPECT_EQ(GlobalReAlloc(block, 1 << 20, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    // The failure left the locked block as it was, where it was.
    EXPECT_EQ(GlobalSize(block), 32u);
    EXPECT_TRUE(all_bytes_are(data, 32, 0x5A));
    EXPECT_EQ(GlobalReAlloc(block, 1 << 20, GMEM_MOVEABLE), block);
    GlobalUnlock(block);
    GlobalFree(block);
}

TEST(GlobalMemoryTest, ImpossibleSizesFailCleanly)
{
    const SIZE_T sizes[] = {SIZE_MAX, SIZE_MAX / 2, SIZE_T{1} << 48};
    for (SIZE_T size : sizes) {
        for (UINT flags : {UINT{GMEM_MOVEABLE}, UINT{GHND}, UINT{GMEM_FIXED}}) {
            SetLastError(0);
            EXPECT_EQ(GlobalAlloc(flags, size), nullptr) << size;
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
        }
    }
    HGLOBAL block = GlobalAlloc(GHND, 8);
    std::memcpy(GlobalLock(block), "contents", 8);
    GlobalUnlock(block);
    for (SIZE_T size : sizes) {
        SetLastError(0);
        EXPECT_EQ(GlobalReAlloc(block, size, GMEM_MOVEABLE), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    }
    EXPECT_EQ(GlobalSize(block), 8u);
    EXPECT_EQ(std::memcmp(GlobalLock(block), "contents", 8), 0);
    GlobalUnlock(block);
    GlobalFree(block);
}

TEST(GlobalMemoryTest, FixedBlockIsItsOwnAddress)
{
    auto* fixed = static_cast<char*>(GlobalAlloc(GPTR, 10));
    ASSERT_NE(fixed, nullptr);
    EXPECT_TRUE(all_bytes_are(fixed, 10, 0));
    std::strcpy(fixed, "direct");
    EXPECT_EQ(GlobalLock(fixed), fixed);
    EXPECT_EQ(GlobalSize(fixed), 10u);
    auto* moved = static_cast<char*>(GlobalReAlloc(fixed, 4096, GMEM_MOVEABLE));
    ASSERT_NE(moved, nullptr);
    EXPECT_STREQ(moved, "direct");
    EXPECT_EQ(GlobalSize(moved), 4096u);
    EXPECT_EQ(GlobalFree(moved), nullptr);

    void* local = LocalAlloc(LPTR, 3);
    EXPECT_EQ(GlobalSize(local), 3u);
    EXPECT_EQ(LocalFree(local), nullptr);
}

TEST(GlobalMemoryTest, DiscardedBlockCannotBeLockedUntilResized)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(block, nullptr);
    SetLastError(0);
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISCARDED));
    EXPECT_EQ(GlobalSize(block), 0u);
    ASSERT_EQ(GlobalReAlloc(block, 8, GMEM_ZEROINIT), block);
    void* data = GlobalLock(block);
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(all_bytes_are(data, 8, 0));
    GlobalUnlock(block);
    GlobalFree(block);
}

TEST(GlobalMemoryTest, FreedOrInventedHandlesFail)
{
    HGLOBAL movable = GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_EQ(GlobalFree(movable), nullptr);
    void* fixed = GlobalAlloc(GMEM_FIXED, 4);
    ASSERT_EQ(GlobalFree(fixed), nullptr);
    int on_the_stack = 0;
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (HGLOBAL bad : {movable, fixed, static_cast<HGLOBAL>(&on_the_stack), event}) {
        SetLastError(0);
        EXPECT_EQ(GlobalLock(bad), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_FALSE(GlobalUnlock(bad));
        EXPECT_EQ(GlobalSize(bad), 0u);
        EXPECT_EQ(GlobalReAlloc(bad, 8, 0), nullptr);
        SetLastError(0);
        // Windows hands the handle back when it cannot free it.
        EXPECT_EQ(GlobalFree(bad), bad);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_EQ(LocalFree(bad), bad);
    }
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
    CloseHandle(event);
    SetLastError(0);
    EXPECT_EQ(GlobalAlloc(GMEM_MODIFY, 4), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

} // namespace
