// SPDX-License-Identifier: MIT
// The rasterizer's primitives called directly on a 1200 x 900 surface on the shared workloads
// W1..W13 (geometric one-pixel pens, solid brushes, half-open boxes), and the plain SSE2 fill
// and copy loops that the page fill and block copy are held to. Items are primitives.
#include "workloads.h"

#include "gdi/raster/raster.h"

#include <benchmark/benchmark.h>

#include <emmintrin.h>

#include <cstdint>
#include <vector>

namespace {

namespace r = vexil::raster;

const peers::Inputs& inputs()
{
    static const peers::Inputs in = peers::make_inputs();
    return in;
}

uint32_t pixel(uint32_t argb)
{
    return argb & 0x00FFFFFF;
}

struct Page {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(size_t(peers::kWidth) * peers::kHeight);
    r::Surface surface{pixels.data(), peers::kWidth, peers::kHeight, peers::kWidth};
    r::ClipList clip = r::ClipList::whole(surface);

    r::Target target(r::Rop2 rop = r::Rop2::CopyPen) const { return r::Target{surface, clip, rop}; }
    void clear() { std::fill(pixels.begin(), pixels.end(), 0u); }
};

r::Pen pen(uint32_t argb)
{
    return r::Pen{r::PenKind::Geometric, pixel(argb), 1, {16, 0}, 2};
}

r::Brush brush(uint32_t argb)
{
    return r::Brush{r::BrushStyle::Solid, pixel(argb)};
}

void lines(benchmark::State& state, const std::vector<peers::Line>& v)
{
    Page page;
    for (auto _ : state) {
        for (const peers::Line& l : v)
            r::stroke_line(page.target(), pen(l.argb), {l.x1, l.y1}, {l.x2, l.y2});
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(v.size()));
}

void BM_W1_DemoBands(benchmark::State& state)
{
    lines(state, inputs().w1_bands);
}
BENCHMARK(BM_W1_DemoBands)->Unit(benchmark::kMillisecond);

void BM_W2_ShortLines(benchmark::State& state)
{
    lines(state, inputs().w2_short);
}
BENCHMARK(BM_W2_ShortLines)->Unit(benchmark::kMillisecond);

void BM_W3_LongLines(benchmark::State& state)
{
    lines(state, inputs().w3_long);
}
BENCHMARK(BM_W3_LongLines)->Unit(benchmark::kMillisecond);

void bars(benchmark::State& state, const std::vector<peers::Bar>& v)
{
    Page page;
    for (auto _ : state) {
        for (const peers::Bar& b : v)
            r::fill_rect(page.target(), brush(b.argb), {b.left, b.top, b.right + 1, b.bottom + 1});
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(v.size()));
}

void BM_W4_Bars(benchmark::State& state)
{
    bars(state, inputs().w4_bars);
}
BENCHMARK(BM_W4_Bars)->Unit(benchmark::kMillisecond);

void BM_W5_FullFills(benchmark::State& state)
{
    bars(state, inputs().w5_full);
}
BENCHMARK(BM_W5_FullFills)->Unit(benchmark::kMillisecond);

// The loop the full-page fill is held to: 64 bytes of unaligned SSE2 stores per iteration.
__attribute__((noinline)) void sse2_fill(uint32_t* d, size_t n, uint32_t v)
{
    const __m128i x = _mm_set1_epi32(int(v));
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), x);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 4), x);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 8), x);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 12), x);
    }
    for (; i < n; ++i)
        d[i] = v;
}

__attribute__((noinline)) void sse2_copy(uint32_t* d, const uint32_t* s, size_t n)
{
    size_t i = 0;
    for (; i + 16 <= n; i += 16)
        for (size_t k = 0; k < 16; k += 4)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + k),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + k)));
    for (; i < n; ++i)
        d[i] = s[i];
}

void BM_W5_Sse2Baseline(benchmark::State& state)
{
    Page page;
    for (auto _ : state) {
        for (const peers::Bar& b : inputs().w5_full)
            for (int y = b.top; y <= b.bottom; ++y)
                sse2_fill(page.pixels.data() + size_t(y) * peers::kWidth + b.left, size_t(b.right - b.left + 1),
                          pixel(b.argb));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(inputs().w5_full.size()));
}
BENCHMARK(BM_W5_Sse2Baseline)->Unit(benchmark::kMillisecond);

void BM_W6_Circles(benchmark::State& state)
{
    Page page;
    for (auto _ : state) {
        for (const peers::Circle& c : inputs().w6_circles)
            r::draw_arc(page.target(), pen(c.argb), {c.cx - c.r, c.cy - c.r, c.cx + c.r + 1, c.cy + c.r + 1},
                        {c.cx + c.r, c.cy}, {c.cx + c.r, c.cy}, r::ArcDirection::CounterClockwise);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(inputs().w6_circles.size()));
}
BENCHMARK(BM_W6_Circles)->Unit(benchmark::kMillisecond);

