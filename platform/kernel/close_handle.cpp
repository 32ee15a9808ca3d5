// SPDX-License-Identifier: MIT
// CloseHandle for every kind of kernel handle.
#include "kernel/event.h"
#include "kernel/file.h"
#include "kernel/mutex.h"
#include "kernel/thread.h"

using namespace vexil::kernel;

BOOL WINAPI CloseHandle(HANDLE hObject)
{
    bool closed = false;
    switch (handle_kind(hObject)) {
    case HandleKind::Event:
        closed = event_table().destroy(hObject);
        break;
    case HandleKind::Mutex:
        closed = mutex_table().destroy(hObject);
        break;
    case HandleKind::Thread:
        // The thread goes on running; its own reference keeps its object until it ends.
        closed = thread_table().destroy(hObject);
        break;
    case HandleKind::File:
        closed = file_table().destroy(hObject);
        break;
    default:
        break;
    }
    if (!closed)
        SetLastError(ERROR_INVALID_HANDLE);
    return closed ? TRUE : FALSE;
}
