// SPDX-License-Identifier: MIT
// A 128-bit integer for the few products of 64-bit coordinates that need it.
#pragma once

#include <cstdint>

namespace vexil::raster {

// GCC and Clang provide 128-bit integers on 64-bit targets; __extension__ keeps -Wpedantic quiet.
__extension__ using Int128 = __int128;

inline int64_t clamp_to_int64(Int128 v)
{
    constexpr Int128 lo = INT64_MIN;
    constexpr Int128 hi = INT64_MAX;
    return static_cast<int64_t>(v < lo ? lo : v > hi ? hi : v);
}

inline bool fits_int64(Int128 v)
{
    return v >= INT64_MIN && v <= INT64_MAX;
}

// Floor and ceiling of n / d for d > 0. Most operands fit 64 bits, and a 64-bit division is
// many times faster than a 128-bit one, so that case goes first.
inline Int128 floor_div(Int128 n, Int128 d)
{
    if (fits_int64(n) && fits_int64(d) && n != INT64_MIN) {
        const int64_t a = int64_t(n), b = int64_t(d);
        const int64_t q = a / b;
        return (a % b != 0 && a < 0) ? q - 1 : q;
    }
    const Int128 q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

inline Int128 ceil_div(Int128 n, Int128 d)
{
    if (fits_int64(n) && fits_int64(d) && n != INT64_MIN) {
        const int64_t a = int64_t(n), b = int64_t(d);
        const int64_t q = a / b;
        return (a % b != 0 && a > 0) ? q + 1 : q;
    }
    const Int128 q = n / d;
    return (n % d != 0 && n > 0) ? q + 1 : q;
}

} // namespace vexil::raster
