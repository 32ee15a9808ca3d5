// SPDX-License-Identifier: MIT
// Frames per second of presenting a whole 1200 x 900 window, with MIT-SHM and with plain
// PutImage requests, on an Xvfb the program starts for itself. Each frame is presented and
// then waited for with a round trip, so a frame counts only once the server has drawn it.
#include "xvfb_server.h"

#include "backend/backend.h"
#include "backend/x11/connection.h"
#include "backend/x11/window.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>

namespace {

namespace backend = vexil::backend;

constexpr int32_t kWidth = 1200;
constexpr int32_t kHeight = 900;

enum class Path { SharedMemory, PutImage };

void BM_PresentFullWindow(benchmark::State& state, Path path)
{
    vexil::e2e::XvfbServer server;
    if (!server.start()) {
        state.SkipWithError(server.error().c_str());
        return;
    }
    backend::Connection* connection = backend::open_connection();
    if (!connection) {
        state.SkipWithError("no connection to the server");
        return;
    }
    // The plain path is what a display without MIT-SHM (another machine's) gets.
    connection->shm_usable = connection->shm_usable && path == Path::SharedMemory;
    backend::WindowSpec window_spec;
    window_spec.title = "Vexil benchmark";
    window_spec.width = kWidth;
    window_spec.height = kHeight;
    backend::Window* window = backend::create_window(connection, window_spec);
    if (!window || window->image.is_shared() != (path == Path::SharedMemory)) {
        state.SkipWithError("the window does not use the path measured");
        backend::close_connection(connection);
        return;
    }
    backend::show_window(window, backend::Visibility::Shown);
    const vexil::raster::Surface surface = backend::surface(window);
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            surface.row(y)[x] = static_cast<uint32_t>(x * 7 + y * 13) & 0x00FFFFFF;
        }
    }
    xcb_connection_t* xcb = connection->xcb;
    for (auto _ : state) {
        backend::present(window, {0, 0, kWidth, kHeight});
        std::free(xcb_get_input_focus_reply(xcb, xcb_get_input_focus(xcb), nullptr));
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    backend::close_connection(connection);
}

BENCHMARK_CAPTURE(BM_PresentFullWindow, Shm, Path::SharedMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_PresentFullWindow, PutImage, Path::PutImage)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
