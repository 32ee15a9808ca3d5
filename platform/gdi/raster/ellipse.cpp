// SPDX-License-Identifier: MIT
// Ellipse, Arc and Pie: one-pixel outlines from the ellipse's region, wide ones from a flattened curve.
#include "gdi/raster/ellipse.h"

#include "gdi/raster/dash.h"
#include "gdi/raster/ellipse_geometry.h"
#include "gdi/raster/figure.h"
#include "gdi/raster/scratch.h"
#include "gdi/raster/stroke.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace vexil::raster {

/*
 * One-pixel pens draw the outline of the ellipse's region (EllipseShape). An arc keeps the
 * outline pixels whose centres lie in the sweep, plus those whose squares the start and end
 * rays cross, so an open arc has both end pixels (its caps). Dashes count outline pixels in
 * the order of their angle from the start ray. A pie adds one-pixel lines from the centre to
 * where the rays meet the ellipse, and fills the region's pixels in the sweep.
 * Wide pens stroke the ellipse through the box's points flattened into short segments (no
 * point more than 0.2 pixel off the curve), with the caps and joins of polylines; the fill is
 * the same region, minus the stroke.
 */

namespace {

thread_local SpanSet s_outline;
thread_local std::vector<PointD> s_curve;

struct OrderedPixel {
    double angle;
    int64_t x, y;
};
thread_local std::vector<OrderedPixel> s_ordered;

bool valid_box(Rect64& box)
{
    box = box.normalized();
    return !box.empty() && within_coordinate_limit({box.left, box.top}) &&
           within_coordinate_limit({box.right, box.bottom});
}

Sweep make_sweep(const EllipseShape& e, Point64 start, Point64 end, ArcDirection direction)
{
    const Int128 sx = Int128(2) * start.x - e.centre_x2(), sy = Int128(2) * start.y - e.centre_y2();
    const Int128 ex = Int128(2) * end.x - e.centre_x2(), ey = Int128(2) * end.y - e.centre_y2();
    // Clockwise from start to end covers what counter-clockwise from end to start does.
    return direction == ArcDirection::CounterClockwise ? Sweep(sx, sy, ex, ey) : Sweep(ex, ey, sx, sy);
}

// The outline pixels of the sweep within `bounds`, in row order, each to plot(x, y).
template <typename Plot>
void arc_pixels(const EllipseShape& e, const Sweep& sweep, const Rect64& bounds, Plot&& plot)
{
    e.outline(bounds.top, bounds.bottom, [&](int64_t y, int64_t x0, int64_t x1) {
        x0 = std::max<int64_t>(x0, bounds.left);
        x1 = std::min<int64_t>(x1, bounds.right - 1);
        for (int64_t x = x0; x <= x1; ++x) {
            const Int128 px = Int128(2) * x - e.centre_x2(), py = Int128(2) * y - e.centre_y2();
            if (sweep.contains(px, py) || sweep.on_start_ray(px, py) || sweep.on_end_ray(px, py))
                plot(x, y);
        }
    });
}

// Where a ray from the centre meets the ellipse through the box's points, to the nearest pixel.
Point64 ray_end(const EllipseShape& e, Int128 dx, Int128 dy)
{
    const long double a = (long double)(e.radius_x2()), b = (long double)(e.radius_y2());
    const long double fx = a > 0 ? (long double)(dx) / a : 0, fy = b > 0 ? (long double)(dy) / b : 0;
    const long double norm = std::sqrt(fx * fx + fy * fy);
    const long double t = norm > 0 ? 1 / norm : 0;
    const long double x = ((long double)(e.centre_x2()) + t * (long double)(dx)) / 2;
    const long double y = ((long double)(e.centre_y2()) + t * (long double)(dy)) / 2;
    return {std::llround(x), std::llround(y)};
}

Point64 centre_pixel(const EllipseShape& e)
{
    // floor(centre): a half-integer centre takes the pixel up and left of it.
    return {e.centre_x2() >> 1, e.centre_y2() >> 1};
}

// The one-pixel outline of an arc or pie into s_outline (cleared to the bounds already).
[[nodiscard]] bool one_pixel_outline(const Pen& pen, const EllipseShape& e, const Sweep& sweep, bool pie)
{
    const Box& bounds = s_outline.bounds();
    const Rect64 visible{bounds.left, bounds.top, bounds.right, bounds.bottom};
    const DashPattern pattern(pen);
    const Point64 centre = centre_pixel(e);
    const Point64 start = ray_end(e, sweep.start_x(), sweep.start_y());
    const Point64 end = ray_end(e, sweep.end_x(), sweep.end_y());
    bool ok = true;
    if (pattern.solid()) {
        if (sweep.full() && !pie) {
            e.outline(bounds.top, bounds.bottom,
                      [&](int64_t y, int64_t x0, int64_t x1) { ok = ok && s_outline.add_span(y, x0, x1 + 1); });
            return ok;
        }
        arc_pixels(e, sweep, visible, [&](int64_t x, int64_t y) { ok = ok && s_outline.add_pixel(x, y); });
        if (pie) {
            auto plot = [&](int64_t x, int64_t y) { ok = ok && s_outline.add_pixel(x, y); };
            step_segment(centre, start, true, bounds, nullptr, plot);
            step_segment(centre, end, true, bounds, nullptr, plot);
        }
        return ok && s_outline.normalize();
    }
    // Dashed: every pixel of the path in order, then the pattern along it. The whole arc is
    // walked, off the page too, since the pattern's phase depends on it; beyond a size no page
    // has, only the visible part is, so the walk stays bounded by the page.
    constexpr int64_t kWalkLimit = int64_t{1} << 20;
    const bool walk_all = e.box().right - e.box().left <= kWalkLimit && e.box().bottom - e.box().top <= kWalkLimit;
    s_ordered.clear();
    auto keep = [&](int64_t x, int64_t y, double angle) {
        ok = ok && push_back_checked(s_ordered, OrderedPixel{angle, x, y});
    };
    const Rect64 walked = walk_all ? e.box() : visible;
    arc_pixels(e, sweep, walked, [&](int64_t x, int64_t y) {
        const Int128 px = Int128(2) * x - e.centre_x2(), py = Int128(2) * y - e.centre_y2();
        double angle = sweep.angle_from_start(px, py);
        // A start pixel just before the start ray belongs at the beginning, not the end.
        if (angle > std::numbers::pi && sweep.on_start_ray(px, py))
            angle -= 2 * std::numbers::pi;
        keep(x, y, angle);
    });
    std::sort(s_ordered.begin(), s_ordered.end(),
              [](const OrderedPixel& a, const OrderedPixel& b) { return a.angle < b.angle; });
    DashWalker walker(pattern);
    auto plot = [&](int64_t x, int64_t y) { ok = ok && s_outline.add_pixel(x, y); };
    if (pie) {
        // Centre to the start (its last pixel is the arc's first), the arc, the end back to the centre.
        step_segment(centre, start, false, bounds, &walker, plot);
    }
    for (const OrderedPixel& p : s_ordered) {
        if (walker.on())
            plot(p.x, p.y);
        walker.step();
    }
    if (pie) {
        walker.step(); // the end pixel is the arc's last
        step_segment(end, centre, true, bounds, &walker, plot);
    }
    return ok && s_outline.normalize();
}

// The ellipse through the box's points as segments from the start angle to the end angle
// (counter-clockwise on the page), into s_curve.
[[nodiscard]] bool flatten(const EllipseShape& e, const Sweep& sweep)
{
    const double cx = double(e.centre_x2()) / 2, cy = double(e.centre_y2()) / 2;
    const double a = double(e.radius_x2()) / 2, b = double(e.radius_y2()) / 2;
    auto param = [&](Int128 dx, Int128 dy) { return std::atan2(-double(dy) * a, double(dx) * b); };
    const double from = param(sweep.start_x(), sweep.start_y());
    double span = sweep.full() ? 2 * std::numbers::pi : param(sweep.end_x(), sweep.end_y()) - from;
    if (!sweep.full() && span <= 0)
        span += 2 * std::numbers::pi;
    const double radius = std::max(a, b);
    // The chord of angle s misses the curve by at most r (1 - cos(s / 2)).
    const double step = radius > 0.2 ? 2 * std::acos(1 - 0.2 / radius) : std::numbers::pi / 2;
    const size_t count = size_t(std::clamp(std::ceil(span / step), 4.0, double(1 << 16)));
    s_curve.clear();
    if (!ensure_capacity(s_curve, count + 3))
        return false;
    for (size_t i = 0; i <= count; ++i) {
        const double t = from + span * double(i) / double(count);
        s_curve.push_back({cx + a * std::cos(t), cy - b * std::sin(t)});
    }
    return true;
}

// The region's spans on the bounds' rows; for a pie only the pixels in the sweep.
void region_spans(const EllipseShape& e, const Sweep* sweep, const Box& bounds, SpanSink sink)
{
    const int64_t top = std::max<int64_t>(bounds.top, e.box().top);
    const int64_t bottom = std::min<int64_t>(bounds.bottom, e.box().bottom);
    for (int64_t y = top; y < bottom; ++y) {
        int64_t x0 = 0, x1 = 0;
        if (!e.row(y, x0, x1))
            continue;
        x0 = std::max<int64_t>(x0, bounds.left);
        x1 = std::min<int64_t>(x1, bounds.right - 1);
        if (!sweep) {
            if (x0 <= x1)
                sink(y, x0, x1 + 1);
            continue;
        }
        int64_t run = -1;
        for (int64_t x = x0; x <= x1 + 1; ++x) {
            const bool in = x <= x1 && sweep->contains(Int128(2) * x - e.centre_x2(), Int128(2) * y - e.centre_y2());
            if (in && run < 0)
                run = x;
            if (!in && run >= 0) {
                sink(y, run, x);
                run = -1;
            }
        }
    }
}

[[nodiscard]] bool gather_outline(const Pen& pen, const EllipseShape& e, const Sweep& sweep, bool pie, bool closed)
{
    if (pen.kind == PenKind::Null)
        return true;
    if (!is_wide(pen))
        return one_pixel_outline(pen, e, sweep, pie);
    if (!flatten(e, sweep))
        return false;
    if (pie) {
        const double cx = double(e.centre_x2()) / 2, cy = double(e.centre_y2()) / 2;
        if (!push_back_checked(s_curve, PointD{cx, cy}))
            return false;
        std::rotate(s_curve.begin(), s_curve.end() - 1, s_curve.end());
    }
    return gather_wide_stroke(pen, s_curve, closed ? PathShape::Closed : PathShape::Open, s_outline);
}

} // namespace

