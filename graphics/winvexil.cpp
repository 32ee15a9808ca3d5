// SPDX-License-Identifier: MIT
// Opening and closing windows, the current window, pages, the driver and mode queries, the
// keyboard reads and the drawing defaults.
#include "internal.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>

// The table's storage is never freed: exit() from a window thread may end the process while the
// program's thread still reads it, so it must not be torn down under it.
HWND* VEXIL__WindowTable = nullptr;
int VEXIL__WindowCount = 0;
int VEXIL__CurrentWindow = NO_CURRENT_WINDOW;
HINSTANCE VEXIL__hInstance = nullptr;

namespace {

constexpr const char* kClassName = "VexilLibrary";

bool s_class_registered = false;
int s_table_capacity = 0;
// Each table entry's record, which its window holds in its user-data slot for its whole life;
// kept beside the table so that the lookup of every drawing call asks the platform nothing.
WindowData** s_records = nullptr;

// Makes room for one more table entry before a window opens, so that a window that comes up
// always gets its entry.
bool reserve_table_entry()
{
    if (VEXIL__WindowCount < s_table_capacity)
        return true;
    if (s_table_capacity > INT_MAX / 2)
        return false;
    const int capacity = s_table_capacity == 0 ? 8 : s_table_capacity * 2;
    void* grown = std::realloc(VEXIL__WindowTable, sizeof(HWND) * static_cast<size_t>(capacity));
    if (!grown)
        return false;
    VEXIL__WindowTable = static_cast<HWND*>(grown);
    void* grown_records = std::realloc(s_records, sizeof(WindowData*) * static_cast<size_t>(capacity));
    if (!grown_records)
        return false;
    s_records = static_cast<WindowData**>(grown_records);
    s_table_capacity = capacity;
    return true;
}

// Frees a record whose window never came up, with the events that the tear-down would have closed.
void destroy_unopened_record(WindowData* window)
{
    if (window->hKeyEvent)
        CloseHandle(window->hKeyEvent);
    if (window->hReadyEvent)
        CloseHandle(window->hReadyEvent);
    delete window;
}

int fail_initwindow(DWORD error)
{
    SetLastError(error);
    showerrorbox(nullptr);
    return -1;
}

void close_window(int index)
{
    if (index < 0 || index >= VEXIL__WindowCount || !VEXIL__WindowTable[index])
        return;
    // Returns once the window thread has released the pages and posted its quit message.
    SendMessageA(VEXIL__WindowTable[index], WM_DESTROY, 0, 0);
    VEXIL__WindowTable[index] = nullptr;
    s_records[index] = nullptr;
    if (index == VEXIL__CurrentWindow)
        VEXIL__CurrentWindow = NO_CURRENT_WINDOW;
}

struct ModeSize {
    int width;
    int height;
};

// The drawing area that initgraph opens for a valid driver (1 to 10) and a mode.
ModeSize initgraph_size(int driver, int mode)
{
    constexpr ModeSize none{0, 0};
    switch (driver) {
    case CGA:
        return mode >= 0 && mode <= 3 ? ModeSize{320, 200} : mode == 4 ? ModeSize{640, 200} : none;
    case MCGA:
    case ATT400:
        if (mode >= 0 && mode <= 3)
            return {320, 200};
        if (mode == 4)
            return {640, 200};
        if (mode == 5)
            return driver == MCGA ? ModeSize{640, 480} : ModeSize{640, 400};
        return none;
    case EGA:
    case EGA64:
        return mode == 0 ? ModeSize{640, 200} : mode == 1 ? ModeSize{640, 350} : none;
    case EGAMONO:
        return {640, 350};
    case IBM8514:
        return mode == 0 ? ModeSize{640, 480} : mode == 1 ? ModeSize{1024, 768} : none;
    case HERCMONO:
        return {720, 348};
    case VGA:
        return mode == 0 ? ModeSize{640, 200} : mode == 1 ? ModeSize{640, 350} : mode == 2 ? ModeSize{640, 480} : none;
    case PC3270:
        return {720, 350};
    default:
        return none;
    }
}

} // namespace

void showerrorbox(const char* message)
{
    if (message) {
        MessageBoxA(nullptr, message, "Error", MB_ICONERROR);
        return;
    }
    LPSTR text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                   GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0,
                   nullptr);
    MessageBoxA(nullptr, text ? text : "", "Error", MB_ICONERROR);
    LocalFree(text);
}

bool registerWindowClass()
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(WNDCLASSEXA);
    wc.style = CS_DBLCLKS | CS_SAVEBITS;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = VEXIL__hInstance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClassName;
    if (RegisterClassExA(&wc) == 0) {
        showerrorbox(nullptr);
        return false;
    }
    return true;
}

void unregisterWindowClass()
{
    UnregisterClassA(kClassName, VEXIL__hInstance);
}

