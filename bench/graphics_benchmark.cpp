// SPDX-License-Identifier: MIT
// The library's drawing calls on the shared workloads, each beside the same GDI calls made
// directly on the page, so that the library's own cost per call shows: the current-window
// lookup, the page lock, the refresh rectangle's conversion and the invalidation.
//
// Built twice: graphics_benchmark with the headless backend, and graphics_display_benchmark
// with the X11 backend, which runs the demonstration program's loop while the window thread
// paints the window on the display (it is skipped without one).
#include "internal.h"
#include "workloads.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

const peers::Inputs& inputs()
{
    static const peers::Inputs in = peers::make_inputs();
    return in;
}

// Opens the 1200 x 900 window once for all benchmarks; false when there is no display.
bool open_window()
{
    static const bool opened = initwindow(peers::kWidth, peers::kHeight, "Vexil benchmark", 0, 0, false, false) >= 0;
    return opened;
}

// Reports the time per library call (or per group of GDI calls standing for one).
void count_calls(benchmark::State& state, int64_t calls_per_run)
{
    state.SetItemsProcessed(state.iterations() * calls_per_run);
    state.counters["per_call"] =
        benchmark::Counter(static_cast<double>(calls_per_run),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

enum class Clear { BeforeEachRun, Never };

// Runs a workload once per iteration on a page cleared to black beforehand (untimed).
template <typename Body> void run(benchmark::State& state, int64_t calls_per_run, Clear clear, Body&& body)
{
    if (!open_window()) {
        state.SkipWithError("no window could be opened");
        return;
    }
    for (auto _ : state) {
        if (clear == Clear::BeforeEachRun) {
            state.PauseTiming();
            cleardevice();
            state.ResumeTiming();
        }
        body();
    }
    count_calls(state, calls_per_run);
}

// The current window's active page, held under the page lock for direct GDI calls, as the
// library holds it for each of its own.
class HeldPages {
public:
    HeldPages() : m_active(VEXIL__GetWinvexilDC(nullptr)) {}
    HeldPages(const HeldPages&) = delete;
    HeldPages& operator=(const HeldPages&) = delete;
    ~HeldPages()
    {
        if (m_active)
            VEXIL__ReleaseWinvexilDC(nullptr);
    }
    HDC active() const { return m_active; }

    // What setcolor and the next line do to the page that draws: its text colour and a new
    // geometric pen.
    void set_pen_colour(COLORREF rgb) const
    {
        static constexpr DWORD kSolid[2] = {16, 0};
        const LOGBRUSH brush = {BS_SOLID, rgb, 0};
        SetTextColor(m_active, rgb);
        const HPEN pen =
            ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 1, &brush, 2, kSolid);
        DeleteObject(SelectObject(m_active, pen));
    }
    // What setfillstyle(SOLID_FILL, ...) does to the active page.
    void set_solid_brush(COLORREF rgb) const { DeleteObject(SelectObject(m_active, CreateSolidBrush(rgb))); }
    void line(int x1, int y1, int x2, int y2) const
    {
        POINT saved;
        MoveToEx(m_active, x1, y1, &saved);
        LineTo(m_active, x2, y2);
        MoveToEx(m_active, saved.x, saved.y, nullptr);
    }
    // Fills with the text colour set to the fill colour, as the library's fills do.
    template <typename Fill> void fill(COLORREF fill_rgb, COLORREF draw_rgb, Fill&& body) const
    {
        SetTextColor(m_active, fill_rgb);
        body();
        SetTextColor(m_active, draw_rgb);
    }

private:
    HDC m_active;
};

// W1: the demonstration program's loop, colour values 5, 10, 15, ...

void BM_W1DemoBands(benchmark::State& state)
{
    const auto& lines = inputs().w1_bands;
    run(state, 2 * static_cast<int64_t>(lines.size()), Clear::BeforeEachRun, [&] {
        int a = 1;
        for (const peers::Line& l : lines) {
            setcolor(5 * a);
            line(l.x1, l.y1, l.x2, l.y2);
            ++a;
        }
    });
}
BENCHMARK(BM_W1DemoBands)->Unit(benchmark::kMillisecond);

#ifndef VEXIL_BENCH_ON_DISPLAY

COLORREF rgb_of(int colour)
{
    return converttorgb(colour);
}

void BM_W1DemoBandsDirectGdi(benchmark::State& state)
{
    const auto& lines = inputs().w1_bands;
    run(state, 2 * static_cast<int64_t>(lines.size()), Clear::BeforeEachRun, [&] {
        const HeldPages pages;
        int a = 1;
        for (const peers::Line& l : lines) {
            pages.set_pen_colour(rgb_of(5 * a));
            pages.line(l.x1, l.y1, l.x2, l.y2);
            ++a;
        }
    });
}
BENCHMARK(BM_W1DemoBandsDirectGdi)->Unit(benchmark::kMillisecond);

// W2, W3: lines, each in its own colour: setcolor and line.

void lines_through_library(benchmark::State& state, const std::vector<peers::Line>& lines)
{
    run(state, 2 * static_cast<int64_t>(lines.size()), Clear::BeforeEachRun, [&] {
        for (const peers::Line& l : lines) {
            setcolor(l.ci);
            line(l.x1, l.y1, l.x2, l.y2);
        }
    });
}

void lines_direct(benchmark::State& state, const std::vector<peers::Line>& lines)
{
    run(state, 2 * static_cast<int64_t>(lines.size()), Clear::BeforeEachRun, [&] {
        const HeldPages pages;
        for (const peers::Line& l : lines) {
            pages.set_pen_colour(rgb_of(l.ci));
            pages.line(l.x1, l.y1, l.x2, l.y2);
        }
    });
}

void BM_W2ShortLines(benchmark::State& state)
{
    lines_through_library(state, inputs().w2_short);
}
void BM_W2ShortLinesDirectGdi(benchmark::State& state)
{
    lines_direct(state, inputs().w2_short);
}
void BM_W3LongLines(benchmark::State& state)
{
    lines_through_library(state, inputs().w3_long);
}
void BM_W3LongLinesDirectGdi(benchmark::State& state)
{
    lines_direct(state, inputs().w3_long);
}
BENCHMARK(BM_W2ShortLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_W2ShortLinesDirectGdi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_W3LongLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_W3LongLinesDirectGdi)->Unit(benchmark::kMillisecond);

// W4, W5: bars with inclusive corners, each in its own colour: setfillstyle and bar, whose
// right and bottom edges lie outside it.

void bars_through_library(benchmark::State& state, const std::vector<peers::Bar>& bars)
{
    run(state, 2 * static_cast<int64_t>(bars.size()), Clear::BeforeEachRun, [&] {
        for (const peers::Bar& b : bars) {
            setfillstyle(SOLID_FILL, b.ci);
            bar(b.left, b.top, b.right + 1, b.bottom + 1);
        }
    });
}

void bars_direct(benchmark::State& state, const std::vector<peers::Bar>& bars)
{
    run(state, 2 * static_cast<int64_t>(bars.size()), Clear::BeforeEachRun, [&] {
        const HeldPages pages;
        const COLORREF draw = rgb_of(getcolor());
        for (const peers::Bar& b : bars) {
            const COLORREF rgb = rgb_of(b.ci);
            pages.set_solid_brush(rgb);
            const RECT box{b.left, b.top, b.right + 1, b.bottom + 1};
            const HBRUSH brush = static_cast<HBRUSH>(GetCurrentObject(pages.active(), OBJ_BRUSH));
            pages.fill(rgb, draw, [&] { FillRect(pages.active(), &box, brush); });
        }
    });
}

void BM_W4Bars(benchmark::State& state)
{
    bars_through_library(state, inputs().w4_bars);
}
void BM_W4BarsDirectGdi(benchmark::State& state)
{
    bars_direct(state, inputs().w4_bars);
}
void BM_W5FullPageBars(benchmark::State& state)
{
    bars_through_library(state, inputs().w5_full);
}
void BM_W5FullPageBarsDirectGdi(benchmark::State& state)
{
    bars_direct(state, inputs().w5_full);
}
BENCHMARK(BM_W4Bars)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_W4BarsDirectGdi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_W5FullPageBars)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_W5FullPageBarsDirectGdi)->Unit(benchmark::kMillisecond);

