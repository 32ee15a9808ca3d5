// SPDX-License-Identifier: MIT
// Gathering the pixels of a stroke: stepped for one-pixel pens, filled outlines for wide pens.
#include "gdi/raster/stroke.h"

#include "gdi/raster/scan_converter.h"
#include "gdi/raster/scratch.h"

#include <cmath>
#include <vector>

namespace vexil::raster {

/*
 * A wide stroke is the union of pieces, each a convex polygon: a quad per dash (or per segment
 * when solid) of the pen's width along the segment, reaching w/2 further at a cap; and a bevel
 * triangle at each vertex where the stroke runs on from one segment to the next, filling the
 * outer corner. All pieces are oriented the same way and filled together under the winding
 * rule, so the stroke is their union and each of its pixels is painted once, with the same
 * inside rule as polygons: a width-5 line from (20, 50) to (80, 50) is the rectangle
 * [17.5, 82.5] x [47.5, 52.5] and sets x 18..82, y 48..52.
 * Dash positions are measured in steps (the major-axis length of each segment), as for
 * one-pixel pens. Segments are cut to the clip bounds widened by the pen before any dash is
 * enumerated, so far-away parts cost nothing.
 */

namespace {

thread_local std::vector<Point64> s_path;
thread_local std::vector<PointD> s_wide_path;
thread_local std::vector<PointD> s_converted;
thread_local EdgeList s_stroke_edges;

// The largest pen width honoured; no surface comes near it, and it keeps outline coordinates
// within the scan converter's range.
constexpr double kMaxWidth = double(int64_t{1} << 31);

FixPoint to_fix(PointD p)
{
    return {std::llround(p.x * double(kFixOne)), std::llround(p.y * double(kFixOne))};
}

// Adds a convex polygon with positive orientation (as the pieces all must have).
[[nodiscard]] bool add_piece(EdgeList& edges, std::initializer_list<PointD> corners)
{
    FixPoint fixed[4];
    size_t n = 0;
    for (const PointD& p : corners)
        fixed[n++] = to_fix(p);
    Int128 area = 0;
    for (size_t i = 0; i < n; ++i) {
        const FixPoint& a = fixed[i];
        const FixPoint& b = fixed[(i + 1) % n];
        area += Int128(a.x) * b.y - Int128(b.x) * a.y;
    }
    if (area == 0)
        return true;
    if (area < 0)
        std::reverse(fixed, fixed + n);
    return edges.add_polygon(std::span<const FixPoint>(fixed, n));
}

struct Segment {
    PointD a, b;
    PointD u;     // unit direction
    PointD n;     // unit normal, u turned a quarter
    double steps; // major-axis length
};

// The part [t0, t1] of segment a->b inside the box (Liang-Barsky); false when it misses.
bool clip_segment(PointD a, PointD b, double left, double top, double right, double bottom, double& t0, double& t1)
{
    t0 = 0;
    t1 = 1;
    const double d[2] = {b.x - a.x, b.y - a.y};
    const double lo[2] = {left - a.x, top - a.y};
    const double hi[2] = {right - a.x, bottom - a.y};
    for (int axis = 0; axis < 2; ++axis) {
        if (d[axis] == 0) {
            if (lo[axis] > 0 || hi[axis] < 0)
                return false;
            continue;
        }
        double ta = lo[axis] / d[axis], tb = hi[axis] / d[axis];
        if (ta > tb)
            std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 > t1)
            return false;
    }
    return true;
}

bool covered(const DashPattern& pattern, double pos)
{
    bool on = false;
    pattern.dashes_between(pos, pos, [&on](double, double) { on = true; });
    return on;
}

[[nodiscard]] bool fill_pieces(EdgeList& edges, SpanSet& out)
{
    const Box& b = out.bounds();
    bool ok = true;
    auto checked = [&](int64_t y, int64_t x0, int64_t x1) { ok = ok && out.add_span(y, x0, x1); };
    return edges.fill(FillMode::Winding, b.top, b.bottom, checked) && ok;
}

} // namespace

