// SPDX-License-Identifier: MIT
// Tests of the handle table: validation of stale, closed, invented and wrong-kind handles,
// generations on reuse, and references that outlive a closed handle.
#include "kernel/handle_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vexil::kernel {
namespace {

struct Counted {
    explicit Counted(int v, int* destroyed_count) : value(v), destroyed(destroyed_count) {}
    ~Counted() { ++*destroyed; }
    int value;
    int* destroyed;
};

using TestTable = HandleTable<Counted, HandleKind::Pen>;

void* with_generation(void* handle, uint32_t generation)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(handle) & ((uintptr_t{1} << 40) - 1);
    return reinterpret_cast<void*>(value | (uintptr_t{generation} << 40));
}

TEST(HandleTableTest, FindsLiveObjectsAndRejectsEveryOtherHandle)
{
    static TestTable table;
    int destroyed = 0;
    void* handle = table.create(7, &destroyed);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle_kind(handle), HandleKind::Pen);
    ASSERT_NE(table.lookup(handle), nullptr);
    EXPECT_EQ(table.lookup(handle)->value, 7);

    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    void* wrong_kind = reinterpret_cast<void*>((value & ~(uintptr_t{0xff} << 32)) |
                                               (uintptr_t{static_cast<uint8_t>(HandleKind::Brush)} << 32));
    void* invented[] = {
        nullptr,
        reinterpret_cast<void*>(~uintptr_t{0}), // INVALID_HANDLE_VALUE
        wrong_kind,
        with_generation(handle, ((value >> 40) + 1) & 0xffffff),                 // right slot, other generation
        reinterpret_cast<void*>(value + 1),                                      // slot never handed out
        reinterpret_cast<void*>((value & ~uintptr_t{0xffffffff}) | 0xfffffff0u), // beyond the table
        &destroyed,                                                              // an ordinary address
    };
    for (void* bad : invented) {
        EXPECT_EQ(table.lookup(bad), nullptr) << bad;
        EXPECT_FALSE(table.acquire(bad)) << bad;
        EXPECT_FALSE(table.destroy(bad)) << bad;
    }
    EXPECT_TRUE(table.destroy(handle));
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(table.validate());
}

TEST(HandleTableTest, ClosedHandleStaysInvalidAfterItsSlotIsReused)
{
    static TestTable table;
    int destroyed = 0;
    void* first = table.create(1, &destroyed);
    ASSERT_TRUE(table.destroy(first));
    EXPECT_EQ(table.lookup(first), nullptr);
    EXPECT_FALSE(table.destroy(first));

    void* second = table.create(2, &destroyed);
    ASSERT_NE(second, nullptr);
    // Same slot, new generation: the old handle does not reach the new object.
    EXPECT_EQ(reinterpret_cast<uintptr_t>(second) & 0xffffffff, reinterpret_cast<uintptr_t>(first) & 0xffffffff);
    EXPECT_NE(second, first);
    EXPECT_EQ(table.lookup(first), nullptr);
    EXPECT_FALSE(table.destroy(first));
    EXPECT_EQ(table.lookup(second)->value, 2);
    EXPECT_TRUE(table.destroy(second));
    EXPECT_TRUE(table.validate());
}

TEST(HandleTableTest, ReferenceKeepsClosedObjectUntilReleased)
{
    static TestTable table;
    int destroyed = 0;
    void* handle = table.create(5, &destroyed);
    TestTable::Ref ref = table.acquire(handle);
    ASSERT_TRUE(ref);

    EXPECT_TRUE(table.destroy(handle));
    // The handle is closed at once, the object lives on for the holder of the reference.
    EXPECT_EQ(table.lookup(handle), nullptr);
    EXPECT_FALSE(table.acquire(handle));
    EXPECT_FALSE(table.destroy(handle));
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(ref->value, 5);
    EXPECT_EQ(table.used_slots(), 1u);

    // Only while someone holds it may a closed object be reached deliberately.
    TestTable::Ref second = table.acquire(handle, Liveness::EvenIfClosed);
    ASSERT_TRUE(second);
    ref.reset();
    EXPECT_EQ(destroyed, 0);
    second.reset();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(table.used_slots(), 0u);
    EXPECT_FALSE(table.acquire(handle, Liveness::EvenIfClosed));
    EXPECT_TRUE(table.validate());
}

TEST(HandleTableTest, GrowsPastOneChunkAndReusesEverySlot)
{
    static TestTable table;
    int destroyed = 0;
    constexpr int kCount = static_cast<int>(TestTable::kChunkSlots) * 3 + 5;
    std::vector<void*> handles;
    for (int i = 0; i < kCount; ++i)
        handles.push_back(table.create(i, &destroyed));
    for (int i = 0; i < kCount; ++i)
        ASSERT_EQ(table.lookup(handles[i])->value, i);
    for (void* handle : handles)
        ASSERT_TRUE(table.destroy(handle));
    EXPECT_EQ(destroyed, kCount);
    EXPECT_EQ(table.used_slots(), 0u);
    EXPECT_TRUE(table.validate());
}

} // namespace
} // namespace vexil::kernel
