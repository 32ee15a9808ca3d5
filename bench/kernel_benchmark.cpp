// SPDX-License-Identifier: MIT
// The page lock's paths: an uncontended mutex taken and released, taken again by its owner,
// and the handle lookup under both, each beside std::recursive_mutex doing the same.
#include "kernel/mutex.h"

#include <win32/kernel.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace {

// One take and one release of a free mutex: what every drawing call does twice.
void BM_MutexWaitRelease(benchmark::State& state)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    for (auto _ : state) {
        benchmark::DoNotOptimize(WaitForSingleObject(mutex, 5000));
        benchmark::DoNotOptimize(ReleaseMutex(mutex));
    }
    CloseHandle(mutex);
}
BENCHMARK(BM_MutexWaitRelease);

// A take and release by the thread that already holds the mutex (nested drawing calls).
void BM_MutexRecursiveTake(benchmark::State& state)
{
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    for (auto _ : state) {
        benchmark::DoNotOptimize(WaitForSingleObject(mutex, 5000));
        benchmark::DoNotOptimize(ReleaseMutex(mutex));
    }
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}
BENCHMARK(BM_MutexRecursiveTake);

// The validated lookup that every handle-taking call starts with.
void BM_HandleLookup(benchmark::State& state)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    for (auto _ : state) {
        // The handle is made opaque each time, so the lookup cannot be hoisted out of the loop.
        benchmark::DoNotOptimize(mutex);
        benchmark::DoNotOptimize(vexil::kernel::mutex_table().lookup(mutex));
    }
    CloseHandle(mutex);
}
BENCHMARK(BM_HandleLookup);

// The yardstick: lock and unlock of a free std::recursive_mutex.
void BM_StdRecursiveMutex(benchmark::State& state)
{
    std::recursive_mutex mutex;
    for (auto _ : state) {
        mutex.lock();
        mutex.unlock();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StdRecursiveMutex);

// The yardstick for the recursive take: lock and unlock by the owner.
void BM_StdRecursiveMutexNested(benchmark::State& state)
{
    std::recursive_mutex mutex;
    mutex.lock();
    for (auto _ : state) {
        mutex.lock();
        mutex.unlock();
        benchmark::ClobberMemory();
    }
    mutex.unlock();
}
BENCHMARK(BM_StdRecursiveMutexNested);

// An auto-reset event set and then taken by the same thread: the wait-lock path.
void BM_EventSetWait(benchmark::State& state)
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (auto _ : state) {
        SetEvent(event);
        benchmark::DoNotOptimize(WaitForSingleObject(event, 0));
    }
    CloseHandle(event);
}
BENCHMARK(BM_EventSetWait);

} // namespace

// A program using the library always runs a window thread beside its own. glibc takes its
// mutexes without atomic instructions while a process has a single thread, which would make
// the std::recursive_mutex yardstick measure a case the page lock never meets; a parked
// thread puts the process in the state the library lives in.
int main(int argc, char** argv)
{
    std::thread([] { std::this_thread::sleep_for(std::chrono::hours(24)); }).detach();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
