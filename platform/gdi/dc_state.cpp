// SPDX-License-Identifier: MIT
// The state a DC keeps between drawing calls: colours, modes, viewport origin and position.
#include "gdi/handles.h"

#include <algorithm>

namespace vexil::gdi {

namespace {

// Sets one int field of a DC's state when `valid` accepts the value; returns the previous
// value, or 0 (with the last error set) as GDI does for a bad DC or value.
template <typename Valid> int set_mode(HDC hdc, int DeviceContext::*field, int value, Valid valid)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return 0;
    if (!valid(value)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return std::exchange(dc->*field, value);
}

int get_mode(HDC hdc, int DeviceContext::*field)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    return dc ? dc->*field : 0;
}

COLORREF set_color(HDC hdc, COLORREF DeviceContext::*field, COLORREF color)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    return dc ? std::exchange(dc->*field, color) : CLR_INVALID;
}

COLORREF get_color(HDC hdc, COLORREF DeviceContext::*field)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    return dc ? dc->*field : CLR_INVALID;
}

// Sets a point of the DC's state, handing back the previous one when asked.
BOOL set_point(HDC hdc, POINT DeviceContext::*field, int x, int y, LPPOINT previous)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return FALSE;
    if (previous)
        *previous = dc->*field;
    dc->*field = {x, y};
    return TRUE;
}

BOOL get_point(HDC hdc, POINT DeviceContext::*field, LPPOINT out)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return FALSE;
    if (!out) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *out = dc->*field;
    return TRUE;
}

LONG saturate(int64_t value)
{
    return static_cast<LONG>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Moves `count` points by `sign` times the viewport origin; the results saturate at the
// 32-bit range rather than wrap.
BOOL shift_points(HDC hdc, LPPOINT points, int count, int sign)
{
    DeviceContext* dc = find<DeviceContext>(hdc);
    if (!dc)
        return FALSE;
    if (count < 0 || (count > 0 && !points)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (int i = 0; i < count; ++i) {
        points[i].x = saturate(int64_t{points[i].x} + sign * int64_t{dc->viewport_origin.x});
        points[i].y = saturate(int64_t{points[i].y} + sign * int64_t{dc->viewport_origin.y});
    }
    return TRUE;
}

} // namespace

} // namespace vexil::gdi

using namespace vexil::gdi;

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color)
{
    return set_color(hdc, &DeviceContext::text_color, color);
}

COLORREF WINAPI GetTextColor(HDC hdc)
{
    return get_color(hdc, &DeviceContext::text_color);
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color)
{
    return set_color(hdc, &DeviceContext::bk_color, color);
}

COLORREF WINAPI GetBkColor(HDC hdc)
{
    return get_color(hdc, &DeviceContext::bk_color);
}

int WINAPI SetBkMode(HDC hdc, int mode)
{
    return set_mode(hdc, &DeviceContext::bk_mode, mode, [](int m) { return m == TRANSPARENT || m == OPAQUE; });
}

int WINAPI GetBkMode(HDC hdc)
{
    return get_mode(hdc, &DeviceContext::bk_mode);
}

int WINAPI SetROP2(HDC hdc, int rop2)
{
    return set_mode(hdc, &DeviceContext::rop2, rop2, [](int r) { return r >= R2_BLACK && r <= R2_WHITE; });
}

int WINAPI GetROP2(HDC hdc)
{
    return get_mode(hdc, &DeviceContext::rop2);
}

int WINAPI SetArcDirection(HDC hdc, int dir)
{
    return set_mode(hdc, &DeviceContext::arc_direction, dir,
                    [](int d) { return d == AD_COUNTERCLOCKWISE || d == AD_CLOCKWISE; });
}

int WINAPI GetArcDirection(HDC hdc)
{
    return get_mode(hdc, &DeviceContext::arc_direction);
}

int WINAPI SetPolyFillMode(HDC hdc, int mode)
{
    return set_mode(hdc, &DeviceContext::poly_fill_mode, mode, [](int m) { return m == ALTERNATE || m == WINDING; });
}

int WINAPI GetPolyFillMode(HDC hdc)
{
    return get_mode(hdc, &DeviceContext::poly_fill_mode);
}

BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return set_point(hdc, &DeviceContext::viewport_origin, x, y, lppt);
}

BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT lppoint)
{
    return get_point(hdc, &DeviceContext::viewport_origin, lppoint);
}

BOOL WINAPI LPtoDP(HDC hdc, LPPOINT lppt, int c)
{
    return shift_points(hdc, lppt, c, +1);
}

BOOL WINAPI DPtoLP(HDC hdc, LPPOINT lppt, int c)
{
    return shift_points(hdc, lppt, c, -1);
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return set_point(hdc, &DeviceContext::position, x, y, lppt);
}

BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT lppt)
{
    return get_point(hdc, &DeviceContext::position, lppt);
}
