// SPDX-License-Identifier: MIT
// USER's hot paths: InvalidateRect, with and without waking the owner, and a SendMessageA
// round trip to a window of another thread.
#include "user/idle.h"

#include <win32/win32.h>

#include <benchmark/benchmark.h>

#include <future>
#include <thread>

namespace {

constexpr char kClass[] = "VexilBenchmark";

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_USER)
        return static_cast<LRESULT>(wparam + 1);
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND make_window()
{
    static const bool s_registered = [] {
        WNDCLASSEXA description = {};
        description.cbSize = sizeof description;
        description.lpfnWndProc = procedure;
        description.lpszClassName = kClass;
        return RegisterClassExA(&description) != 0;
    }();
    if (!s_registered)
        return nullptr;
    HWND window = CreateWindowExA(0, kClass, "Benchmark", WS_CAPTION | WS_SYSMENU, 0, 0, 646, 509, nullptr, nullptr,
                                  nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    return window;
}

// A window on a thread of its own, running its message loop, as the library's windows do.
class WindowThread {
public:
    WindowThread()
    {
        std::future<HWND> made = m_made.get_future();
        m_thread = std::thread([this] {
            m_made.set_value(make_window());
            MSG message;
            while (GetMessageA(&message, nullptr, 0, 0) > 0)
                DispatchMessageA(&message);
        });
        m_window = made.get();
    }
    ~WindowThread()
    {
        SendMessageA(m_window, WM_CLOSE, 0, 0);
        m_thread.join();
    }
    HWND window() const { return m_window; }

private:
    std::promise<HWND> m_made;
    std::thread m_thread;
    HWND m_window = nullptr;
};

// A drawing call's invalidation while the window already waits to be painted: the common case.
void BM_InvalidateRectNonEmpty(benchmark::State& state)
{
    HWND window = make_window();
    const RECT pending = {0, 0, 640, 480};
    InvalidateRect(window, &pending, FALSE);
    const RECT line = {100, 200, 101, 260};
    for (auto _ : state)
        benchmark::DoNotOptimize(InvalidateRect(window, &line, FALSE));
    DestroyWindow(window);
}
BENCHMARK(BM_InvalidateRectNonEmpty);

// The first invalidation after a paint: the region was empty, so the sleeping owner thread
// is woken. Between iterations (not timed) the owner paints and goes back to sleep.
void BM_InvalidateRectWakesOwner(benchmark::State& state)
{
    WindowThread owner;
    const RECT line = {100, 200, 101, 260};
    for (auto _ : state) {
        state.PauseTiming();
        if (!vexil::user::wait_until_idle(owner.window(), 5000))
            state.SkipWithError("the window thread did not go idle");
        state.ResumeTiming();
        benchmark::DoNotOptimize(InvalidateRect(owner.window(), &line, FALSE));
    }
}
BENCHMARK(BM_InvalidateRectWakesOwner)->Iterations(2000);

// A message sent to another thread's window and answered: the sender blocks until then.
void BM_SendMessageCrossThread(benchmark::State& state)
{
    WindowThread owner;
    WPARAM value = 0;
    for (auto _ : state)
        value = static_cast<WPARAM>(SendMessageA(owner.window(), WM_USER, value, 0));
    benchmark::DoNotOptimize(value);
}
BENCHMARK(BM_SendMessageCrossThread)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
