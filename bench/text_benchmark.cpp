// SPDX-License-Identifier: MIT
// Measuring and drawing a system-menu entry with the GUI font, its glyphs already cached.
#include "gdi/text/text.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using namespace vexil;

constexpr const char* kMenuEntry = "Print 4.5\" wide";

// One menu entry drawn onto a 200 x 20 page: transparent in each mode, and opaque as a
// highlighted entry is (the cell filled, then the text blended over it).
void BM_TextDrawMenuEntry(benchmark::State& state, text::TextPaint paint)
{
    std::vector<uint32_t> pixels(200 * 20, 0x00F0F0F0);
    const raster::Surface surface{pixels.data(), 200, 20, 200};
    const raster::Box clip{0, 0, 200, 20};
    const text::Font font = text::default_font(text::FontRole::Gui);
    const size_t length = std::strlen(kMenuEntry);
    for (auto _ : state) {
        benchmark::DoNotOptimize(text::draw(font, surface, &clip, 1, 4, 3, kMenuEntry, length, paint));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(length));
}
BENCHMARK_CAPTURE(BM_TextDrawMenuEntry, Grey, text::TextPaint{0x00000000, std::nullopt, text::Antialias::Grey});
BENCHMARK_CAPTURE(BM_TextDrawMenuEntry, Aliased, text::TextPaint{0x00000000, std::nullopt, text::Antialias::None});
BENCHMARK_CAPTURE(BM_TextDrawMenuEntry, Opaque, text::TextPaint{0x00FFFFFF, 0x00000080, text::Antialias::Grey});

// GetTextExtentPoint32A's work for one entry.
void BM_TextMeasureMenuEntry(benchmark::State& state)
{
    const text::Font font = text::default_font(text::FontRole::Gui);
    const size_t length = std::strlen(kMenuEntry);
    for (auto _ : state) {
        text::Extent extent;
        benchmark::DoNotOptimize(text::measure(font, kMenuEntry, length, extent));
        benchmark::DoNotOptimize(extent);
    }
}
BENCHMARK(BM_TextMeasureMenuEntry);

} // namespace

BENCHMARK_MAIN();
