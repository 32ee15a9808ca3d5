// SPDX-License-Identifier: MIT
// The library's inside: the per-window record, the process-wide state and the internal functions.
//
// Threads: each window has a window thread that owns the window and runs its message loop, and
// a program's thread that makes the drawing calls. The window table, the current window and
// the drawing state belong to the program's thread; the page device contexts are shared and
// guarded by the window's page lock (hMutex); the key queue has a small lock of its own; the
// page numbers, the refresh flag, the close flag and the mouse position are atomics because
// one thread writes them while the other reads them.
#pragma once

#include "graphics.h"
#include "platform.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <string>

inline constexpr int kPageCount = 4;
// WM_MOUSEMOVE (0x0200) to WM_MOUSEWHEEL (0x020A).
inline constexpr int kMouseKinds = 11;
// How long a drawing call waits for the page lock.
inline constexpr DWORD kPageLockTimeout = 5000;
inline constexpr const char* kNoCurrentWindowMessage =
    "Drawing operation was attempted when there was no current window.";

// The dash lengths of one line style: dash, gap, dash, gap ... starting with a dash.
struct DashPattern {
    int count;
    DWORD lengths[16];
};

// Bytes typed into a window. The window thread appends, the program's thread takes; the
// lock makes the queue safe for one of each working at once.
class KeyBytes {
public:
    // Appends the bytes of one key, all of them before a reader can see any.
    void push(const char* bytes, int count)
    {
        const std::lock_guard guard(m_lock);
        m_bytes.insert(m_bytes.end(), bytes, bytes + count);
    }
    bool empty() const
    {
        const std::lock_guard guard(m_lock);
        return m_bytes.empty();
    }
    // Takes the front byte; false when there is none.
    bool pop(char& byte)
    {
        const std::lock_guard guard(m_lock);
        if (m_bytes.empty())
            return false;
        byte = m_bytes.front();
        m_bytes.pop_front();
        return true;
    }

private:
    mutable std::mutex m_lock;
    std::deque<char> m_bytes;
};

// Called on the window thread with the point of a mouse event.
typedef void (*MouseHandlerFunction)(int x, int y);

// All the state of one window. Allocated by initwindow, freed by the window thread when its
// message loop ends.
struct WindowData {
    int Width = 0;
    int Height = 0;
    int InitLeft = 0;
    int InitTop = 0;
    std::string Title;
    KeyBytes KeyQueue;
    int ArcX = 0;
    int ArcY = 0;
    int ArcXStart = 0;
    int ArcYStart = 0;
    int ArcXEnd = 0;
    int ArcYEnd = 0;
    int FillStyle = 0;
    int FillColor = 0;
    unsigned char FillPattern[8] = {};
    int LineStyle = 0;
    unsigned LinePattern = 0;
    int LineThickness = 0;
    int ViewportLeft = 0;
    int ViewportTop = 0;
    int ViewportRight = 0;
    int ViewportBottom = 0;
    int ViewportClip = 0;
    HWND hWnd = nullptr;
    // Null once the window is torn down, so a call that gets the lock afterwards draws nothing.
    HDC hDC[kPageCount] = {};
    HBITMAP hOldBitmap[kPageCount] = {};
    std::atomic<int> VisualPage{0};
    std::atomic<int> ActivePage{0};
    bool DoubleBuffer = false;
    std::atomic<bool> CloseFlag{false};
    int DrawColor = 0;
    int BkColor = 0;
    HANDLE hKeyEvent = nullptr;
    HANDLE hReadyEvent = nullptr;
    int ErrorCode = 0;
    int AspectX = 0;
    int AspectY = 0;
    std::atomic<POINTS> MousePos{POINTS{0, 0}};
    std::deque<POINTS> MouseQueue[kMouseKinds];
    bool MouseQueueAll[kMouseKinds] = {};
    MouseHandlerFunction MouseHandler[kMouseKinds] = {};
    std::atomic<bool> Refreshing{false};
    HANDLE hMutex = nullptr;
    // The pens and text colours follow the colour and line settings lazily: CreateNewPen
    // starts a new generation, and a page takes it on when it next draws, so that pages that
    // do not draw cost nothing. Used with the page lock held.
    unsigned PenGeneration = 0;
    unsigned PagePenGeneration[kPageCount] = {};
};

