// SPDX-License-Identifier: MIT
// GDI's calls made directly on a 1200 x 900 page (a memory DC holding a 32-bit bitmap) on the
// shared workloads W1..W13, as the library makes them: geometric pens of width 1, solid brushes,
// box calls with the right and bottom edges outside. Items are GDI operations.
#include "workloads.h"

#include <win32/win32.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

namespace {

const peers::Inputs& inputs()
{
    static const peers::Inputs in = peers::make_inputs();
    return in;
}

COLORREF colorref(uint32_t argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

HPEN make_pen(COLORREF color)
{
    static const DWORD kSolid[2] = {16, 0}; // the library's solid line style
    LOGBRUSH brush{BS_SOLID, color, 0};
    return ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 1, &brush, 2, kSolid);
}

// The page, one pen and one solid brush per palette colour, made once for all benchmarks.
struct Page {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(peers::kWidth, peers::kHeight, 1, 32, nullptr);
    std::array<HPEN, 16> pens{};
    std::array<HBRUSH, 16> brushes{};
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));

    Page()
    {
        SelectObject(dc, bitmap);
        for (size_t i = 0; i < 16; ++i) {
            pens[i] = make_pen(colorref(peers::kPalette[i]));
            brushes[i] = CreateSolidBrush(colorref(peers::kPalette[i]));
        }
    }

    void clear() const
    {
        RECT all{0, 0, peers::kWidth, peers::kHeight};
        FillRect(dc, &all, black);
    }

    void use(uint8_t ci) const
    {
        SelectObject(dc, pens[ci]);
        SelectObject(dc, brushes[ci]);
    }
};

const Page& page()
{
    static const Page p;
    return p;
}

// Milliseconds, and with --benchmark_repetitions the minimum beside the median, as the peers
// report both.
void workload(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->ComputeStatistics("min", [](const std::vector<double>& v) {
        return *std::min_element(v.begin(), v.end());
    });
}

// Runs `body` once per iteration on a page cleared to black beforehand (untimed).
template <typename Body> void run_cleared(benchmark::State& state, size_t operations, Body&& body)
{
    const Page& p = page();
    for (auto _ : state) {
        state.PauseTiming();
        p.clear();
        state.ResumeTiming();
        body(p.dc);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(operations));
}

void circle_outline(HDC dc, const peers::Circle& c)
{
    // The library's circle: an arc whose start and end are the rightmost point.
    Arc(dc, c.cx - c.r, c.cy - c.r, c.cx + c.r, c.cy + c.r, c.cx + c.r, c.cy, c.cx + c.r, c.cy);
}

// W1: setcolor + line as the library does them: a new pen for every line, the old one deleted.
void BM_W1_DemoBands(benchmark::State& state)
{
    const auto& lines = inputs().w1_bands;
    run_cleared(state, lines.size(), [&](HDC dc) {
        for (const peers::Line& l : lines) {
            DeleteObject(SelectObject(dc, make_pen(colorref(l.argb))));
            MoveToEx(dc, l.x1, l.y1, nullptr);
            LineTo(dc, l.x2, l.y2);
        }
        SelectObject(dc, page().pens[15]);
    });
}
BENCHMARK(BM_W1_DemoBands)->Apply(workload);

void run_lines(benchmark::State& state, const std::vector<peers::Line>& lines)
{
    run_cleared(state, lines.size(), [&](HDC dc) {
        for (const peers::Line& l : lines) {
            SelectObject(dc, page().pens[l.ci]);
            MoveToEx(dc, l.x1, l.y1, nullptr);
            LineTo(dc, l.x2, l.y2);
        }
    });
}

void BM_W2_ShortLines(benchmark::State& state)
{
    run_lines(state, inputs().w2_short);
}
BENCHMARK(BM_W2_ShortLines)->Apply(workload);

void BM_W3_LongLines(benchmark::State& state)
{
    run_lines(state, inputs().w3_long);
}
BENCHMARK(BM_W3_LongLines)->Apply(workload);

void run_bars(benchmark::State& state, const std::vector<peers::Bar>& bars)
{
    run_cleared(state, bars.size(), [&](HDC dc) {
        for (const peers::Bar& b : bars) {
            RECT rect{b.left, b.top, b.right + 1, b.bottom + 1};
            FillRect(dc, &rect, page().brushes[b.ci]);
        }
    });
}

void BM_W4_Bars(benchmark::State& state)
{
    run_bars(state, inputs().w4_bars);
}
BENCHMARK(BM_W4_Bars)->Apply(workload);

void BM_W5_FullFills(benchmark::State& state)
{
    run_bars(state, inputs().w5_full);
}
BENCHMARK(BM_W5_FullFills)->Apply(workload);

void BM_W6_Circles(benchmark::State& state)
{
    const auto& circles = inputs().w6_circles;
    run_cleared(state, circles.size(), [&](HDC dc) {
        for (const peers::Circle& c : circles) {
            SelectObject(dc, page().pens[c.ci]);
            circle_outline(dc, c);
        }
    });
}
BENCHMARK(BM_W6_Circles)->Apply(workload);

