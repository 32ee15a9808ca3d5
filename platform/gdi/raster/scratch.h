// SPDX-License-Identifier: MIT
// Buffers each thread reuses from call to call, so primitives allocate only for a figure
// larger than any drawn before on that thread.
#pragma once

#include <cstddef>
#include <new>
#include <stdexcept>
#include <vector>

namespace vexil::raster {

// Runs `grow`, a vector operation that may allocate; false (and no exception) when memory is short.
template <typename Grow> [[nodiscard]] bool grows_without_throwing(Grow&& grow)
{
    try {
        grow();
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

// Grows `buffer` to at least `size` elements; false when memory is short.
template <typename T> [[nodiscard]] bool ensure_size(std::vector<T>& buffer, size_t size)
{
    return buffer.size() >= size || grows_without_throwing([&] { buffer.resize(size); });
}

// Reserves room for `size` elements; false when memory is short.
template <typename T> [[nodiscard]] bool ensure_capacity(std::vector<T>& buffer, size_t size)
{
    return buffer.capacity() >= size || grows_without_throwing([&] { buffer.reserve(size); });
}

// Appends `value`; false when memory is short.
template <typename T> [[nodiscard]] bool push_back_checked(std::vector<T>& buffer, const T& value)
{
    return grows_without_throwing([&] { buffer.push_back(value); });
}

} // namespace vexil::raster
