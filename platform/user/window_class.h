// SPDX-License-Identifier: MIT
// Registered window classes: what CreateWindowExA takes from a class name.
#pragma once

#include <win32/user.h>

#include <string>

namespace vexil::user {

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    int windows = 0; // windows of the class that exist; guarded by the registry's lock
};

// The class named by `name` (a string, or an atom made with MAKEINTATOM), counted as used by
// one more window; null with the last error set when there is none. Any thread.
WindowClass* use_class(LPCSTR name);
// Ends a use taken with use_class.
void release_class(WindowClass* window_class);

// Registers a class of USER's own; its name starts with '#', which RegisterClassExA refuses.
[[nodiscard]] bool register_system_class(const WNDCLASSEXA& description);

} // namespace vexil::user
