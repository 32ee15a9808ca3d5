// SPDX-License-Identifier: MIT
// The window thread: it creates the window, its lock and its four pages, runs the message
// loop, and frees the record at the end; and the window procedure that paints, queues keys
// and mouse events, answers close requests and tears the pages down.
#include "internal.h"

#include <chrono>
#include <climits>
#include <cstdlib>

namespace {

using vexil::graphics::PageLock;

// Deletes the page DCs with the library's pens, brushes and bitmaps; each slot is nulled, so a
// call that takes the lock afterwards finds no pages. Called with the page lock held.
void release_pages(WindowData& window)
{
    for (int page = 0; page < kPageCount; ++page) {
        const HDC dc = window.hDC[page];
        if (!dc)
            continue;
        DeleteObject(SelectObject(dc, GetStockObject(WHITE_PEN)));
        DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
        DeleteObject(SelectObject(dc, window.hOldBitmap[page]));
        DeleteDC(dc);
        window.hDC[page] = nullptr;
        window.hOldBitmap[page] = nullptr;
    }
}

// Makes the four pages compatible with the window's DC; false, with the last error set and
// nothing left behind, when one of them cannot be made. Called with the page lock held.
bool create_pages(WindowData& window, HDC window_dc)
{
    for (int page = 0; page < kPageCount; ++page) {
        const HDC dc = CreateCompatibleDC(window_dc);
        const HBITMAP bitmap = dc ? CreateCompatibleBitmap(window_dc, window.Width, window.Height) : nullptr;
        if (!bitmap) {
            const DWORD error = GetLastError();
            if (dc)
                DeleteDC(dc);
            release_pages(window);
            SetLastError(error);
            return false;
        }
        window.hOldBitmap[page] = static_cast<HBITMAP>(SelectObject(dc, bitmap));
        window.hDC[page] = dc;
    }
    return true;
}

// The outer size of the window around its drawing area; false when it does not fit an int.
bool outer_size(const WindowData& window, int& width, int& height)
{
    const long long caption = window.Title.empty() ? 0 : GetSystemMetrics(SM_CYCAPTION);
    const long long outer_width = window.Width + 2LL * GetSystemMetrics(SM_CXFIXEDFRAME);
    const long long outer_height = window.Height + caption + 2LL * GetSystemMetrics(SM_CYFIXEDFRAME);
    if (outer_width > INT_MAX || outer_height > INT_MAX)
        return false;
    width = static_cast<int>(outer_width);
    height = static_cast<int>(outer_height);
    return true;
}

void append_menu_commands(HWND hwnd)
{
    const HMENU menu = GetSystemMenu(hwnd, FALSE);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, 4, "Save image as...");
    AppendMenuA(menu, MF_STRING, 1, "Print 2\" wide...");
    AppendMenuA(menu, MF_STRING, 2, "Print 4.5\" wide...");
    AppendMenuA(menu, MF_STRING, 3, "Print 7\" wide...");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
}

// Detaches the record first, so that the window procedure meets no record while the window goes.
void destroy_window(HWND hwnd)
{
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
}

// Painting is paced to one paint per frame: a run of small drawing calls then costs one copy of
// what they touched per frame rather than one per call, and seldom finds the page lock taken.
// The first paint after a pause is not delayed. One per window thread.
constexpr auto kFrame = std::chrono::milliseconds(16);
thread_local std::chrono::steady_clock::time_point s_last_paint;

void wait_for_next_frame()
{
    const auto since = std::chrono::steady_clock::now() - s_last_paint;
    if (since < kFrame)
        Sleep(static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(kFrame - since).count()));
    s_last_paint = std::chrono::steady_clock::now();
}

void paint(WindowData& window, HWND hwnd)
{
    wait_for_next_frame();
    PAINTSTRUCT ps;
    {
        const PageLock lock(window, INFINITE);
        BeginPaint(hwnd, &ps);
        if (lock) {
            const HDC source = lock.page(window.VisualPage.load(std::memory_order_relaxed));
            // The pages carry the viewport origin; the copy must take the pixels at the same device place.
            POINT corner{ps.rcPaint.left, ps.rcPaint.top};
            DPtoLP(source, &corner, 1);
            BitBlt(ps.hdc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                   ps.rcPaint.bottom - ps.rcPaint.top, source, corner.x, corner.y, SRCCOPY);
        }
    }
    // Presenting touches only the window's own surface, so the pages are free again before it.
    EndPaint(hwnd, &ps);
}

void tear_down(WindowData& window)
{
    // Waits for any drawing call to finish: none may draw on a page being deleted.
    if (const PageLock lock(window, INFINITE); lock)
        release_pages(window);
    CloseHandle(window.hKeyEvent);
    CloseHandle(window.hReadyEvent);
    window.hKeyEvent = nullptr;
    window.hReadyEvent = nullptr;
    PostQuitMessage(0);
}

void record_mouse_event(WindowData& window, UINT message, LPARAM lParam)
{
    const int kind = static_cast<int>(message - WM_MOUSEFIRST);
    const POINTS point = MAKEPOINTS(lParam);
    if (!window.MouseQueueAll[kind])
        window.MouseQueue[kind].clear();
    window.MouseQueue[kind].push_back(point);
    window.MousePos.store(point);
    if (window.MouseHandler[kind])
        window.MouseHandler[kind](point.x, point.y);
}