int initwindow(int width, int height, const char* title, int left, int top, bool doublebuffer, bool closeexits)
{
    if (!s_class_registered) {
        // Registration is tried once: after a failure later calls go on and fail to create.
        s_class_registered = true;
        VEXIL__hInstance = nullptr;
        if (!registerWindowClass())
            return -1;
    }
    // A page needs at least one pixel; a window without pages would fail every drawing call.
    if (width < 1 || height < 1)
        return fail_initwindow(ERROR_INVALID_PARAMETER);
    if (!reserve_table_entry())
        return fail_initwindow(ERROR_NOT_ENOUGH_MEMORY);

    WindowData* window = new (std::nothrow) WindowData();
    if (!window)
        return fail_initwindow(ERROR_NOT_ENOUGH_MEMORY);
    window->hKeyEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    window->hReadyEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!window->hKeyEvent || !window->hReadyEvent) {
        const DWORD error = GetLastError();
        destroy_unopened_record(window);
        return fail_initwindow(error);
    }
    window->Width = width;
    window->Height = height;
    window->InitLeft = left;
    window->InitTop = top;
    window->Title = title ? title : "";
    // Set before the window exists: a close request may come as soon as it does.
    window->CloseFlag.store(closeexits);
    window->DoubleBuffer = doublebuffer;

    const HANDLE thread = CreateThread(nullptr, 0, VEXIL__ThreadInitWindow, window, 0, nullptr);
    if (!thread) {
        const DWORD error = GetLastError();
        destroy_unopened_record(window);
        return fail_initwindow(error);
    }
    const HANDLE waits[2] = {thread, window->hReadyEvent};
    const DWORD woken = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    CloseHandle(thread);
    if (woken == WAIT_OBJECT_0) {
        // The window thread ended without its window; it has shown why.
        destroy_unopened_record(window);
        return -1;
    }

    const int index = VEXIL__WindowCount;
    VEXIL__WindowTable[index] = window->hWnd;
    s_records[index] = window;
    VEXIL__WindowCount = index + 1;
    VEXIL__CurrentWindow = index;
    graphdefaults();
    setfillstyle(SOLID_FILL, BLACK);
    bar(0, 0, width - 1, height - 1);
    setcolor(WHITE);
    setfillstyle(SOLID_FILL, WHITE);
    return index;
}

void initgraph(int* graphdriver, int* graphmode, const char* /*pathtodriver*/)
{
    int unused_driver = DETECT;
    int unused_mode = 0;
    int& driver = graphdriver ? *graphdriver : unused_driver;
    int& mode = graphmode ? *graphmode : unused_mode;
    if (driver == DETECT) {
        driver = VGA;
        mode = VGAHI;
    }
    const bool valid = driver >= CGA && driver <= PC3270;
    const ModeSize size = initgraph_size(valid ? driver : CGA, mode);
    initwindow(size.width, size.height, "Windows Vexil", 0, 0, false, true);
    if (!valid)
        vexil::graphics::current_window().ErrorCode = grInvalidDriver;
}

void closegraph(int window)
{
    if (window == CURRENT_WINDOW) {
        close_window(VEXIL__CurrentWindow);
    } else if (window == ALL_WINDOWS) {
        for (int index = 0; index < VEXIL__WindowCount; ++index)
            close_window(index);
    } else {
        close_window(window);
    }
}

namespace vexil::graphics {

WindowData* record_of_window(int index)
{
    return s_records[index];
}

} // namespace vexil::graphics

int getcurrentwindow()
{
    return VEXIL__CurrentWindow;
}

void setcurrentwindow(int window)
{
    if (window >= 0 && window < VEXIL__WindowCount && VEXIL__WindowTable[window])
        VEXIL__CurrentWindow = window;
}

// Pages.

namespace {

bool is_page(int page)
{
    return static_cast<unsigned>(page) <= 3;
}

} // namespace

int getactivepage()
{
    return vexil::graphics::current_window().ActivePage.load(std::memory_order_relaxed);
}

int getvisualpage()
{
    return vexil::graphics::current_window().VisualPage.load(std::memory_order_relaxed);
}

void setactivepage(int page)
{
    WindowData& window = vexil::graphics::current_window();
    if (is_page(page))
        window.ActivePage.store(page, std::memory_order_relaxed);
}

void setvisualpage(int page)
{
    WindowData& window = vexil::graphics::current_window();
    if (!is_page(page))
        return;
    window.VisualPage.store(page, std::memory_order_relaxed);
    InvalidateRect(window.hWnd, nullptr, FALSE);
}

void swapbuffers()
{
    WindowData& window = vexil::graphics::current_window();
    const bool drew_on_zero = window.ActivePage.load(std::memory_order_relaxed) == 0;
    window.VisualPage.store(drew_on_zero ? 0 : 1, std::memory_order_relaxed);
    window.ActivePage.store(drew_on_zero ? 1 : 0, std::memory_order_relaxed);
    InvalidateRect(window.hWnd, nullptr, FALSE);
}

// Driver, mode and error queries.

