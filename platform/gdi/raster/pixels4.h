// SPDX-License-Identifier: MIT
// Four pixels at a time, for the row kernels.
#pragma once

#include <cstdint>
#include <cstring>

namespace vexil::raster {

// The compiler's generic vectors: plain SSE2 moves on x86-64. Loads and stores go through
// memcpy, so rows need no particular alignment.
using Pixels4 = uint32_t __attribute__((vector_size(16)));

inline Pixels4 splat4(uint32_t v)
{
    return Pixels4{v, v, v, v};
}

inline Pixels4 load4(const uint32_t* p)
{
    Pixels4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store4(uint32_t* p, Pixels4 v)
{
    std::memcpy(p, &v, sizeof v);
}

} // namespace vexil::raster