void BM_W7_FilledEllipses(benchmark::State& state)
{
    Page page;
    for (auto _ : state) {
        for (const peers::Ellipse& e : inputs().w7_ellipses)
            r::draw_ellipse(page.target(), pen(e.argb), brush(e.argb),
                            {e.cx - e.rx, e.cy - e.ry, e.cx + e.rx + 1, e.cy + e.ry + 1});
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(inputs().w7_ellipses.size()));
}
BENCHMARK(BM_W7_FilledEllipses)->Unit(benchmark::kMillisecond);

void BM_W8_Polygons(benchmark::State& state)
{
    Page page;
    for (auto _ : state) {
        for (const peers::Polygon& p : inputs().w8_polys) {
            r::Point64 pts[6];
            for (size_t i = 0; i < 6; ++i)
                pts[i] = {p.pts[i].x, p.pts[i].y};
            r::draw_polygon(page.target(), pen(p.argb), brush(p.argb), pts, r::FillMode::Alternate);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(inputs().w8_polys.size()));
}
BENCHMARK(BM_W8_Polygons)->Unit(benchmark::kMillisecond);

void BM_W9_FloodFill(benchmark::State& state)
{
    Page page;
    const peers::Inputs& in = inputs();
    for (auto _ : state) {
        for (const peers::FloodScene& scene : in.w9_scenes) {
            state.PauseTiming();
            page.clear();
            for (const peers::Circle& c : scene.circles)
                r::draw_arc(page.target(), pen(c.argb), {c.cx - c.r, c.cy - c.r, c.cx + c.r + 1, c.cy + c.r + 1},
                            {c.cx + c.r, c.cy}, {c.cx + c.r, c.cy}, r::ArcDirection::CounterClockwise);
            state.ResumeTiming();
            (void)r::flood_fill(page.target(), brush(peers::kPalette[in.w9_fill_ci]), {in.w9_seed.x, in.w9_seed.y},
                                pixel(peers::kPalette[in.w9_border_ci]), r::FloodMode::Border);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(in.w9_scenes.size()));
}
BENCHMARK(BM_W9_FloodFill)->Unit(benchmark::kMillisecond);

void blits(benchmark::State& state, const std::vector<peers::Point>& at, r::BlitOp op)
{
    Page page;
    const r::Surface block{const_cast<uint32_t*>(inputs().block.data()), peers::kBlockW, peers::kBlockH,
                           peers::kBlockW};
    for (auto _ : state) {
        for (const peers::Point& p : at)
            r::blit(page.surface, page.clip, {p.x, p.y}, peers::kBlockW, peers::kBlockH, block, {0, 0}, op);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(at.size()));
}

void BM_W10_BlitCopy(benchmark::State& state)
{
    blits(state, inputs().w10_copy, r::BlitOp::SrcCopy);
}
BENCHMARK(BM_W10_BlitCopy)->Unit(benchmark::kMillisecond);

void BM_W10_Sse2Baseline(benchmark::State& state)
{
    Page page;
    const uint32_t* block = inputs().block.data();
    for (auto _ : state) {
        for (const peers::Point& p : inputs().w10_copy)
            for (int y = 0; y < peers::kBlockH; ++y)
                sse2_copy(page.pixels.data() + size_t(p.y + y) * peers::kWidth + p.x,
                          block + size_t(y) * peers::kBlockW, peers::kBlockW);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(inputs().w10_copy.size()));
}
BENCHMARK(BM_W10_Sse2Baseline)->Unit(benchmark::kMillisecond);

void BM_W11_BlitXor(benchmark::State& state)
{
    blits(state, inputs().w11_xor, r::BlitOp::SrcInvert);
}
BENCHMARK(BM_W11_BlitXor)->Unit(benchmark::kMillisecond);

void BM_W12_SetPixel(benchmark::State& state)
{
    Page page;
    for (auto _ : state) {
        for (const peers::Pixel& p : inputs().w12_put)
            r::set_pixel(page.surface, page.clip, {p.x, p.y}, pixel(p.argb));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(inputs().w12_put.size()));
}
BENCHMARK(BM_W12_SetPixel)->Unit(benchmark::kMillisecond);

void BM_W13_GetPixel(benchmark::State& state)
{
    Page page;
    for (int y = 0; y < peers::kHeight; ++y)
        for (int x = 0; x < peers::kWidth; ++x)
            page.pixels[size_t(y) * peers::kWidth + size_t(x)] = pixel(peers::pattern_pixel(x, y));
    uint64_t sum = 0;
    for (auto _ : state) {
        sum = 0;
        for (const peers::Point& p : inputs().w13_get)
            sum += r::get_pixel(page.surface, page.clip, {p.x, p.y}).value_or(0);
        benchmark::DoNotOptimize(sum);
    }
    if (sum != peers::w13_expected_sum(inputs(), inputs().w13_get.size()))
        state.SkipWithError("W13 read the wrong pixels");
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(inputs().w13_get.size()));
}
BENCHMARK(BM_W13_GetPixel)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
