// SPDX-License-Identifier: MIT
// The current-window lookup, page access and refresh, clearing, and the drawing primitives.
#include "internal.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace vexil::graphics {

WindowData& current_window()
{
    const int index = VEXIL__CurrentWindow;
    if (index < 0 || index >= VEXIL__WindowCount || !VEXIL__WindowTable[index]) {
        showerrorbox(kNoCurrentWindowMessage);
        std::exit(0);
    }
    return *record_of_window(index);
}

void rect_to_device(HDC dc, RECT& rect)
{
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    LPtoDP(dc, corners, 2);
    rect = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void invalidate_if_shown(const WindowData& window, const RECT* device_rect)
{
    const bool wanted = device_rect == nullptr || window.Refreshing.load(std::memory_order_relaxed);
    if (wanted &&
        window.VisualPage.load(std::memory_order_relaxed) == window.ActivePage.load(std::memory_order_relaxed))
        InvalidateRect(window.hWnd, device_rect, FALSE);
}

} // namespace vexil::graphics

namespace {

using vexil::graphics::current_window;
using vexil::graphics::PageLock;

// Coordinates are any ints; a rectangle or point built from them by adding saturates instead
// of overflowing, which only ever moves it further off the page.
int saturate(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

RECT make_rect(long long left, long long top, long long right, long long bottom)
{
    return {saturate(left), saturate(top), saturate(right), saturate(bottom)};
}

// The rectangle of the pixels from (x1, y1) to (x2, y2), both included, in any order.
RECT span_rect(int x1, int y1, int x2, int y2)
{
    return make_rect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1LL, std::max(y1, y2) + 1LL);
}

// The road of every drawing call: draw on the active page under the page lock, convert the
// touched rectangle while the lock is still held (one take instead of two), release, then have
// the window repaint it; no rectangle repaints the whole window. When the lock cannot be had
// nothing is drawn and nothing is repainted.
template <typename Draw> void draw_and_refresh(WindowData& window, RECT* touched, Draw&& draw)
{
    {
        const PageLock lock(window);
        if (!lock)
            return;
        vexil::graphics::update_active_page_settings(window, lock);
        const HDC dc = lock.active();
        draw(dc);
        if (touched)
            vexil::graphics::rect_to_device(dc, *touched);
    }
    vexil::graphics::invalidate_if_shown(window, touched);
}

// Runs a fill with the page's text colour at the fill colour: pattern brushes paint their 0 bits
// in the text colour. Called with the page lock held.
template <typename Fill> void with_fill_colour(const WindowData& window, HDC dc, Fill&& fill)
{
    SetTextColor(dc, converttorgb(window.FillColor));
    fill();
    SetTextColor(dc, converttorgb(window.DrawColor));
}

RECT box_rect(int left, int top, int right, int bottom)
{
    return make_rect(left, top, right + 1LL, bottom + 1LL);
}

// A caller's list of x, y pairs has the layout of an array of POINT.
static_assert(sizeof(POINT) == 2 * sizeof(int) && alignof(POINT) == alignof(int));
const POINT* as_points(const int* pairs)
{
    return reinterpret_cast<const POINT*>(pairs);
}

} // namespace

WindowData* VEXIL__GetWindowDataPtr(HWND hWnd)
{
    if (!hWnd)
        return &current_window();
    return reinterpret_cast<WindowData*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
}

HDC VEXIL__GetWinvexilDC(HWND hwnd)
{
    WindowData* window = VEXIL__GetWindowDataPtr(hwnd);
    if (!window || !vexil::graphics::take_page_lock(*window, kPageLockTimeout))
        return nullptr;
    return window->hDC[window->ActivePage.load(std::memory_order_relaxed)];
}

void VEXIL__ReleaseWinvexilDC(HWND hwnd)
{
    if (WindowData* window = VEXIL__GetWindowDataPtr(hwnd))
        ReleaseMutex(window->hMutex);
}

void RefreshWindow(RECT* rect)
{
    WindowData& window = current_window();
    if (rect) {
        const PageLock lock(window);
        if (!lock)
            return;
        vexil::graphics::rect_to_device(lock.active(), *rect);
    }
    vexil::graphics::invalidate_if_shown(window, rect);
}

void refreshvexil(int x1, int y1, int x2, int y2)
{
    WindowData& window = current_window();
    RECT rect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    {
        const PageLock lock(window);
        if (!lock)
            return;
        vexil::graphics::rect_to_device(lock.active(), rect);
    }
    // An explicit request repaints whatever automatic refresh says.
    if (window.VisualPage.load(std::memory_order_relaxed) == window.ActivePage.load(std::memory_order_relaxed))
        InvalidateRect(window.hWnd, &rect, FALSE);
}

void refreshallvexil()
{
    RefreshWindow(nullptr);
}

void setrefreshingvexil(bool refreshing)
{
    current_window().Refreshing.store(refreshing, std::memory_order_relaxed);
}

bool getrefreshingvexil()
{
    return current_window().Refreshing.load(std::memory_order_relaxed);
}

// Clearing.

