// SPDX-License-Identifier: MIT
// What the providers share: the default button of a message box.
#include "desktop/provider.h"

#include <win32/user.h>

namespace vexil::desktop {

int default_button(UINT type)
{
    // The buttons of each MB_ button set, left to right; MB_CANCELTRYCONTINUE is set 6.
    static constexpr int kButtons[][3] = {
        {IDOK, 0, 0},         {IDOK, IDCANCEL, 0}, {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
        {IDYES, IDNO, 0},     {IDRETRY, IDCANCEL, 0}, {IDCANCEL, 10, 11},
    };
    const UINT set = type & 0xF;
    const int* buttons = kButtons[set < 7 ? set : 0];
    const UINT index = (type >> 8) & 0xF; // MB_DEFBUTTON1..3
    return index < 3 && buttons[index] != 0 ? buttons[index] : buttons[0];
}

} // namespace vexil::desktop