// Process-wide state; the table, count and current window belong to the program's thread.
extern HWND* VEXIL__WindowTable;
extern int VEXIL__WindowCount;
extern int VEXIL__CurrentWindow;
extern COLORREF VEXIL__Colors[16];
extern HINSTANCE VEXIL__hInstance;

// The record of a window, or of the current window for a null handle; with a null handle it
// does not return when there is no current window.
WindowData* VEXIL__GetWindowDataPtr(HWND hWnd);
// Takes the page lock and returns the active page's DC; null, with nothing taken, when the
// wait timed out or the window's pages are gone.
HDC VEXIL__GetWinvexilDC(HWND hwnd);
// Releases the page lock once; call it only after a take that returned a DC.
void VEXIL__ReleaseWinvexilDC(HWND hwnd);
// Converts a touched rectangle (viewport coordinates) to page coordinates in place and has the
// window repaint it when it refreshes automatically; null repaints the whole window.
void RefreshWindow(RECT* rect);
// Gives all four pages pens of the current window's colour and line settings, each built when
// its page next draws.
void CreateNewPen();
// The dash lengths of the current window's user line pattern.
DashPattern CreateUserStyle();
// Shows the library's error box; a null message shows the text of the thread's last error.
void showerrorbox(const char* message);
// Registers the window class; false (after an error box) when that fails.
bool registerWindowClass();
// Removes the window class again.
void unregisterWindowClass();
// The window thread: creates the window and its pages, then runs the message loop.
DWORD WINAPI VEXIL__ThreadInitWindow(LPVOID parameter);
// The window procedure of every library window.
LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Queues a typed character.
void cls_OnChar(HWND hwnd, char ch, int repeat);
// The bounding box of a centre and two radii.
void CenterToBox(int x, int y, int xradius, int yradius, int* left, int* top, int* right, int* bottom);
// The start and end points of an arc from its centre, radii and angles in degrees.
void ArcEndPoints(int x, int y, int xradius, int yradius, int stangle, int endangle, int* xstart, int* ystart,
                  int* xend, int* yend);

namespace vexil::graphics {

// Takes a window's page lock; false, with nothing held, when the wait failed or timed out, and
// false, with the lock given back, when the window's pages are gone.
inline bool take_page_lock(WindowData& window, DWORD timeout)
{
    const DWORD result = WaitForSingleObject(window.hMutex, timeout);
    // An abandoned mutex is owned by the waiter all the same.
    if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED)
        return false;
    if (window.hDC[0] == nullptr) {
        ReleaseMutex(window.hMutex);
        return false;
    }
    return true;
}

// Holds a window's page lock for the length of one call. When it could not be taken the guard
// tests false, nothing is drawn and nothing is released.
class PageLock {
public:
    explicit PageLock(WindowData& window, DWORD timeout = kPageLockTimeout)
        : m_window(window), m_owned(take_page_lock(window, timeout))
    {
    }
    PageLock(const PageLock&) = delete;
    PageLock& operator=(const PageLock&) = delete;
    ~PageLock()
    {
        if (m_owned)
            ReleaseMutex(m_window.hMutex);
    }
    explicit operator bool() const { return m_owned; }
    HDC active() const { return m_window.hDC[m_window.ActivePage.load(std::memory_order_relaxed)]; }
    HDC page(int index) const { return m_window.hDC[index]; }

private:
    WindowData& m_window;
    bool m_owned;
};

// The current window's record; shows the no-current-window message and ends the process
// when there is none.
WindowData& current_window();

// The record of an open window's table entry: the value of its user-data slot.
WindowData* record_of_window(int index);

// Converts a rectangle from a page's logical coordinates to its device coordinates.
void rect_to_device(HDC dc, RECT& rect);

// Has the window repaint a rectangle in page coordinates, or all of it for null, when the
// active page is shown; a rectangle only while automatic refresh is on.
void invalidate_if_shown(const WindowData& window, const RECT* device_rect);

// Gives the active page the text colour and pen of the current settings if they changed since
// it last drew. Called with the page lock held, before drawing.
void update_active_page_settings(WindowData& window, const PageLock& lock);

// Fills VEXIL__Colors with the sixteen palette colours.
void reset_palette();

} // namespace vexil::graphics
