// SPDX-License-Identifier: MIT
// Tables of validated handles: slots with generation counts, lock-free lookup and references.
#pragma once

/*
 * A handle is a pointer-sized value made of three fields:
 *   bits  0..31  slot index + 1, so that no handle is null;
 *   bits 32..39  the kind of object, so a pen handle given where an event is expected fails;
 *   bits 40..63  the slot's generation when the object was made (never 0).
 * Each slot keeps a 64-bit stamp: the low half is (generation << 1) | live, the high half
 * counts the references taken with acquire(). A lookup succeeds only when the handle's
 * generation matches the stamp and the live bit is set, so a closed, stale or invented handle
 * fails instead of reaching another object.
 *
 * destroy() clears the live bit at once, so the handle stops working, but the object itself is
 * destroyed, and its slot reused, only once no reference is left. A thread blocked on an
 * object, or a thread still running after its handle was closed, holds such a reference.
 *
 * Slots live in chunks that are allocated on first use and never moved or freed, and each
 * object is built in its slot's own storage. A lookup therefore reads only memory that stays
 * valid for the life of the process and takes no lock; creation and destruction take the
 * table's lock. Tables are meant to be static objects: every member is trivially
 * destructible, so exit() from any thread never tears a table down under another thread.
 */

#include "kernel/futex_lock.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace vexil::kernel {

enum class HandleKind : uint8_t {
    Event = 1,
    Mutex,
    Thread,
    File,
    GlobalMemory,
    DeviceContext = 16,
    Pen,
    Brush,
    Bitmap,
    Region,
    Font,
    Palette,
    Window = 32,
    Menu,
    Cursor,
};

// The kind encoded in a handle value, without validating it.
inline HandleKind handle_kind(const void* handle) noexcept
{
    return static_cast<HandleKind>((reinterpret_cast<uintptr_t>(handle) >> 32) & 0xff);
}

// Whether acquire() may still reach an object whose handle was closed while references remain.
enum class Liveness { LiveOnly, EvenIfClosed };