// W6: circle outlines: setcolor and circle.

void BM_W6Circles(benchmark::State& state)
{
    const auto& circles = inputs().w6_circles;
    run(state, 2 * static_cast<int64_t>(circles.size()), Clear::BeforeEachRun, [&] {
        for (const peers::Circle& c : circles) {
            setcolor(c.ci);
            circle(c.cx, c.cy, c.r);
        }
    });
}

void BM_W6CirclesDirectGdi(benchmark::State& state)
{
    const auto& circles = inputs().w6_circles;
    run(state, 2 * static_cast<int64_t>(circles.size()), Clear::BeforeEachRun, [&] {
        const HeldPages pages;
        for (const peers::Circle& c : circles) {
            pages.set_pen_colour(rgb_of(c.ci));
            Arc(pages.active(), c.cx - c.r, c.cy - c.r, c.cx + c.r, c.cy + c.r, c.cx + c.r, c.cy, c.cx + c.r, c.cy);
        }
    });
}
BENCHMARK(BM_W6Circles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_W6CirclesDirectGdi)->Unit(benchmark::kMillisecond);

// W7: filled ellipses, outline and fill in one colour: setcolor, setfillstyle and fillellipse.

void BM_W7FilledEllipses(benchmark::State& state)
{
    const auto& ellipses = inputs().w7_ellipses;
    run(state, 3 * static_cast<int64_t>(ellipses.size()), Clear::BeforeEachRun, [&] {
        for (const peers::Ellipse& e : ellipses) {
            setcolor(e.ci);
            setfillstyle(SOLID_FILL, e.ci);
            fillellipse(e.cx, e.cy, e.rx, e.ry);
        }
    });
}

