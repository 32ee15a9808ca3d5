// SPDX-License-Identifier: MIT
// The ellipse region's rows and the exact tests of angular sweeps.
#include "gdi/raster/ellipse_geometry.h"

#include <cmath>
#include <numbers>

namespace vexil::raster {

EllipseShape::EllipseShape(Rect64 box)
    : m_box(box), m_a(box.right - 1 - box.left), m_b(box.bottom - 1 - box.top), m_cx2(box.left + box.right - 1),
      m_cy2(box.top + box.bottom - 1), m_exact(m_a < (int64_t{1} << 31) && m_b < (int64_t{1} << 31))
{
}

int64_t EllipseShape::half_width(int64_t y) const
{
    if (y < m_box.top || y >= m_box.bottom)
        return -1;
    const int64_t Y = 2 * y - m_cy2;
    const double ratio = double(Y) / (double(m_b) + 1);
    const double estimate = (double(m_a) + 1) * std::sqrt(std::fmax(0.0, 1.0 - ratio * ratio));
    // X has the parity of A (X = 2x - (l + r - 1)); start from the estimate, then settle it
    // with the exact test, which moves it by a step or two at most.
    int64_t x = std::min<int64_t>(std::llround(estimate), m_a);
    if ((m_a - x) % 2 != 0)
        --x;
    auto settle = [&](auto inside) {
        while (x >= 0 && !inside(x))
            x -= 2;
        while (x + 2 <= m_a && inside(x + 2))
            x += 2;
        return x;
    };
    if (m_a < kSmall && m_b < kSmall) {
        const int64_t P = m_a + 1, Q = m_b + 1, rhs = P * P * (Q * Q - Y * Y);
        return settle([&](int64_t X) { return X * X * Q * Q < rhs; });
    }
    if (m_exact) {
        const Int128 P = Int128(m_a) + 1, Q = Int128(m_b) + 1;
        const Int128 rhs = P * P * (Q * Q - Int128(Y) * Y);
        return settle([&](int64_t X) { return Int128(X) * X * Q * Q < rhs; });
    }
    const long double p = (long double)(m_a) + 1, lratio = (long double)(Y) / ((long double)(m_b) + 1);
    return settle([&](int64_t X) {
        const long double rx = (long double)(X) / p;
        return rx * rx + lratio * lratio < 1.0L;
    });
}

bool EllipseShape::row(int64_t y, int64_t& x0, int64_t& x1) const
{
    const int64_t h = half_width(y);
    if (h < 0)
        return false;
    x0 = (m_cx2 - h) / 2;
    x1 = (m_cx2 + h) / 2;
    return true;
}

Sweep::Sweep(Int128 start_x, Int128 start_y, Int128 end_x, Int128 end_y)
    : m_sx(start_x), m_sy(start_y), m_ex(end_x), m_ey(end_y)
{
    if (m_sx == 0 && m_sy == 0)
        m_sx = 1;
    if (m_ex == 0 && m_ey == 0)
        m_ex = 1;
    const Int128 cross = m_sx * m_ey - m_sy * m_ex;
    const Int128 dot = m_sx * m_ex + m_sy * m_ey;
    m_full = cross == 0 && dot > 0;
}

// Counter-clockwise on the page is clockwise in the page's own axes (y down), so the tests
// below use the cross product with its sign turned: positive means "further along the sweep".
int Sweep::half(Int128 x, Int128 y) const
{
    const Int128 cross = m_sy * x - m_sx * y; // start x (x, y), turned
    const Int128 dot = m_sx * x + m_sy * y;
    return (cross > 0 || (cross == 0 && dot > 0)) ? 0 : 1;
}

bool Sweep::contains(Int128 x, Int128 y) const
{
    if (m_full || (x == 0 && y == 0))
        return true;
    const int hp = half(x, y), he = half(m_ex, m_ey);
    if (hp != he)
        return hp < he;
    return y * m_ex - x * m_ey >= 0; // (x, y) at or before the end, turned
}

bool Sweep::on_ray(Int128 dx, Int128 dy, Int128 x, Int128 y)
{
    const Int128 cross = dx * y - dy * x;
    const Int128 reach = (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy); // the square's corners at +-1
    return dx * x + dy * y > 0 && (cross < 0 ? -cross : cross) <= reach;
}

double Sweep::angle_from_start(Int128 x, Int128 y) const
{
    // Angles counter-clockwise on the page: flip y to the usual axes.
    const double a = std::atan2(-double(y), double(x)) - std::atan2(-double(m_sy), double(m_sx));
    return a < 0 ? a + 2 * std::numbers::pi : a;
}

} // namespace vexil::raster
