// SPDX-License-Identifier: MIT
// Threads: CreateThread, GetExitCodeThread and GetCurrentThreadId.
#include "kernel/thread.h"

#include "kernel/thread_record.h"

#include <memory>
#include <new>
#include <pthread.h>
#include <unistd.h>

namespace vexil::kernel {

namespace {

constinit ThreadTable s_threads;

// What a new thread needs; it owns a reference to its thread object, so the object outlives a
// handle closed while the thread runs.
struct ThreadStart {
    ThreadTable::Ref thread;
    LPTHREAD_START_ROUTINE routine;
    LPVOID parameter;
    DWORD id;
};

void* run_thread(void* argument)
{
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(argument));
    adopt_thread_id(start->id);
    DWORD exit_code = start->routine(start->parameter);
    // Exit callbacks and abandoned mutexes come first: whoever waits for the thread's handle
    // must find that work done.
    run_thread_exit();
    FutexLockGuard guard(wait_lock());
    start->thread->finish_locked(exit_code);
    return nullptr;
}

// The stack size to ask pthreads for: at least its minimum, in whole pages.
size_t stack_size_for(SIZE_T requested) noexcept
{
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    size_t minimum = static_cast<size_t>(PTHREAD_STACK_MIN);
    size_t size = requested < minimum ? minimum : requested;
    return (size + page - 1) / page * page;
}

} // namespace

ThreadTable& thread_table() noexcept
{
    return s_threads;
}

void Thread::finish_locked(DWORD exit_code) noexcept
{
    m_ended = true;
    m_exit_code = exit_code;
    satisfy_all_waiters_locked(*this);
}

} // namespace vexil::kernel

using namespace vexil::kernel;

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T dwStackSize, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId)
{
    // CREATE_SUSPENDED would need ResumeThread, which the layer does not have.
    if (!lpStartAddress || (dwCreationFlags & ~static_cast<DWORD>(STACK_SIZE_PARAM_IS_A_RESERVATION)) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HANDLE handle = thread_table().create();
    if (!handle) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    DWORD id = allocate_thread_id();
    auto* start = new (std::nothrow) ThreadStart{thread_table().acquire(handle), lpStartAddress, lpParameter, id};
    int error = ENOMEM;
    if (start) {
        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        // Detached: nothing ever joins, and the thread's resources go when it ends.
        pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
        if (dwStackSize != 0)
            pthread_attr_setstacksize(&attributes, stack_size_for(dwStackSize));
        pthread_t thread{};
        error = pthread_create(&thread, &attributes, &run_thread, start);
        pthread_attr_destroy(&attributes);
        if (error != 0)
            delete start;
    }
    if (error != 0) {
        static_cast<void>(thread_table().destroy(handle));
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (lpThreadId)
        *lpThreadId = id;
    return handle;
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode)
{
    ThreadTable::Ref thread = thread_table().acquire(hThread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpExitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FutexLockGuard guard(wait_lock());
    *lpExitCode = thread->exit_code();
    return TRUE;
}

DWORD WINAPI GetCurrentThreadId(void)
{
    return current_thread_id();
}
