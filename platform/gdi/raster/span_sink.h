// SPDX-License-Identifier: MIT
// A non-owning reference to whatever takes the spans a scan produces.
#pragma once

#include <cstdint>
#include <type_traits>

namespace vexil::raster {

// Calls target(y, x0, x1) for the half-open span [x0, x1) of row y. Holds a pointer to the
// callable, which must outlive the sink (a lambda in the caller's frame).
class SpanSink {
public:
    template <typename F, typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, SpanSink>>>
    SpanSink(F& f) // NOLINT: implicit, so call sites pass a lambda directly
        : m_object(&f), m_call([](void* o, int64_t y, int64_t x0, int64_t x1) { (*static_cast<F*>(o))(y, x0, x1); })
    {
    }

    void operator()(int64_t y, int64_t x0, int64_t x1) const { m_call(m_object, y, x0, x1); }

private:
    void* m_object;
    void (*m_call)(void*, int64_t, int64_t, int64_t);
};

} // namespace vexil::raster
