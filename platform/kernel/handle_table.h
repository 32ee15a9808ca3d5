// SPDX-License-Identifier: MIT
// Tables of validated handles: slots with generation counts and lock-free lookup.
#pragma once

/*
 * A handle is a pointer-sized value made of three fields:
 *   bits  0..31  slot index + 1, so that no handle is null;
 *   bits 32..39  the kind of object, so a pen handle given where an event is expected fails;
 *   bits 40..63  the slot's generation when the object was made (never 0).
 * Each slot keeps a stamp, (generation << 1) | live. A lookup succeeds only when the handle's
 * generation matches the stamp and the live bit is set, so a closed, stale or invented handle
 * fails instead of reaching another object.
 *
 * Slots live in chunks that are allocated on first use and never moved or freed, and each
 * object is built in its slot's own storage. A lookup therefore reads only memory that stays
 * valid for the life of the process and takes no lock; creation and destruction take the
 * table's spin lock. Tables are meant to be static objects: every member is trivially
 * destructible, so exit() from any thread never tears a table down under another thread.
 */

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <thread>
#include <type_traits>
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

// A lock for the rare paths (creation, destruction): trivially destructible, unlike std::mutex
// on every platform, so static tables need no destructor.
class SpinLock {
public:
    void lock() noexcept
    {
        for (int spins = 0; m_flag.test_and_set(std::memory_order_acquire); ++spins) {
            if (spins > 64)
                std::this_thread::yield();
        }
    }
    void unlock() noexcept { m_flag.clear(std::memory_order_release); }

private:
    std::atomic_flag m_flag = ATOMIC_FLAG_INIT;
};

template <typename T, HandleKind Kind> class HandleTable {
public:
    static constexpr uint32_t kChunkSlots = 256;
    static constexpr uint32_t kMaxChunks = 4096; // a million live objects of one kind

    // Builds a T in a free slot and returns its handle, or null when no slot or memory can be had.
    template <typename... Args> [[nodiscard]] void* create(Args&&... args)
    {
        m_lock.lock();
        Slot* slot = take_free_slot();
        if (!slot) {
            m_lock.unlock();
            return nullptr;
        }
        try {
            new (slot->storage) T(std::forward<Args>(args)...);
        } catch (...) {
            release_slot(slot);
            m_lock.unlock();
            return nullptr;
        }
        uint32_t generation = slot->generation;
        slot->stamp.store((generation << 1) | 1, std::memory_order_release);
        m_lock.unlock();
        return encode(slot->index, generation);
    }

    // The live object a handle names, or null. Lock-free and allocation-free.
    [[nodiscard]] T* lookup(const void* handle) const noexcept
    {
        Slot* slot = find_slot(handle);
        return slot ? std::launder(reinterpret_cast<T*>(slot->storage)) : nullptr;
    }

    // Destroys the object a handle names; false when the handle names no live object.
    bool destroy(const void* handle) noexcept
    {
        m_lock.lock();
        Slot* slot = find_slot(handle);
        if (!slot) {
            m_lock.unlock();
            return false;
        }
        slot->stamp.store(slot->generation << 1, std::memory_order_release);
        std::launder(reinterpret_cast<T*>(slot->storage))->~T();
        release_slot(slot);
        m_lock.unlock();
        return true;
    }

private:
    static constexpr uint32_t kGenerationMask = 0xffffff;

    struct Slot {
        alignas(T) unsigned char storage[sizeof(T)];
        std::atomic<uint32_t> stamp;
        uint32_t generation; // guarded by the lock
        uint32_t index;
        uint32_t next_free;
    };

    static void* encode(uint32_t index, uint32_t generation) noexcept
    {
        uintptr_t value = (static_cast<uintptr_t>(generation) << 40) | (static_cast<uintptr_t>(Kind) << 32) |
                          (static_cast<uintptr_t>(index) + 1);
        return reinterpret_cast<void*>(value);
    }

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
        if (!chunk)
            return nullptr;
        Slot* slot = &chunk[index % kChunkSlots];
        uint32_t generation = static_cast<uint32_t>(value >> 40) & kGenerationMask;
        if (slot->stamp.load(std::memory_order_acquire) != ((generation << 1) | 1))
            return nullptr;
        return slot;
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
    SpinLock m_lock;
    uint32_t m_used = 0;      // slots ever handed out; guarded by the lock
    uint32_t m_free_head = 0; // index + 1 of the first free slot, 0 for none; guarded by the lock
};

} // namespace vexil::kernel