namespace {

// The longest text is two 11-character numbers, '*' and " VGAHI": 29 characters.
char s_mode_name[32];
char s_driver_name[] = "EGAVGA";

// Indexed by the negated error code.
const char* const kErrorMessages[16] = {
    "No error",
    "Graphics not installed",
    "Graphics hardware not detected",
    "Device driver not found",
    "Invalid device driver file",
    "Insufficient memory to load driver",
    "Out of memory in scan fill",
    "Out of memory in flood fill",
    "Font file not found",
    "Not enough meory to load font",
    "Invalid mode for selected driver",
    "Graphics error",
    "Graphics I/O error",
    "Invalid font file",
    "Invalid font number",
    "Invalid device number",
};

// The lowest and highest mode of drivers 1 to 10, by driver number.
constexpr int kModeRanges[11][2] = {
    {-1, -1}, {0, 4}, {0, 5}, {0, 1}, {0, 1}, {3, 3}, {0, 1}, {0, 0}, {0, 5}, {0, 2}, {0, 0},
};

} // namespace

void detectgraph(int* graphdriver, int* graphmode)
{
    if (graphdriver)
        *graphdriver = VGA;
    if (graphmode)
        *graphmode = VGAHI;
}

char* getdrivername()
{
    return s_driver_name;
}

int getgraphmode()
{
    return VGAHI;
}

int getmaxmode()
{
    return VGAHI;
}

char* getmodename(int /*mode_number*/)
{
    const WindowData& window = vexil::graphics::current_window();
    std::snprintf(s_mode_name, sizeof s_mode_name, "%d*%d VGAHI", window.Width, window.Height);
    return s_mode_name;
}

void getmoderange(int graphdriver, int* lomode, int* himode)
{
    WindowData& window = vexil::graphics::current_window();
    if (graphdriver == CURRENT_DRIVER)
        graphdriver = VGA;
    int low = -1;
    int high = -1;
    if (graphdriver >= CGA && graphdriver <= PC3270) {
        low = kModeRanges[graphdriver][0];
        high = kModeRanges[graphdriver][1];
    } else {
        window.ErrorCode = grInvalidDriver;
    }
    if (lomode)
        *lomode = low;
    if (himode)
        *himode = high;
}

int graphresult()
{
    WindowData& window = vexil::graphics::current_window();
    const int code = window.ErrorCode;
    window.ErrorCode = grOk;
    return code;
}

char* grapherrormsg(int errorcode)
{
    if (errorcode < grInvalidDeviceNum || errorcode > grOk)
        return nullptr;
    // The texts are constants; the classic signature hands them out as char*, not to be changed.
    return const_cast<char*>(kErrorMessages[-errorcode]);
}

void restorecrtmode() {}

void setgraphmode(int /*mode*/)
{
    graphdefaults();
    cleardevice();
}

void getaspectratio(int* xasp, int* yasp)
{
    const WindowData& window = vexil::graphics::current_window();
    if (xasp)
        *xasp = window.AspectX;
    if (yasp)
        *yasp = window.AspectY;
}

void setaspectratio(int xasp, int yasp)
{
    WindowData& window = vexil::graphics::current_window();
    window.AspectX = xasp;
    window.AspectY = yasp;
}

// Keyboard.

int kbhit()
{
    return vexil::graphics::current_window().KeyQueue.empty() ? 0 : 1;
}

int getch()
{
    WindowData& window = vexil::graphics::current_window();
    // A signal left by bytes that are already queued must not satisfy a later wait on an empty queue.
    if (!window.KeyQueue.empty())
        ResetEvent(window.hKeyEvent);
    char byte = 0;
    while (!window.KeyQueue.pop(byte))
        WaitForSingleObject(window.hKeyEvent, INFINITE);
    return static_cast<signed char>(byte);
}

// Defaults.

void graphdefaults()
{
    using namespace vexil::graphics;
    WindowData& window = current_window();
    setviewport(0, 0, window.Width, window.Height, 0);
    reset_palette();
    window.MousePos.store(POINTS{0, 0});
    window.Refreshing.store(true, std::memory_order_relaxed);
    setbkcolor(BLACK);
    window.FillStyle = SOLID_FILL;
    window.DrawColor = WHITE;
    window.FillColor = WHITE;
    if (const PageLock lock(window); lock) {
        for (int page = 0; page < kPageCount; ++page) {
            const HDC dc = lock.page(page);
            DeleteObject(SelectObject(dc, GetStockObject(WHITE_PEN)));
            DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
            SetTextColor(dc, converttorgb(WHITE));
            // The stock pen stays until the next colour or line setting.
            window.PagePenGeneration[page] = window.PenGeneration;
        }
    }
    window.ErrorCode = grOk;
    window.LineStyle = SOLID_LINE;
    window.LineThickness = NORM_WIDTH;
    window.ActivePage.store(window.DoubleBuffer ? 1 : 0, std::memory_order_relaxed);
    window.VisualPage.store(0, std::memory_order_relaxed);
    window.AspectX = 10000;
    window.AspectY = 10000;
}