void clearviewport()
{
    WindowData& window = current_window();
    const COLORREF colour = converttorgb(window.BkColor);
    const RECT viewport = make_rect(0, 0, static_cast<long long>(window.ViewportRight) - window.ViewportLeft,
                                    static_cast<long long>(window.ViewportBottom) - window.ViewportTop);
    draw_and_refresh(window, nullptr, [&](HDC dc) {
        const HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &viewport, brush);
        DeleteObject(brush);
        MoveToEx(dc, 0, 0, nullptr);
    });
}

void cleardevice()
{
    WindowData& window = current_window();
    const COLORREF colour = converttorgb(window.BkColor);
    draw_and_refresh(window, nullptr, [&](HDC dc) {
        // The page's top-left corner in viewport coordinates.
        POINT corner{0, 0};
        DPtoLP(dc, &corner, 1);
        const HRGN saved = CreateRectRgn(0, 0, 5, 5);
        const bool clipped = GetClipRgn(dc, saved) == 1;
        if (clipped)
            SelectClipRgn(dc, nullptr);
        // The whole page from its corner, whichever side of it the viewport lies.
        const RECT page = make_rect(corner.x, corner.y, static_cast<long long>(corner.x) + window.Width,
                                    static_cast<long long>(corner.y) + window.Height);
        const HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &page, brush);
        DeleteObject(brush);
        MoveToEx(dc, corner.x, corner.y, nullptr);
        if (clipped)
            SelectClipRgn(dc, saved);
        DeleteObject(saved);
    });
}

// Lines and points.

void putpixel(int x, int y, int color)
{
    const COLORREF rgb = converttorgb(color);
    RECT touched = make_rect(x, y, x + 1LL, y + 1LL);
    draw_and_refresh(current_window(), &touched, [&](HDC dc) { SetPixelV(dc, x, y, rgb); });
}

void line(int x1, int y1, int x2, int y2)
{
    RECT touched = span_rect(x1, y1, x2, y2);
    draw_and_refresh(current_window(), &touched, [&](HDC dc) {
        POINT saved;
        MoveToEx(dc, x1, y1, &saved);
        LineTo(dc, x2, y2);
        MoveToEx(dc, saved.x, saved.y, nullptr);
    });
}

namespace {

// A line from the current position to the point that `target` gives for it, which becomes the
// current position.
template <typename Target> void line_from_current_position(Target&& target)
{
    WindowData& window = current_window();
    RECT touched{};
    {
        const PageLock lock(window);
        if (!lock)
            return;
        vexil::graphics::update_active_page_settings(window, lock);
        const HDC dc = lock.active();
        POINT from;
        GetCurrentPositionEx(dc, &from);
        const POINT to = target(from);
        LineTo(dc, to.x, to.y);
        touched = span_rect(from.x, from.y, to.x, to.y);
        vexil::graphics::rect_to_device(dc, touched);
    }
    vexil::graphics::invalidate_if_shown(window, &touched);
}

} // namespace

void lineto(int x, int y)
{
    line_from_current_position([&](POINT) { return POINT{x, y}; });
}

void linerel(int dx, int dy)
{
    line_from_current_position([&](POINT from) {
        return POINT{saturate(static_cast<long long>(from.x) + dx), saturate(static_cast<long long>(from.y) + dy)};
    });
}

void rectangle(int left, int top, int right, int bottom)
{
    // Built from the arguments in their own order.
    RECT touched = box_rect(left, top, right, bottom);
    const POINT corners[5] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
    draw_and_refresh(current_window(), &touched, [&](HDC dc) { Polyline(dc, corners, 5); });
}

void drawpoly(int numpoints, const int* polypoints)
{
    draw_and_refresh(current_window(), nullptr, [&](HDC dc) { Polyline(dc, as_points(polypoints), numpoints); });
}

// Curves and filled shapes.

void CenterToBox(int x, int y, int xradius, int yradius, int* left, int* top, int* right, int* bottom)
{
    *left = saturate(static_cast<long long>(x) - xradius);
    *top = saturate(static_cast<long long>(y) - yradius);
    *right = saturate(static_cast<long long>(x) + xradius);
    *bottom = saturate(static_cast<long long>(y) + yradius);
}

namespace {

constexpr double kPi = 3.141592653589793;

// The point at an angle in degrees on the ellipse's axes, truncated toward zero; y grows downwards.
POINT arc_point(int x, int y, int xradius, int yradius, int angle)
{
    const double radians = angle * kPi / 180.0;
    const long long dx = static_cast<long long>(std::cos(radians) * xradius);
    const long long dy = static_cast<long long>(std::sin(radians) * yradius);
    return {saturate(x + dx), saturate(y - dy)};
}

// The bounding box of a centre and radii, as the platform's ellipse calls take it, the end
// points of an arc on it, and the rectangle that drawing it touches.
struct Curve {
    int left;
    int top;
    int right;
    int bottom;
    POINT start;
    POINT end;
    RECT touched;
};

Curve curve(int x, int y, int xradius, int yradius, int stangle = 0, int endangle = 0)
{
    Curve c{};
    CenterToBox(x, y, xradius, yradius, &c.left, &c.top, &c.right, &c.bottom);
    c.start = arc_point(x, y, xradius, yradius, stangle);
    c.end = arc_point(x, y, xradius, yradius, endangle);
    c.touched = box_rect(c.left, c.top, c.right, c.bottom);
    return c;
}

void draw_arc(WindowData& window, Curve& c)
{
    draw_and_refresh(window, &c.touched, [&](HDC dc) {
        Arc(dc, c.left, c.top, c.right, c.bottom, c.start.x, c.start.y, c.end.x, c.end.y);
    });
}

} // namespace