void BM_W7FilledEllipsesDirectGdi(benchmark::State& state)
{
    const auto& ellipses = inputs().w7_ellipses;
    run(state, 3 * static_cast<int64_t>(ellipses.size()), Clear::BeforeEachRun, [&] {
        const HeldPages pages;
        for (const peers::Ellipse& e : ellipses) {
            const COLORREF rgb = rgb_of(e.ci);
            pages.set_pen_colour(rgb);
            pages.set_solid_brush(rgb);
            pages.fill(rgb, rgb, [&] { Ellipse(pages.active(), e.cx - e.rx, e.cy - e.ry, e.cx + e.rx, e.cy + e.ry); });
        }
    });
}
BENCHMARK(BM_W7FilledEllipses)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_W7FilledEllipsesDirectGdi)->Unit(benchmark::kMillisecond);

// W8: filled 6-point polygons: setcolor, setfillstyle and fillpoly.

void BM_W8FilledPolygons(benchmark::State& state)
{
    const auto& polygons = inputs().w8_polys;
    run(state, 3 * static_cast<int64_t>(polygons.size()), Clear::BeforeEachRun, [&] {
        for (const peers::Polygon& p : polygons) {
            setcolor(p.ci);
            setfillstyle(SOLID_FILL, p.ci);
            fillpoly(6, &p.pts[0].x);
        }
    });
}

void BM_W8FilledPolygonsDirectGdi(benchmark::State& state)
{
    const auto& polygons = inputs().w8_polys;
    run(state, 3 * static_cast<int64_t>(polygons.size()), Clear::BeforeEachRun, [&] {
        const HeldPages pages;
        for (const peers::Polygon& p : polygons) {
            const COLORREF rgb = rgb_of(p.ci);
            pages.set_pen_colour(rgb);
            pages.set_solid_brush(rgb);
            POINT points[6];
            for (int k = 0; k < 6; ++k)
                points[k] = {p.pts[k].x, p.pts[k].y};
            pages.fill(rgb, rgb, [&] { Polygon(pages.active(), points, 6); });
        }
    });
}
BENCHMARK(BM_W8FilledPolygons)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_W8FilledPolygonsDirectGdi)->Unit(benchmark::kMillisecond);

