// SPDX-License-Identifier: MIT
// The thread's last error code.
#include <win32/kernel.h>

namespace {
thread_local DWORD t_last_error = ERROR_SUCCESS;
}

DWORD WINAPI GetLastError(void)
{
    return t_last_error;
}

void WINAPI SetLastError(DWORD dwErrCode)
{
    t_last_error = dwErrCode;
}
