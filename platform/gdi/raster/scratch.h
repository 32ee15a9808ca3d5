// SPDX-License-Identifier: MIT
// Buffers each thread reuses from call to call, so primitives allocate only for a figure
// larger than any drawn before on that thread.
#pragma once

#include <cstddef>
#include <new>
#include <stdexcept>
#include <vector>

namespace vexil::raster {

// Grows `buffer` to at least `size` elements; false (and no exception) when memory is short.
template <typename T>
[[nodiscard]] bool ensure_size(std::vector<T>& buffer, size_t size)
{
    if (buffer.size() >= size)
        return true;
    try {
        buffer.resize(size);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

// Reserves room for `size` elements; false (and no exception) when memory is short.
template <typename T>
[[nodiscard]] bool ensure_capacity(std::vector<T>& buffer, size_t size)
{
    if (buffer.capacity() >= size)
        return true;
    try {
        buffer.reserve(size);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

// Appends `value`; false (and no exception) when memory is short.
template <typename T>
[[nodiscard]] bool push_back_checked(std::vector<T>& buffer, const T& value)
{
    try {
        buffer.push_back(value);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

} // namespace vexil::raster
