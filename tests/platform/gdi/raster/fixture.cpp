// SPDX-License-Identifier: MIT
// The ASCII-art test surface.
#include "fixture.h"

#include <algorithm>
#include <sstream>

namespace vexil::raster::testing {

TestSurface::TestSurface(int32_t width, int32_t height, uint32_t fill)
{
    const int32_t stride = width + 2 * kGuard;
    m_storage.assign(size_t(stride) * size_t(height + 2 * kGuard), kGuardValue);
    uint32_t* origin = m_storage.data() + size_t(kGuard) * size_t(stride) + kGuard;
    m_surface = Surface{origin, width, height, stride};
    for (int32_t y = 0; y < height; ++y)
        std::fill_n(m_surface.row(y), width, fill);
    m_clip = ClipList::whole(m_surface);
}

std::vector<uint32_t> TestSurface::pixels() const
{
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < height(); ++y)
        out.insert(out.end(), m_surface.row(y), m_surface.row(y) + width());
    return out;
}

std::string TestSurface::ascii(uint32_t background) const
{
    std::string out;
    for (int32_t y = 0; y < height(); ++y) {
        for (int32_t x = 0; x < width(); ++x)
            out += at(x, y) == background ? '.' : '#';
        out += '\n';
    }
    return out;
}

std::string TestSurface::ascii(const std::vector<std::pair<uint32_t, char>>& legend) const
{
    std::string out;
    for (int32_t y = 0; y < height(); ++y) {
        for (int32_t x = 0; x < width(); ++x) {
            char c = '?';
            for (const auto& [value, ch] : legend)
                if (at(x, y) == value)
                    c = ch;
            out += c;
        }
        out += '\n';
    }
    return out;
}

bool TestSurface::guard_intact() const
{
    const int32_t stride = m_surface.stride;
    for (size_t i = 0; i < m_storage.size(); ++i) {
        const int32_t y = int32_t(i / size_t(stride)) - kGuard;
        const int32_t x = int32_t(i % size_t(stride)) - kGuard;
        const bool inside = x >= 0 && x < width() && y >= 0 && y < height();
        if (!inside && m_storage[i] != kGuardValue)
            return false;
    }
    return true;
}

Box TestSurface::ink_bounds(uint32_t background) const
{
    Box b{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int32_t y = 0; y < height(); ++y)
        for (int32_t x = 0; x < width(); ++x)
            if (at(x, y) != background)
                b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1), std::max(b.bottom, y + 1)};
    return b.empty() ? Box{} : b;
}

int64_t TestSurface::count(uint32_t value) const
{
    int64_t n = 0;
    for (int32_t y = 0; y < height(); ++y)
        n += std::count(m_surface.row(y), m_surface.row(y) + width(), value);
    return n;
}

std::string art(std::initializer_list<const char*> rows)
{
    std::string out;
    for (const char* row : rows) {
        out += row;
        out += '\n';
    }
    return out;
}

::testing::AssertionResult same_picture(const std::string& expected, const std::string& actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    std::istringstream e(expected), a(actual);
    std::ostringstream msg;
    msg << "expected | actual\n";
    std::string le, la;
    while (true) {
        const bool more_e = bool(std::getline(e, le));
        const bool more_a = bool(std::getline(a, la));
        if (!more_e && !more_a)
            break;
        if (!more_e)
            le.clear();
        if (!more_a)
            la.clear();
        msg << le << std::string(le.size() < la.size() ? la.size() - le.size() : 0, ' ') << " | " << la
            << (le == la ? "" : "   <") << '\n';
    }
    return ::testing::AssertionFailure() << msg.str();
}

} // namespace vexil::raster::testing
