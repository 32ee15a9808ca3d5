// SPDX-License-Identifier: MIT
// The Win32 subset of the Vexil platform layer: what a program gets from <windows.h>.
#pragma once

#include <win32/errors.h>
#include <win32/gdi.h>
#include <win32/kernel.h>
#include <win32/types.h>
#include <win32/user.h>
