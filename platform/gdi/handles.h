// SPDX-License-Identifier: MIT
// The handle tables of GDI's objects and device contexts, and lookups that set the last error.
#pragma once

#include "gdi/dc.h"
#include "gdi/objects.h"
#include "kernel/handle_table.h"

#include <win32/kernel.h>

namespace vexil::gdi {

using kernel::HandleKind;

// Each object type names its handle kind as kKind.
template <typename T> using GdiTable = kernel::HandleTable<T, T::kKind>;

// The process-wide table of each kind: constant-initialised, trivially destructible, so never
// torn down under another thread at exit.
template <typename T> constinit inline GdiTable<T> g_table{};

template <typename T> GdiTable<T>& table()
{
    return g_table<T>;
}

// The live object a handle names, or null with ERROR_INVALID_HANDLE set.
template <typename T> [[nodiscard]] T* find(const void* handle)
{
    T* object = table<T>().lookup(handle);
    if (!object)
        SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

// The same lookup that leaves the last error alone, for type dispatch.
template <typename T> [[nodiscard]] T* peek(const void* handle)
{
    return table<T>().lookup(handle);
}

// Builds an object in its table; null with ERROR_NOT_ENOUGH_MEMORY when no slot can be had.
template <typename T, typename... Args> [[nodiscard]] void* make(Args&&... args)
{
    void* handle = table<T>().create(std::forward<Args>(args)...);
    if (!handle)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return handle;
}

} // namespace vexil::gdi
