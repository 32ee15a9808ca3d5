// SPDX-License-Identifier: MIT
// The registry of window classes: names compared without case, as Windows compares them.
#include "user/window_class.h"

#include "kernel/futex_lock.h"

#include <win32/kernel.h>

#include <memory>
#include <strings.h>
#include <vector>

namespace vexil::user {

namespace {

constexpr size_t kMaxClassName = 255;
constexpr ATOM kFirstAtom = 0xC000; // where Windows starts the atoms of registered names

struct Registry {
    kernel::FutexLock lock;
    std::vector<std::unique_ptr<WindowClass>> classes;
    ATOM next_atom = kFirstAtom;
};

// Made once and never destroyed, so exit() on one thread leaves it intact for the others.
Registry& registry()
{
    static Registry* s_registry = new Registry;
    return *s_registry;
}

bool is_atom(LPCSTR name)
{
    return IS_INTRESOURCE(name);
}

// Called with the registry's lock held.
std::vector<std::unique_ptr<WindowClass>>::iterator find_locked(Registry& classes, LPCSTR name)
{
    const ATOM atom = is_atom(name) ? static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name)) : 0;
    for (auto it = classes.classes.begin(); it != classes.classes.end(); ++it) {
        if (atom != 0 ? (*it)->atom == atom : strcasecmp((*it)->name.c_str(), name) == 0)
            return it;
    }
    return classes.classes.end();
}

ATOM register_class(const WNDCLASSEXA* description, bool system)
{
    if (!description || description->cbSize != sizeof(WNDCLASSEXA) || !description->lpfnWndProc ||
        !description->lpszClassName || is_atom(description->lpszClassName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string name = description->lpszClassName;
    if (name.empty() || name.size() > kMaxClassName || (name[0] == '#') != system) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Registry& classes = registry();
    kernel::FutexLockGuard guard(classes.lock);
    if (find_locked(classes, name.c_str()) != classes.classes.end()) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    if (classes.next_atom == 0) { // all 16384 atoms were handed out
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    auto entry = std::make_unique<WindowClass>();
    entry->name = name;
    entry->atom = classes.next_atom++;
    entry->style = description->style;
    entry->procedure = description->lpfnWndProc;
    entry->instance = description->hInstance;
    entry->cursor = description->hCursor;
    entry->background = description->hbrBackground;
    const ATOM atom = entry->atom;
    classes.classes.push_back(std::move(entry));
    return atom;
}

} // namespace

WindowClass* use_class(LPCSTR name)
{
    if (!name) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    Registry& classes = registry();
    kernel::FutexLockGuard guard(classes.lock);
    auto it = find_locked(classes, name);
    if (it == classes.classes.end()) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    ++(*it)->windows;
    return it->get();
}

void release_class(WindowClass* window_class)
{
    Registry& classes = registry();
    kernel::FutexLockGuard guard(classes.lock);
    --window_class->windows;
}

bool register_system_class(const WNDCLASSEXA& description)
{
    return register_class(&description, true) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace vexil::user

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpwcx)
{
    return vexil::user::register_class(lpwcx, false);
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE)
{
    using namespace vexil::user;
    Registry& classes = registry();
    vexil::kernel::FutexLockGuard guard(classes.lock);
    auto it = lpClassName ? find_locked(classes, lpClassName) : classes.classes.end();
    if (it == classes.classes.end() || (*it)->name[0] == '#') {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if ((*it)->windows > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    classes.classes.erase(it);
    return TRUE;
}
