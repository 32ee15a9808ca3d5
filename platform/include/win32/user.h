// SPDX-License-Identifier: MIT
// USER: window classes, windows, messages, painting, input, menus, cursors and metrics.
#pragma once

#include <win32/gdi.h>
#include <win32/types.h>