void ArcEndPoints(int x, int y, int xradius, int yradius, int stangle, int endangle, int* xstart, int* ystart,
                  int* xend, int* yend)
{
    const POINT start = arc_point(x, y, xradius, yradius, stangle);
    const POINT end = arc_point(x, y, xradius, yradius, endangle);
    *xstart = start.x;
    *ystart = start.y;
    *xend = end.x;
    *yend = end.y;
}

void arc(int x, int y, int stangle, int endangle, int radius)
{
    WindowData& window = current_window();
    Curve c = curve(x, y, radius, radius, stangle, endangle);
    draw_arc(window, c);
    window.ArcX = x;
    window.ArcY = y;
    window.ArcXStart = c.start.x;
    window.ArcYStart = c.start.y;
    window.ArcXEnd = c.end.x;
    window.ArcYEnd = c.end.y;
}

void circle(int x, int y, int radius)
{
    Curve c = curve(x, y, radius, radius);
    // Starting and ending at the rightmost point makes a whole circle.
    c.start = c.end = POINT{c.right, y};
    draw_arc(current_window(), c);
}

void ellipse(int x, int y, int stangle, int endangle, int xradius, int yradius)
{
    Curve c = curve(x, y, xradius, yradius, stangle, endangle);
    draw_arc(current_window(), c);
}

void fillellipse(int x, int y, int xradius, int yradius)
{
    WindowData& window = current_window();
    Curve c = curve(x, y, xradius, yradius);
    draw_and_refresh(window, &c.touched, [&](HDC dc) {
        with_fill_colour(window, dc, [&] { Ellipse(dc, c.left, c.top, c.right, c.bottom); });
    });
}

void sector(int x, int y, int stangle, int endangle, int xradius, int yradius)
{
    WindowData& window = current_window();
    Curve c = curve(x, y, xradius, yradius, stangle, endangle);
    draw_and_refresh(window, &c.touched, [&](HDC dc) {
        with_fill_colour(window, dc,
                         [&] { Pie(dc, c.left, c.top, c.right, c.bottom, c.start.x, c.start.y, c.end.x, c.end.y); });
    });
}

void pieslice(int x, int y, int stangle, int endangle, int radius)
{
    sector(x, y, stangle, endangle, radius, radius);
}

void bar(int left, int top, int right, int bottom)
{
    WindowData& window = current_window();
    RECT touched = box_rect(left, top, right, bottom);
    const RECT filled{left, top, right, bottom};
    draw_and_refresh(window, &touched, [&](HDC dc) {
        const HBRUSH brush = static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH));
        with_fill_colour(window, dc, [&] { FillRect(dc, &filled, brush); });
    });
}

void bar3d(int left, int top, int right, int bottom, int depth, int topflag)
{
    WindowData& window = current_window();
    // The depth drawn at 30 degrees: tan(pi / 6), truncated toward zero.
    const int dy = static_cast<int>(depth * 0.5773502691896257);
    const int back_right = saturate(static_cast<long long>(right) + depth);
    const int back_left = saturate(static_cast<long long>(left) + depth);
    const int back_top = saturate(static_cast<long long>(top) - dy);
    const int side_bottom = saturate(static_cast<long long>(bottom) - dy);
    RECT touched = make_rect(left, back_top, back_right + 1LL, bottom + 1LL);
    draw_and_refresh(window, &touched, [&](HDC dc) {
        with_fill_colour(window, dc, [&] { Rectangle(dc, left, top, right, bottom); });
        if (depth != 0) {
            const POINT side[4] = {{right, bottom}, {back_right, side_bottom}, {back_right, back_top}, {right, top}};
            Polyline(dc, side, 4);
        }
        if (topflag != 0) {
            const POINT lid[3] = {{back_right, back_top}, {back_left, back_top}, {left, top}};
            Polyline(dc, lid, 3);
        }
    });
}

void fillpoly(int numpoints, const int* polypoints)
{
    WindowData& window = current_window();
    draw_and_refresh(window, nullptr, [&](HDC dc) {
        with_fill_colour(window, dc, [&] { Polygon(dc, as_points(polypoints), numpoints); });
    });
}

void floodfill(int x, int y, int border)
{
    WindowData& window = current_window();
    const COLORREF border_rgb = converttorgb(border);
    draw_and_refresh(window, nullptr,
                     [&](HDC dc) { with_fill_colour(window, dc, [&] { FloodFill(dc, x, y, border_rgb); }); });
}
