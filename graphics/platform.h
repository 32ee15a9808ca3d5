// SPDX-License-Identifier: MIT
// The one place where the library picks its Win32 headers: the platform layer's, or Windows' own.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <win32/win32.h>
#endif