template <typename T, HandleKind Kind> class HandleTable {
    struct Slot;

public:
    static constexpr uint32_t kChunkSlots = 256;
    static constexpr uint32_t kMaxChunks = 4096; // a million live objects of one kind

    // A counted reference to an object: while it is held, the object is not destroyed even if
    // its handle is closed.
    class Ref {
    public:
        Ref() noexcept = default;
        Ref(Ref&& other) noexcept : m_table(other.m_table), m_slot(std::exchange(other.m_slot, nullptr)) {}
        Ref& operator=(Ref&& other) noexcept
        {
            if (this != &other) {
                reset();
                m_table = other.m_table;
                m_slot = std::exchange(other.m_slot, nullptr);
            }
            return *this;
        }
        Ref(const Ref&) = delete;
        Ref& operator=(const Ref&) = delete;
        ~Ref() { reset(); }

        T* get() const noexcept { return m_slot ? object_in(m_slot) : nullptr; }
        T* operator->() const noexcept { return get(); }
        T& operator*() const noexcept { return *get(); }
        explicit operator bool() const noexcept { return m_slot != nullptr; }

        void reset() noexcept
        {
            if (Slot* slot = std::exchange(m_slot, nullptr))
                m_table->drop_reference(slot);
        }

    private:
        friend class HandleTable;
        Ref(HandleTable* table, Slot* slot) noexcept : m_table(table), m_slot(slot) {}

        HandleTable* m_table = nullptr;
        Slot* m_slot = nullptr;
    };

    // Builds a T in a free slot and returns its handle, or null when no slot or memory can be had.
    template <typename... Args> [[nodiscard]] void* create(Args&&... args)
    {
        FutexLockGuard guard(m_lock);
        Slot* slot = take_free_slot();
        if (!slot)
            return nullptr;
        try {
            new (slot->storage) T(std::forward<Args>(args)...);
        } catch (...) {
            release_slot(slot);
            return nullptr;
        }
        uint32_t generation = slot->generation;
        slot->stamp.store(live_stamp(generation), std::memory_order_release);
        return encode(slot->index, generation);
    }

    // The live object a handle names, or null. Lock-free and allocation-free; the caller must
    // not use the object past a concurrent destroy() of its handle.
    [[nodiscard]] T* lookup(const void* handle) const noexcept
    {
        Slot* slot = find_slot(handle);
        if (!slot)
            return nullptr;
        uint64_t stamp = slot->stamp.load(std::memory_order_acquire);
        return static_cast<uint32_t>(stamp) == live_stamp(generation_of(handle)) ? object_in(slot) : nullptr;
    }

    // A counted reference to the object a handle names, or an empty one. Lock-free.
    [[nodiscard]] Ref acquire(const void* handle, Liveness liveness = Liveness::LiveOnly) noexcept
    {
        Slot* slot = find_slot(handle);
        if (!slot)
            return {};
        uint32_t closed = generation_of(handle) << 1;
        uint64_t stamp = slot->stamp.load(std::memory_order_acquire);
        for (;;) {
            uint32_t low = static_cast<uint32_t>(stamp);
            if ((low & ~kLive) != closed)
                return {};
            bool live = (low & kLive) != 0;
            // A closed object is reachable only while someone else still holds it: once the
            // count is zero its destruction is under way.
            if (!live && (liveness == Liveness::LiveOnly || (stamp >> 32) == 0))
                return {};
            if (slot->stamp.compare_exchange_weak(stamp, stamp + kOneReference, std::memory_order_acquire,
                                                  std::memory_order_acquire))
                return Ref(this, slot);
        }
    }

    // Closes a handle: it stops working at once, and the object is destroyed when no reference
    // is left. False when the handle names no live object.
    bool destroy(const void* handle) noexcept
    {
        FutexLockGuard guard(m_lock);
        Slot* slot = find_slot(handle);
        if (!slot)
            return false;
        uint64_t stamp = slot->stamp.load(std::memory_order_relaxed);
        if (static_cast<uint32_t>(stamp) != live_stamp(generation_of(handle)))
            return false;
        uint64_t before = slot->stamp.fetch_and(~static_cast<uint64_t>(kLive), std::memory_order_acq_rel);
        if ((before >> 32) == 0)
            destroy_object(slot);
        return true;
    }

    // Slots in use: live objects plus closed ones still referenced. For tests.
    [[nodiscard]] uint32_t used_slots() const noexcept
    {
        FutexLockGuard guard(m_lock);
        uint32_t free_slots = 0;
        for (uint32_t next = m_free_head; next != 0; next = slot_at(next - 1)->next_free)
            ++free_slots;
        return m_used - free_slots;
    }

    // Checks the table's invariants: free slots are not live and hold no reference. For tests.
    [[nodiscard]] bool validate() const noexcept
    {
        FutexLockGuard guard(m_lock);
        uint32_t free_slots = 0;
        for (uint32_t next = m_free_head; next != 0; next = slot_at(next - 1)->next_free) {
            if (next > m_used || ++free_slots > m_used)
                return false;
            uint64_t stamp = slot_at(next - 1)->stamp.load(std::memory_order_relaxed);
            if ((stamp & kLive) != 0 || (stamp >> 32) != 0)
                return false;
        }
        return true;
    }

private:
    static constexpr uint32_t kGenerationMask = 0xffffff;
    static constexpr uint32_t kLive = 1;
    static constexpr uint64_t kOneReference = uint64_t{1} << 32;

    struct Slot {
        alignas(T) unsigned char storage[sizeof(T)];
        std::atomic<uint64_t> stamp;
        uint32_t generation; // guarded by the lock
        uint32_t index;
        uint32_t next_free;
    };

    static T* object_in(Slot* slot) noexcept { return std::launder(reinterpret_cast<T*>(slot->storage)); }
    static uint32_t live_stamp(uint32_t generation) noexcept { return (generation << 1) | kLive; }
    static uint32_t generation_of(const void* handle) noexcept
    {
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle) >> 40) & kGenerationMask;
    }

    static void* encode(uint32_t index, uint32_t generation) noexcept
    {
        uintptr_t value = (static_cast<uintptr_t>(generation) << 40) | (static_cast<uintptr_t>(Kind) << 32) |
                          (static_cast<uintptr_t>(index) + 1);
        return reinterpret_cast<void*>(value);
    }

    // The slot a handle's index names, if its kind is right and the slot exists; the stamp is
    // for the caller to check.
    Slot* find_slot(const void* handle) const noexcept
    {
        uintptr_t value = reinterpret_cast<uintptr_t>(handle);
        if (((value >> 32) & 0xff) != static_cast<uintptr_t>(Kind))
            return nullptr;
        uint32_t index_plus_one = static_cast<uint32_t>(value);
        if (index_plus_one == 0 || index_plus_one > kChunkSlots * kMaxChunks)
            return nullptr;
        uint32_t index = index_plus_one - 1;
        Slot* chunk = m_chunks[index / kChunkSlots].load(std::memory_order_acquire);
        return chunk ? &chunk[index % kChunkSlots] : nullptr;
    }

    void drop_reference(Slot* slot) noexcept
    {
        uint64_t before = slot->stamp.fetch_sub(kOneReference, std::memory_order_acq_rel);
        // The last reference to a closed object destroys it; nothing else can reach it now.
        if ((before >> 32) == 1 && (before & kLive) == 0) {
            FutexLockGuard guard(m_lock);
            destroy_object(slot);
        }
    }

    // Called with the lock held, once the slot is closed and unreferenced.
    void destroy_object(Slot* slot) noexcept
    {
        object_in(slot)->~T();
        release_slot(slot);
    }

    // Called with the lock held.
    Slot* take_free_slot() noexcept
    {
        if (m_free_head != 0) {
            Slot* slot = slot_at(m_free_head - 1);
            m_free_head = slot->next_free;
            return slot;
        }
        if (m_used == kChunkSlots * kMaxChunks)
            return nullptr;
        uint32_t chunk_index = m_used / kChunkSlots;
        if (!m_chunks[chunk_index].load(std::memory_order_relaxed)) {
            Slot* chunk = new (std::nothrow) Slot[kChunkSlots];
            if (!chunk)
                return nullptr;
            for (uint32_t i = 0; i < kChunkSlots; ++i) {
                chunk[i].stamp.store(0, std::memory_order_relaxed);
                chunk[i].generation = 0;
                chunk[i].index = chunk_index * kChunkSlots + i;
                chunk[i].next_free = 0;
            }
            m_chunks[chunk_index].store(chunk, std::memory_order_release);
        }
        Slot* slot = slot_at(m_used++);
        return advance_generation(slot);
    }

    // Called with the lock held. The slot's next object gets a new generation, skipping 0.
    void release_slot(Slot* slot) noexcept
    {
        advance_generation(slot);
        slot->next_free = m_free_head;
        m_free_head = slot->index + 1;
    }

    static Slot* advance_generation(Slot* slot) noexcept
    {
        slot->generation = (slot->generation + 1) & kGenerationMask;
        if (slot->generation == 0)
            slot->generation = 1;
        return slot;
    }

    Slot* slot_at(uint32_t index) const noexcept
    {
        return &m_chunks[index / kChunkSlots].load(std::memory_order_relaxed)[index % kChunkSlots];
    }

    std::atomic<Slot*> m_chunks[kMaxChunks] = {};
    mutable FutexLock m_lock;
    uint32_t m_used = 0;      // slots ever handed out; guarded by the lock
    uint32_t m_free_head = 0; // index + 1 of the first free slot, 0 for none; guarded by the lock
};

} // namespace vexil::kernel
