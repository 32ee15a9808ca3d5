// SPDX-License-Identifier: MIT
// Global and local memory: movable blocks behind validated handles, and fixed blocks.
#include "kernel/futex_lock.h"
#include "kernel/handle_table.h"

#include <win32/kernel.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/sysinfo.h>
#include <unordered_map>

/*
 * A GMEM_MOVEABLE block is a handle (a table slot) naming a heap block that may move while it
 * is unlocked; GlobalLock returns its current address and counts locks. A block of size 0 is
 * "discarded" as on Windows: it has no memory and GlobalLock returns null.
 *
 * GMEM_FIXED (and LocalAlloc, whose flags have the same values) returns the address itself, as
 * Windows does, so that callers may use it directly. Fixed blocks are kept in a map from
 * address to size, so that GlobalSize works and a stale or invented address given to
 * GlobalFree or LocalFree fails with ERROR_INVALID_HANDLE instead of corrupting the heap.
 *
 * One lock guards every block's size, address and lock count, and the map.
 */

namespace {

using vexil::kernel::FutexLock;
using vexil::kernel::FutexLockGuard;

struct MovableBlock {
    MovableBlock(unsigned char* block_data, size_t block_size) noexcept
        : data(block_data), size(block_size), capacity(block_size)
    {
    }
    ~MovableBlock() { std::free(data); }
    MovableBlock(const MovableBlock&) = delete;
    MovableBlock& operator=(const MovableBlock&) = delete;