void BM_W7_FilledEllipses(benchmark::State& state)
{
    const auto& ellipses = inputs().w7_ellipses;
    run_cleared(state, ellipses.size(), [&](HDC dc) {
        for (const peers::Ellipse& e : ellipses) {
            page().use(e.ci);
            Ellipse(dc, e.cx - e.rx, e.cy - e.ry, e.cx + e.rx, e.cy + e.ry);
        }
    });
}
BENCHMARK(BM_W7_FilledEllipses)->Apply(workload);

void BM_W8_Polygons(benchmark::State& state)
{
    const auto& polygons = inputs().w8_polys;
    run_cleared(state, polygons.size(), [&](HDC dc) {
        for (const peers::Polygon& polygon : polygons) {
            POINT points[6];
            for (size_t i = 0; i < 6; ++i)
                points[i] = {polygon.pts[i].x, polygon.pts[i].y};
            page().use(polygon.ci);
            Polygon(dc, points, 6);
        }
    });
}
BENCHMARK(BM_W8_Polygons)->Apply(workload);

// W9: the outlines of each scene are drawn untimed; only the fills are timed, by hand, since
// pausing the benchmark's timer twenty times per iteration costs more than the fills.
void BM_W9_FloodFill(benchmark::State& state)
{
    const peers::Inputs& in = inputs();
    const Page& p = page();
    const COLORREF border = colorref(peers::kPalette[in.w9_border_ci]);
    for (auto _ : state) {
        std::chrono::steady_clock::duration filling{};
        for (const peers::FloodScene& scene : in.w9_scenes) {
            p.clear();
            SelectObject(p.dc, p.pens[in.w9_border_ci]);
            for (const peers::Circle& c : scene.circles)
                circle_outline(p.dc, c);
            SelectObject(p.dc, p.brushes[in.w9_fill_ci]);
            auto start = std::chrono::steady_clock::now();
            FloodFill(p.dc, in.w9_seed.x, in.w9_seed.y, border);
            filling += std::chrono::steady_clock::now() - start;
        }
        state.SetIterationTime(std::chrono::duration<double>(filling).count());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(in.w9_scenes.size()));
}
BENCHMARK(BM_W9_FloodFill)->Apply(workload)->UseManualTime();

// The 200 x 200 source block in a memory DC of its own.
HDC block_dc()
{
    static const HDC dc = [] {
        HDC block = CreateCompatibleDC(nullptr);
        std::vector<uint32_t> pixels(inputs().block);
        for (uint32_t& pixel : pixels)
            pixel &= 0x00FFFFFF;
        HBITMAP bitmap = CreateBitmap(peers::kBlockW, peers::kBlockH, 1, 32, pixels.data());
        SelectObject(block, bitmap);
        return block;
    }();
    return dc;
}

void run_blits(benchmark::State& state, const std::vector<peers::Point>& corners, DWORD rop)
{
    HDC source = block_dc();
    run_cleared(state, corners.size(), [&](HDC dc) {
        for (const peers::Point& at : corners)
            BitBlt(dc, at.x, at.y, peers::kBlockW, peers::kBlockH, source, 0, 0, rop);
    });
}

void BM_W10_BlitCopy(benchmark::State& state)
{
    run_blits(state, inputs().w10_copy, SRCCOPY);
}
BENCHMARK(BM_W10_BlitCopy)->Apply(workload);

void BM_W11_BlitXor(benchmark::State& state)
{
    run_blits(state, inputs().w11_xor, SRCINVERT);
}
BENCHMARK(BM_W11_BlitXor)->Apply(workload);

void BM_W12_SetPixel(benchmark::State& state)
{
    const auto& pixels = inputs().w12_put;
    std::vector<COLORREF> colors(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
        colors[i] = colorref(pixels[i].argb);
    run_cleared(state, pixels.size(), [&](HDC dc) {
        for (size_t i = 0; i < pixels.size(); ++i)
            SetPixelV(dc, pixels[i].x, pixels[i].y, colors[i]);
    });
}
BENCHMARK(BM_W12_SetPixel)->Apply(workload);

void BM_W13_GetPixel(benchmark::State& state)
{
    const peers::Inputs& in = inputs();
    const Page& p = page();
    std::vector<uint32_t> pattern(static_cast<size_t>(peers::kWidth) * peers::kHeight);
    for (int y = 0; y < peers::kHeight; ++y)
        for (int x = 0; x < peers::kWidth; ++x)
            pattern[static_cast<size_t>(y) * peers::kWidth + x] = peers::pattern_pixel(x, y) & 0x00FFFFFF;
    SetBitmapBits(p.bitmap, static_cast<DWORD>(pattern.size() * 4), pattern.data());
    uint64_t sum = 0;
    for (auto _ : state) {
        sum = 0;
        for (const peers::Point& at : in.w13_get) {
            COLORREF c = GetPixel(p.dc, at.x, at.y);
            sum += (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
        benchmark::DoNotOptimize(sum);
    }
    if (sum != peers::w13_expected_sum(in, in.w13_get.size()))
        state.SkipWithError("GetPixel read the wrong pixels");
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(in.w13_get.size()));
}
BENCHMARK(BM_W13_GetPixel)->Apply(workload);

} // namespace

BENCHMARK_MAIN();
