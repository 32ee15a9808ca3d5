// SPDX-License-Identifier: MIT
// Message boxes, through the desktop provider the backend chose.
#include "backend/backend.h"
#include "desktop/provider.h"

#include <win32/user.h>

#include <cstdio>
#include <string>

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    using namespace vexil;
    desktop::MessageBoxRequest request;
    request.owner = hWnd;
    request.text = lpText ? lpText : "";
    request.caption = lpCaption ? lpCaption : "Error"; // Windows' caption for a box without one
    request.type = uType;
    // Every box also goes to standard error, in one write so that lines of threads never mix.
    std::string line;
    try {
        line = std::string(request.caption) + ": " + request.text + "\n";
    } catch (...) {
        line.clear();
    }
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return backend::desktop_provider().message_box(request);
}
