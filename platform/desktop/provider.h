// SPDX-License-Identifier: MIT
// The desktop services a backend offers the layer: message boxes now, dialogs and printing later.
#pragma once

#include <win32/types.h>

namespace vexil::desktop {

struct MessageBoxRequest {
    HWND owner = nullptr;
    const char* text = "";    // never null
    const char* caption = ""; // never null
    UINT type = 0;            // the MB_ flags as given to MessageBoxA
};

class Provider {
public:
    // Shows the box and returns the ID of the button chosen (IDOK, IDCANCEL, ...). It returns
    // when the box is dismissed, as a modal box does.
    virtual int message_box(const MessageBoxRequest& request) = 0;

protected:
    ~Provider() = default;
};

// The result of a box dismissed without a choice being made: its default button.
int default_button(UINT type);

} // namespace vexil::desktop
