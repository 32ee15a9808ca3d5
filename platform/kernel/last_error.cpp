// SPDX-License-Identifier: MIT
// The thread's last error code.
#include <win32/kernel.h>

namespace {
// Initial-exec: the layer is linked into programs, so no __tls_get_addr on each call.
thread_local constinit DWORD t_last_error __attribute__((tls_model("initial-exec"))) = ERROR_SUCCESS;
} // namespace

DWORD WINAPI GetLastError(void)
{
    return t_last_error;
}

void WINAPI SetLastError(DWORD dwErrCode)
{
    t_last_error = dwErrCode;
}