// W9: flood fills from (0, 0) around 50 white outlines drawn untimed: setfillstyle and floodfill.

void draw_flood_scene(const peers::FloodScene& scene)
{
    cleardevice();
    setcolor(inputs().w9_border_ci);
    for (const peers::Circle& c : scene.circles)
        circle(c.cx, c.cy, c.r);
}

template <typename Fill> void flood_scenes(benchmark::State& state, Fill&& fill)
{
    const peers::Inputs& in = inputs();
    if (!open_window()) {
        state.SkipWithError("no window could be opened");
        return;
    }
    for (auto _ : state) {
        for (const peers::FloodScene& scene : in.w9_scenes) {
            state.PauseTiming();
            draw_flood_scene(scene);
            state.ResumeTiming();
            fill(in);
        }
    }
    count_calls(state, 2 * static_cast<int64_t>(in.w9_scenes.size()));
}

void BM_W9FloodFill(benchmark::State& state)
{
    flood_scenes(state, [](const peers::Inputs& in) {
        setfillstyle(SOLID_FILL, in.w9_fill_ci);
        floodfill(in.w9_seed.x, in.w9_seed.y, in.w9_border_ci);
    });
}

void BM_W9FloodFillDirectGdi(benchmark::State& state)
{
    flood_scenes(state, [](const peers::Inputs& in) {
        const HeldPages pages;
        const COLORREF rgb = rgb_of(in.w9_fill_ci);
        pages.set_solid_brush(rgb);
        pages.fill(rgb, rgb_of(getcolor()),
                   [&] { FloodFill(pages.active(), in.w9_seed.x, in.w9_seed.y, rgb_of(in.w9_border_ci)); });
    });
}
BENCHMARK(BM_W9FloodFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_W9FloodFillDirectGdi)->Unit(benchmark::kMillisecond);

// W12: single pixel writes: putpixel.

void BM_W12PutPixel(benchmark::State& state)
{
    const auto& pixels = inputs().w12_put;
    run(state, static_cast<int64_t>(pixels.size()), Clear::BeforeEachRun, [&] {
        for (const peers::Pixel& p : pixels)
            putpixel(p.x, p.y, p.ci);
    });
}

void BM_W12PutPixelDirectGdi(benchmark::State& state)
{
    const auto& pixels = inputs().w12_put;
    run(state, static_cast<int64_t>(pixels.size()), Clear::BeforeEachRun, [&] {
        const HeldPages pages;
        for (const peers::Pixel& p : pixels)
            SetPixelV(pages.active(), p.x, p.y, rgb_of(p.ci));
    });
}
BENCHMARK(BM_W12PutPixel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_W12PutPixelDirectGdi)->Unit(benchmark::kMillisecond);

// W13: single pixel reads of a page that holds pattern_pixel(): getpixel.

void load_read_pattern()
{
    const HeldPages pages;
    for (int y = 0; y < peers::kHeight; ++y)
        for (int x = 0; x < peers::kWidth; ++x) {
            const uint32_t argb = peers::pattern_pixel(x, y);
            SetPixelV(pages.active(), x, y, RGB(argb >> 16, argb >> 8, argb));
        }
}

void BM_W13GetPixel(benchmark::State& state)
{
    const auto& points = inputs().w13_get;
    if (open_window())
        load_read_pattern();
    int64_t sum = 0;
    run(state, static_cast<int64_t>(points.size()), Clear::Never, [&] {
        for (const peers::Point& p : points)
            sum += getpixel(p.x, p.y);
    });
    benchmark::DoNotOptimize(sum);
}

void BM_W13GetPixelDirectGdi(benchmark::State& state)
{
    const auto& points = inputs().w13_get;
    if (open_window())
        load_read_pattern();
    int64_t sum = 0;
    run(state, static_cast<int64_t>(points.size()), Clear::Never, [&] {
        const HeldPages pages;
        for (const peers::Point& p : points)
            sum += GetPixel(pages.active(), p.x, p.y);
    });
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_W13GetPixel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_W13GetPixelDirectGdi)->Unit(benchmark::kMillisecond);

#endif

} // namespace

BENCHMARK_MAIN();
