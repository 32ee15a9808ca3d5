// SPDX-License-Identifier: MIT
// A program using the installed platform layer alone.
#include <win32/win32.h>

int main()
{
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    bool signalled = event && WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
    if (event)
        CloseHandle(event);
    return signalled ? 0 : 1;
}