bool gather_wide_stroke(const Pen& pen, std::span<const PointD> input, PathShape shape, SpanSet& out)
{
    const Box& bounds = out.bounds();
    if (bounds.empty())
        return true;
    const double h = std::min(double(pen.width), kMaxWidth) / 2;
    // Consecutive repeated points make no segment.
    s_wide_path.clear();
    if (!ensure_capacity(s_wide_path, input.size()))
        return false;
    for (const PointD& p : input)
        if (s_wide_path.empty() || p.x != s_wide_path.back().x || p.y != s_wide_path.back().y)
            s_wide_path.push_back(p);
    if (shape == PathShape::Closed && s_wide_path.size() > 2 && s_wide_path.front().x == s_wide_path.back().x &&
        s_wide_path.front().y == s_wide_path.back().y)
        s_wide_path.pop_back();
    EdgeList& edges = s_stroke_edges;
    edges.clear();
    const std::vector<PointD>& path = s_wide_path;
    if (path.empty())
        return true;
    if (path.size() == 1) {
        // A lone point: its square caps make a w x w square.
        const PointD p = path[0];
        return add_piece(edges, {{p.x - h, p.y - h}, {p.x + h, p.y - h}, {p.x + h, p.y + h}, {p.x - h, p.y + h}}) &&
               fill_pieces(edges, out);
    }
    const bool closed = shape == PathShape::Closed;
    const size_t count = closed ? path.size() : path.size() - 1;
    auto segment = [&](size_t i) {
        Segment s;
        s.a = path[i];
        s.b = path[(i + 1) % path.size()];
        const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
        const double len = std::hypot(dx, dy);
        s.u = {dx / len, dy / len};
        s.n = {-s.u.y, s.u.x};
        s.steps = std::max(std::fabs(dx), std::fabs(dy));
        return s;
    };
    const DashPattern pattern(pen);
    double total = 0;
    for (size_t i = 0; i < count; ++i)
        total += segment(i).steps;
    // A join at the vertex that ends segment i: the stroke runs on through it.
    auto join_on = [&](size_t i, double pos_at_vertex) {
        if (!closed && i + 1 == count)
            return false;
        return covered(pattern, pos_at_vertex);
    };
    const double margin = h + 2;
    const double left = bounds.left - margin, right = bounds.right + margin;
    const double top = bounds.top - margin, bottom = bounds.bottom + margin;
    bool ok = true;
    double pos = 0;
    for (size_t i = 0; i < count && ok; ++i) {
        const Segment s = segment(i);
        const double end_pos = pos + s.steps;
        const bool joined_before = i == 0 ? (closed && join_on(count - 1, total)) : join_on(i - 1, pos);
        const bool joined_after = join_on(i, end_pos);
        double t0 = 0, t1 = 0;
        if (clip_segment(s.a, s.b, left, top, right, bottom, t0, t1)) {
            pattern.dashes_between(pos + t0 * s.steps, pos + t1 * s.steps, [&](double da, double db) {
                const double ta = (da - pos) / s.steps, tb = (db - pos) / s.steps;
                const double cap_a = (ta <= 0 && joined_before) ? 0 : h;
                const double cap_b = (tb >= 1 && joined_after) ? 0 : h;
                const PointD pa{s.a.x + (s.b.x - s.a.x) * ta - s.u.x * cap_a,
                                s.a.y + (s.b.y - s.a.y) * ta - s.u.y * cap_a};
                const PointD pb{s.a.x + (s.b.x - s.a.x) * tb + s.u.x * cap_b,
                                s.a.y + (s.b.y - s.a.y) * tb + s.u.y * cap_b};
                ok = ok && add_piece(edges, {{pa.x + s.n.x * h, pa.y + s.n.y * h},
                                             {pb.x + s.n.x * h, pb.y + s.n.y * h},
                                             {pb.x - s.n.x * h, pb.y - s.n.y * h},
                                             {pa.x - s.n.x * h, pa.y - s.n.y * h}});
            });
        }
        if (joined_after) {
            const Segment next = segment((i + 1) % count);
            const PointD v = s.b;
            const double turn = s.u.x * next.u.y - s.u.y * next.u.x;
            const bool visible = v.x >= left && v.x <= right && v.y >= top && v.y <= bottom;
            if (turn != 0 && visible) {
                // The bevel fills the outer corner, on the side the path turns away from.
                const double side = turn > 0 ? -h : h;
                ok = ok && add_piece(edges, {v,
                                             {v.x + s.n.x * side, v.y + s.n.y * side},
                                             {v.x + next.n.x * side, v.y + next.n.y * side}});
            }
        }
        pos = end_pos;
    }
    return ok && fill_pieces(edges, out);
}

bool gather_stroke(const Pen& pen, std::span<const Point64> input, PathShape shape, SpanSet& out)
{
    if (pen.kind == PenKind::Null || out.bounds().empty())
        return true;
    for (const Point64& p : input)
        if (!within_coordinate_limit(p))
            return true;
    if (is_wide(pen)) {
        // gather_wide_stroke rebuilds its path from these, so they get a buffer of their own.
        s_converted.clear();
        if (!ensure_capacity(s_converted, input.size()))
            return false;
        for (const Point64& p : input)
            s_converted.push_back({double(p.x), double(p.y)});
        return gather_wide_stroke(pen, s_converted, shape, out);
    }
    s_path.clear();
    if (!ensure_capacity(s_path, input.size()))
        return false;
    for (const Point64& p : input)
        if (s_path.empty() || !(p == s_path.back()))
            s_path.push_back(p);
    if (shape == PathShape::Closed && s_path.size() > 2 && s_path.front() == s_path.back())
        s_path.pop_back();
    if (s_path.empty())
        return true;
    const bool geometric = pen.kind == PenKind::Geometric;
    const DashPattern pattern(pen);
    DashWalker walker(pattern);
    DashWalker* dashes = pattern.solid() ? nullptr : &walker;
    bool ok = true;
    auto plot = [&](int64_t x, int64_t y) { ok = ok && out.add_pixel(x, y); };
    if (s_path.size() == 1) {
        // A lone point: a geometric pen's caps cover its pixel; a cosmetic pen leaves it out.
        if (geometric)
            plot(s_path[0].x, s_path[0].y);
    } else {
        const size_t count = shape == PathShape::Closed ? s_path.size() : s_path.size() - 1;
        for (size_t i = 0; i < count; ++i)
            step_segment(s_path[i], s_path[(i + 1) % s_path.size()], geometric, out.bounds(), dashes, plot);
    }
    return ok && out.normalize();
}

} // namespace vexil::raster
