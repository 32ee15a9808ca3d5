// SPDX-License-Identifier: MIT
// GDI's stock objects: made once on first use, selectable by any DC, never deleted.
#pragma once

#include <win32/gdi.h>

namespace vexil::gdi {

// The stock object of a GetStockObject index, or null for an index GDI has no object for.
HGDIOBJ stock_object(int index);

// The 1 x 1 monochrome bitmap that a new memory DC holds, which CreateCompatibleBitmap also
// returns for a zero size.
HBITMAP default_bitmap();

} // namespace vexil::gdi
