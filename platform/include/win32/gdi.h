// SPDX-License-Identifier: MIT
// GDI: device contexts, pens, brushes, bitmaps, regions, fonts and the drawing calls.
#pragma once

#include <win32/types.h>
