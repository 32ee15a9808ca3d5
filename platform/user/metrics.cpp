// SPDX-License-Identifier: MIT
// System metrics and the double-click time.
#include "user/frame.h"

#include <win32/user.h>

int WINAPI GetSystemMetrics(int nIndex)
{
    using namespace vexil;
    int32_t width = 0;
    int32_t height = 0;
    switch (nIndex) {
    case SM_CXSCREEN:
    case SM_CYSCREEN:
        backend::screen_size(&width, &height);
        return nIndex == SM_CXSCREEN ? width : height;
    case SM_CYCAPTION:
        return user::kCaptionHeight;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return user::kBorder;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return user::kDialogFrame;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        backend::double_click_size(&width, &height);
        return nIndex == SM_CXDOUBLECLK ? width : height;
    default:
        return 0; // as Windows answers an index it does not know
    }
}

UINT WINAPI GetDoubleClickTime(void)
{
    return vexil::backend::double_click_time_ms();
}
