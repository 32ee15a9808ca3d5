// SPDX-License-Identifier: MIT
// USER's hot paths: InvalidateRect, with and without waking the owner, and a SendMessageA
// round trip to a window of another thread.
#include "user/idle.h"

#include <win32/win32.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <future>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

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
// is woken. Only the call is timed; between calls the owner paints and goes back to sleep.
void BM_InvalidateRectWakesOwner(benchmark::State& state)
{
    WindowThread owner;
    const RECT line = {100, 200, 101, 260};
    for (auto _ : state) {
        if (!vexil::user::wait_until_idle(owner.window(), 5000))
            state.SkipWithError("the window thread did not go idle");
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(InvalidateRect(owner.window(), &line, FALSE));
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_InvalidateRectWakesOwner)->Iterations(2000)->UseManualTime();

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

// The floor under the two benchmarks above: the kernel's own cost for one eventfd write that
// wakes a thread sleeping in poll, and for a round trip of two such wake-ups. USER adds its
// work to these; what remains is the machine's.
class PollPeer {
public:
    PollPeer() : m_request(eventfd(0, EFD_NONBLOCK)), m_answer(eventfd(0, EFD_NONBLOCK))
    {
        m_thread = std::thread([this] {
            for (;;) {
                wait_for(m_request);
                if (m_stop.load())
                    return;
                ++m_wakes;
                signal(m_answer);
            }
        });
    }
    ~PollPeer()
    {
        m_stop.store(true);
        signal(m_request);
        m_thread.join();
        close(m_request);
        close(m_answer);
    }
    void request() { signal(m_request); }
    void wait_for_answer() { wait_for(m_answer); }
    int wakes() const { return m_wakes.load(); }

private:
    static void signal(int fd)
    {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(fd, &one, sizeof one);
    }
    static void wait_for(int fd)
    {
        pollfd entry = {fd, POLLIN, 0};
        poll(&entry, 1, -1);
        uint64_t value = 0;
        [[maybe_unused]] ssize_t got = read(fd, &value, sizeof value);
    }

    int m_request;
    int m_answer;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_wakes{0};
    std::thread m_thread;
};

void BM_FloorEventfdWake(benchmark::State& state)
{
    PollPeer peer;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        peer.request();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        peer.wait_for_answer(); // the peer is asleep in poll again before the next write
        usleep(100);
    }
}
BENCHMARK(BM_FloorEventfdWake)->Iterations(2000)->UseManualTime();

void BM_FloorEventfdRoundTrip(benchmark::State& state)
{
    PollPeer peer;
    for (auto _ : state) {
        peer.request();
        peer.wait_for_answer();
    }
}
BENCHMARK(BM_FloorEventfdRoundTrip)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
