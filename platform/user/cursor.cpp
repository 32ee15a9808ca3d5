// SPDX-License-Identifier: MIT
// The standard cursors and the thread's current cursor.
#include "kernel/handle_table.h"
#include "user/message_queue.h"
#include "user/window.h"

#include <win32/kernel.h>

namespace vexil::user {

namespace {

struct CursorShape {
    backend::Cursor shape = backend::Cursor::Arrow;
};

using CursorTable = kernel::HandleTable<CursorShape, kernel::HandleKind::Cursor>;

CursorTable& cursor_table()
{
    static CursorTable s_table; // trivially destructible: see handle_table.h
    return s_table;
}

// The shared handles of the standard cursors, made once; like Windows' they are never freed.
struct StandardCursors {
    HCURSOR arrow = nullptr;
    HCURSOR wait = nullptr;
};

const StandardCursors& standard_cursors()
{
    static const StandardCursors s_cursors = [] {
        StandardCursors cursors;
        cursors.arrow = static_cast<HCURSOR>(cursor_table().create(CursorShape{backend::Cursor::Arrow}));
        cursors.wait = static_cast<HCURSOR>(cursor_table().create(CursorShape{backend::Cursor::Wait}));
        return cursors;
    }();
    return s_cursors;
}

} // namespace

} // namespace vexil::user

using namespace vexil;

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName)
{
    // Only the system's cursors exist: programs have no cursor resources here.
    const user::StandardCursors& cursors = user::standard_cursors();
    HCURSOR cursor = nullptr;
    if (!hInstance && lpCursorName == IDC_ARROW)
        cursor = cursors.arrow;
    else if (!hInstance && lpCursorName == IDC_WAIT)
        cursor = cursors.wait;
    if (!cursor)
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return cursor;
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor)
{
    user::MessageQueue* queue = user::MessageQueue::current();
    if (!queue)
        return nullptr;
    user::OwnerState& owner = queue->owner();
    const HCURSOR previous = owner.cursor;
    const user::CursorShape* shape = user::cursor_table().lookup(hCursor);
    if (!shape) // null hides the cursor on Windows; here the shape stays as it is
        return previous;
    owner.cursor = hCursor;
    for (HWND handle : owner.windows) {
        if (user::Window* window = user::window_table().lookup(handle))
            backend::set_cursor(window->native, shape->shape);
    }
    return previous;
}
