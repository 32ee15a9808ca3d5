// SPDX-License-Identifier: MIT
// The pixels of an ellipse inscribed in a box: its region row by row, its outline, and angular sweeps.
#pragma once

#include "gdi/raster/geometry.h"
#include "gdi/raster/wide.h"

#include <algorithm>
#include <cstdint>

namespace vexil::raster {

/*
 * In doubled coordinates relative to the centre (X = 2x - (l + r - 1), Y = 2y - (t + b - 1),
 * so a half-integer centre needs no fractions), the ellipse through the box's points has
 * radii A = r - 1 - l and B = b - 1 - t. Its region is the pixels whose centres lie strictly
 * inside the ellipse half a pixel larger:
 *     X^2 (B + 1)^2 + Y^2 (A + 1)^2 < (A + 1)^2 (B + 1)^2,
 * which on each row is one run centred on the centre, reaching the box's edges at its widest
 * row and column. So every pixel lies within the box, and a circle of radius r is the
 * familiar midpoint circle. The outline is the region's pixels with a 4-neighbour outside it:
 * 8-connected and closed, and a 4-connected fill started inside it cannot leave.
 * Exact in 128-bit arithmetic while A and B are below 2^31; beyond that (boxes wider than any
 * surface) in long double.
 */
class EllipseShape {
public:
    // `box` normalised and not empty, its corners within the coordinate limit.
    explicit EllipseShape(Rect64 box);

    const Rect64& box() const { return m_box; }
    int64_t centre_x2() const { return m_cx2; } // 2 * centre
    int64_t centre_y2() const { return m_cy2; }
    int64_t radius_x2() const { return m_a; } // doubled radii A and B
    int64_t radius_y2() const { return m_b; }

    // The region's run on row y as [x0, x1] (inclusive); false when the row has none.
    bool row(int64_t y, int64_t& x0, int64_t& x1) const;

    // Calls run(y, x0, x1) (inclusive, x0 <= x1) for the outline's runs on rows [top, bottom),
    // rows in order, left to right: one or two runs per row.
    template <typename Run>
    void outline(int64_t top, int64_t bottom, Run&& run) const;

private:
    int64_t half_width(int64_t y) const; // largest X on row y, or -1

    // Below this both radii keep the exact test within 64 bits: (A + 1)^2 (B + 1)^2 < 2^62.
    static constexpr int64_t kSmall = int64_t{1} << 15;

    Rect64 m_box;
    int64_t m_a, m_b, m_cx2, m_cy2;
    bool m_exact;
};

// The directions from a centre swept counter-clockwise on the page (y down) from a start ray
// to an end ray, in doubled coordinates relative to the centre. Rays that coincide sweep the
// whole turn; a zero direction counts as the positive x axis.
class Sweep {
public:
    Sweep(Int128 start_x, Int128 start_y, Int128 end_x, Int128 end_y);

    bool full() const { return m_full; }
    // Whether the direction (x, y) lies in the sweep, ends included; (0, 0) always does.
    bool contains(Int128 x, Int128 y) const;
    // Whether the pixel square of side 2 (doubled) centred on (x, y) meets the start or end ray.
    bool on_start_ray(Int128 x, Int128 y) const { return on_ray(m_sx, m_sy, x, y); }
    bool on_end_ray(Int128 x, Int128 y) const { return on_ray(m_ex, m_ey, x, y); }
    // Angle from the start ray, counter-clockwise on the page, in [0, 2 pi).
    double angle_from_start(Int128 x, Int128 y) const;

    Int128 start_x() const { return m_sx; }
    Int128 start_y() const { return m_sy; }
    Int128 end_x() const { return m_ex; }
    Int128 end_y() const { return m_ey; }

private:
    static bool on_ray(Int128 dx, Int128 dy, Int128 x, Int128 y);
    int half(Int128 x, Int128 y) const;

    Int128 m_sx, m_sy, m_ex, m_ey; // page coordinates (y down)
    bool m_full;
};

template <typename Run>
void EllipseShape::outline(int64_t top, int64_t bottom, Run&& run) const
{
    top = top < m_box.top ? m_box.top : top;
    bottom = bottom > m_box.bottom ? m_box.bottom : bottom;
    if (top >= bottom)
        return;
    // A window of three rows: above, this, below.
    int64_t ux0 = 0, ux1 = -1, x0 = 0, x1 = -1, dx0 = 0, dx1 = -1;
    bool up = row(top - 1, ux0, ux1);
    bool here = row(top, x0, x1);
    for (int64_t y = top; y < bottom; ++y) {
        const bool down = row(y + 1, dx0, dx1);
        if (here) {
            int64_t in0 = x0 + 1, in1 = x1 - 1;
            if (up && down) {
                in0 = in0 > ux0 ? in0 : ux0;
                in0 = in0 > dx0 ? in0 : dx0;
                in1 = in1 < ux1 ? in1 : ux1;
                in1 = in1 < dx1 ? in1 : dx1;
            }
            if (!up || !down || in0 > in1) {
                run(y, x0, x1);
            } else {
                if (x0 < in0)
                    run(y, x0, in0 - 1);
                if (in1 < x1)
                    run(y, in1 + 1, x1);
            }
        }
        up = here;
        ux0 = x0;
        ux1 = x1;
        here = down;
        x0 = dx0;
        x1 = dx1;
    }
}

} // namespace vexil::raster