void draw_ellipse(const Target& target, const Pen& pen, const Brush& brush, Rect64 box)
{
    if (target.clip.empty() || !valid_box(box))
        return;
    const EllipseShape e(box);
    const Sweep whole(1, 0, 1, 0);
    s_outline.clear(target.clip.bounds());
    if (!gather_outline(pen, e, whole, false, true))
        return;
    paint_figure(target, pen, brush, s_outline,
                 [&](SpanSink sink) { region_spans(e, nullptr, target.clip.bounds(), sink); });
}

void draw_arc(const Target& target, const Pen& pen, Rect64 box, Point64 start, Point64 end, ArcDirection direction)
{
    if (target.clip.empty() || pen.kind == PenKind::Null || !valid_box(box) || !within_coordinate_limit(start) ||
        !within_coordinate_limit(end))
        return;
    const EllipseShape e(box);
    const Sweep sweep = make_sweep(e, start, end, direction);
    s_outline.clear(target.clip.bounds());
    if (gather_outline(pen, e, sweep, false, sweep.full()))
        s_outline.paint(SpanWriter(target, pen.colour));
}

void draw_pie(const Target& target, const Pen& pen, const Brush& brush, Rect64 box, Point64 start, Point64 end,
              ArcDirection direction)
{
    if (target.clip.empty() || !valid_box(box) || !within_coordinate_limit(start) || !within_coordinate_limit(end))
        return;
    const EllipseShape e(box);
    const Sweep sweep = make_sweep(e, start, end, direction);
    s_outline.clear(target.clip.bounds());
    if (!gather_outline(pen, e, sweep, true, true))
        return;
    paint_figure(target, pen, brush, s_outline,
                 [&](SpanSink sink) { region_spans(e, &sweep, target.clip.bounds(), sink); });
}

} // namespace vexil::raster