// The PC keyboard's scan code of each special key that yields no character; 0 for other keys.
char special_key_code(WPARAM key)
{
    switch (key) {
    case VK_CLEAR:
        return 76;
    case VK_PRIOR:
        return 73;
    case VK_NEXT:
        return 81;
    case VK_END:
        return 79;
    case VK_HOME:
        return 71;
    case VK_LEFT:
        return 75;
    case VK_UP:
        return 72;
    case VK_RIGHT:
        return 77;
    case VK_DOWN:
        return 80;
    case VK_INSERT:
        return 82;
    case VK_DELETE:
        return 83;
    case VK_F1:
        return 59;
    case VK_F2:
        return 60;
    case VK_F3:
        return 61;
    case VK_F4:
        return 62;
    case VK_F5:
        return 63;
    case VK_F6:
        return 64;
    case VK_F7:
        return 65;
    case VK_F8:
        return 66;
    case VK_F9:
        return 67;
    default:
        return 0;
    }
}

void translate_special_key(WindowData& window, WPARAM key)
{
    const char code = special_key_code(key);
    if (code == 0)
        return;
    const char bytes[2] = {0, code};
    window.KeyQueue.push(bytes, 2);
    SetEvent(window.hKeyEvent);
}

// FIXME: saving and printing the window's image come with the image-file and printing code;
// until then the four system-menu commands are accepted and do nothing.
void run_menu_command(HWND /*hwnd*/, WORD /*command*/) {}

} // namespace

void cls_OnChar(HWND hwnd, char ch, int repeat)
{
    WindowData* window = VEXIL__GetWindowDataPtr(hwnd);
    // One byte per message, whatever its repeat count.
    window->KeyQueue.push(&ch, 1);
    SetEvent(window->hKeyEvent);
    DefWindowProcA(hwnd, WM_CHAR, static_cast<WPARAM>(static_cast<signed char>(ch)),
                   static_cast<LPARAM>(static_cast<WORD>(repeat)));
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowData* window = VEXIL__GetWindowDataPtr(hwnd);
    // Messages of window creation, and of the destruction after the record was freed.
    if (!window)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSEWHEEL)
        record_mouse_event(*window, message, lParam);

    switch (message) {
    case WM_DESTROY:
        tear_down(*window);
        return 0;
    case WM_PAINT:
        paint(*window, hwnd);
        return 0;
    case WM_CLOSE:
        if (window->CloseFlag.load())
            std::exit(0);
        return 1;
    case WM_NCHITTEST: {
        const LRESULT hit = DefWindowProcA(hwnd, message, wParam, lParam);
        // A window without a title has no caption bar, so its frame serves to drag it.
        return hit != HTCLIENT && window->Title.empty() ? HTCAPTION : hit;
    }
    case WM_KEYDOWN:
        translate_special_key(*window, wParam);
        DefWindowProcA(hwnd, message, wParam, lParam);
        return 0;
    case WM_CHAR:
        cls_OnChar(hwnd, static_cast<char>(LOBYTE(wParam)), static_cast<SHORT>(LOWORD(lParam)));
        return 0;
    case WM_SYSCOMMAND: {
        const WORD command = LOWORD(wParam);
        if (command >= 1 && command <= 4) {
            run_menu_command(hwnd, command);
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    case WM_LBUTTONDBLCLK:
        return 1;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

DWORD WINAPI VEXIL__ThreadInitWindow(LPVOID parameter)
{
    WindowData& window = *static_cast<WindowData*>(parameter);
    int width = 0;
    int height = 0;
    if (!outer_size(window, width, height)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        showerrorbox(nullptr);
        return 0;
    }
    const DWORD style = window.Title.empty() ? WS_POPUP | WS_DLGFRAME : WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const HWND hwnd = CreateWindowExA(0, "VexilLibrary", window.Title.c_str(), style, window.InitLeft, window.InitTop,
                                      width, height, nullptr, nullptr, VEXIL__hInstance, nullptr);
    if (!hwnd) {
        // initwindow frees the record once this thread has ended.
        showerrorbox(nullptr);
        return 0;
    }
    append_menu_commands(hwnd);
    window.hWnd = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&window));
    window.ActivePage.store(0, std::memory_order_relaxed);
    window.VisualPage.store(0, std::memory_order_relaxed);

    const HDC window_dc = GetDC(hwnd);
    window.hMutex = CreateMutexA(nullptr, FALSE, nullptr);
    bool pages_made = false;
    if (window.hMutex) {
        WaitForSingleObject(window.hMutex, kPageLockTimeout);
        pages_made = create_pages(window, window_dc);
        const DWORD error = GetLastError();
        ReleaseMutex(window.hMutex);
        SetLastError(error);
    }
    if (!pages_made) {
        // A window without pages is a failed window: say why, and leave nothing behind.
        showerrorbox(nullptr);
        ReleaseDC(hwnd, window_dc);
        if (window.hMutex)
            CloseHandle(window.hMutex);
        window.hMutex = nullptr;
        destroy_window(hwnd);
        return 0;
    }
    ReleaseDC(hwnd, window_dc);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    SetEvent(window.hReadyEvent);

    MSG msg = {};
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
            break;
        if (got == -1)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    destroy_window(hwnd);
    CloseHandle(window.hMutex);
    delete &window;
    return static_cast<DWORD>(msg.wParam);
}