    unsigned char* data; // null while discarded
    size_t size;
    size_t capacity;
    uint32_t locks = 0;
};

struct FixedBlock {
    size_t size;
    size_t capacity;
};

using BlockTable = vexil::kernel::HandleTable<MovableBlock, vexil::kernel::HandleKind::GlobalMemory>;

constinit BlockTable s_blocks;
constinit FutexLock s_memory_lock;
// Made on first use and never destroyed, so exit() cannot take it away from another thread.
std::unordered_map<void*, FixedBlock>* s_fixed_blocks = nullptr; // guarded by s_memory_lock

constexpr UINT kAllocFlags = GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE;

// More than the machine's memory and swap can never be had: refuse it before asking the heap,
// which might otherwise promise it and fail only when the pages are touched.
size_t largest_block() noexcept
{
    static const size_t largest = [] {
        struct sysinfo info {};
        if (sysinfo(&info) != 0)
            return size_t{1} << 40;
        constexpr size_t kAddressSpace = size_t{1} << 47;
        size_t total = 0;
        if (__builtin_mul_overflow(size_t{info.totalram} + info.totalswap, size_t{info.mem_unit}, &total))
            return kAddressSpace;
        return total > kAddressSpace ? kAddressSpace : total;
    }();
    return largest;
}

template <typename T> T fail(DWORD error, T result) noexcept
{
    SetLastError(error);
    return result;
}

// Called with the memory lock held.
FixedBlock* find_fixed(const void* address) noexcept
{
    if (!s_fixed_blocks)
        return nullptr;
    auto found = s_fixed_blocks->find(const_cast<void*>(address));
    return found != s_fixed_blocks->end() ? &found->second : nullptr;
}

// Called with the memory lock held. Registers a fixed block; false when no memory can be had.
bool remember_fixed(void* address, FixedBlock block) noexcept
{
    try {
        if (!s_fixed_blocks)
            s_fixed_blocks = new std::unordered_map<void*, FixedBlock>();
        s_fixed_blocks->insert_or_assign(address, block);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Resizes a heap block: in place within its capacity, else by moving when allowed. Growth
// beyond the old size is zeroed on request. On failure nothing changes.
bool resize(unsigned char*& data, size_t& size, size_t& capacity, size_t bytes, bool may_move, bool zero) noexcept
{
    if (bytes > capacity) {
        if (!may_move)
            return false;
        auto* moved = static_cast<unsigned char*>(std::realloc(data, bytes));
        if (!moved)
            return false;
        data = moved;
        capacity = bytes;
    }
    if (zero && bytes > size)
        std::memset(data + size, 0, bytes - size);
    size = bytes;
    return true;
}

} // namespace

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes)
{
    if ((uFlags & ~kAllocFlags) != 0)
        return fail<HGLOBAL>(ERROR_INVALID_PARAMETER, nullptr);
    if (dwBytes > largest_block())
        return fail<HGLOBAL>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    bool zero = (uFlags & GMEM_ZEROINIT) != 0;
    size_t bytes = dwBytes;
    unsigned char* data = nullptr;
    if (bytes != 0 || (uFlags & GMEM_MOVEABLE) == 0) {
        // A fixed block of 0 bytes still has an address of its own.
        size_t heap_bytes = bytes != 0 ? bytes : 1;
        data = static_cast<unsigned char*>(zero ? std::calloc(1, heap_bytes) : std::malloc(heap_bytes));
        if (!data)
            return fail<HGLOBAL>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    }
    if (uFlags & GMEM_MOVEABLE) {
        HGLOBAL handle = s_blocks.create(data, bytes);
        if (!handle) {
            std::free(data);
            return fail<HGLOBAL>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
        }
        return handle;
    }
    FutexLockGuard guard(s_memory_lock);
    if (!remember_fixed(data, FixedBlock{bytes, bytes != 0 ? bytes : 1})) {
        std::free(data);
        return fail<HGLOBAL>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    }
    return data;
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags)
{
    // GMEM_MODIFY changes attributes that blocks here do not have (discardable, movable).
    if ((uFlags & ~kAllocFlags) != 0)
        return fail<HGLOBAL>(ERROR_INVALID_PARAMETER, nullptr);
    if (dwBytes > largest_block())
        return fail<HGLOBAL>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    bool zero = (uFlags & GMEM_ZEROINIT) != 0;
    FutexLockGuard guard(s_memory_lock);
    if (MovableBlock* block = s_blocks.lookup(hMem)) {
        // Windows moves a locked block only when GMEM_MOVEABLE says so; the handle stays.
        bool may_move = block->locks == 0 || (uFlags & GMEM_MOVEABLE) != 0;
        if (dwBytes == 0 && block->locks == 0) {
            std::free(block->data);
            block->data = nullptr;
            block->size = block->capacity = 0;
            return hMem;
        }
        if (!resize(block->data, block->size, block->capacity, dwBytes, may_move, zero))
            return fail<HGLOBAL>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
        return hMem;
    }
    FixedBlock* fixed = find_fixed(hMem);
    if (!fixed)
        return fail<HGLOBAL>(ERROR_INVALID_HANDLE, nullptr);
    auto* data = static_cast<unsigned char*>(hMem);
    FixedBlock resized = *fixed;
    size_t bytes = dwBytes != 0 ? dwBytes : 1;
    bool may_move = (uFlags & GMEM_MOVEABLE) != 0;
    try {
        // Room for the entry under a moved address, so that nothing can fail once the block moved.
        s_fixed_blocks->reserve(s_fixed_blocks->size() + 1);
    } catch (const std::bad_alloc&) {
        return fail<HGLOBAL>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    }
    if (!resize(data, resized.size, resized.capacity, bytes, may_move, zero))
        return fail<HGLOBAL>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    resized.size = dwBytes;
    auto entry = s_fixed_blocks->extract(hMem);
    entry.key() = data;
    entry.mapped() = resized;
    s_fixed_blocks->insert(std::move(entry));
    return data;
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem)
{
    FutexLockGuard guard(s_memory_lock);
    if (MovableBlock* block = s_blocks.lookup(hMem)) {
        if (!block->data)
            return fail<LPVOID>(ERROR_DISCARDED, nullptr);
        ++block->locks;
        return block->data;
    }
    return find_fixed(hMem) ? hMem : fail<LPVOID>(ERROR_INVALID_HANDLE, nullptr);
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem)
{
    FutexLockGuard guard(s_memory_lock);
    MovableBlock* block = s_blocks.lookup(hMem);
    if (!block)
        return fail<BOOL>(find_fixed(hMem) ? ERROR_NOT_LOCKED : ERROR_INVALID_HANDLE, FALSE);
    if (block->locks == 0)
        return fail<BOOL>(ERROR_NOT_LOCKED, FALSE);
    // Still locked: TRUE. Now unlocked: FALSE with no error, as Windows reports it.
    if (--block->locks != 0)
        return TRUE;
    return fail<BOOL>(NO_ERROR, FALSE);
}

SIZE_T WINAPI GlobalSize(HGLOBAL hMem)
{
    FutexLockGuard guard(s_memory_lock);
    if (MovableBlock* block = s_blocks.lookup(hMem))
        return block->size;
    if (FixedBlock* fixed = find_fixed(hMem))
        return fixed->size;
    return fail<SIZE_T>(ERROR_INVALID_HANDLE, 0);
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem)
{
    if (!hMem)
        return nullptr;
    FutexLockGuard guard(s_memory_lock);
    // Windows frees a block even while it is locked.
    if (s_blocks.destroy(hMem))
        return nullptr;
    if (!find_fixed(hMem))
        return fail<HGLOBAL>(ERROR_INVALID_HANDLE, hMem);
    s_fixed_blocks->erase(hMem);
    std::free(hMem);
    return nullptr;
}

// Local memory is global memory: the flags have the same values and meanings.
HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes)
{
    return GlobalAlloc(uFlags, uBytes);
}

HLOCAL WINAPI LocalFree(HLOCAL hMem)
{
    return GlobalFree(hMem);
}
