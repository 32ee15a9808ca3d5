// SPDX-License-Identifier: MIT
// Pages for GDI tests.
#include "gdi_fixture.h"

#include "gdi/screen.h"

#include <algorithm>

namespace vexil::gdi::testing {

Page::Page(int width, int height) : m_width(width), m_height(height)
{
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateCompatibleBitmap(screen_dc(), width, height);
    m_previous = SelectObject(m_dc, m_bitmap);
}

Page::~Page()
{
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

std::vector<COLORREF> Page::colors() const
{
    std::vector<uint32_t> pixels(static_cast<size_t>(m_width) * m_height);
    GetBitmapBits(m_bitmap, static_cast<LONG>(pixels.size() * 4), pixels.data());
    std::vector<COLORREF> out(pixels.size());
    std::transform(pixels.begin(), pixels.end(), out.begin(), [](uint32_t p) {
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    });
    return out;
}

std::string Page::ascii(COLORREF background) const
{
    std::vector<COLORREF> pixels = colors();
    std::string out;
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x)
            out += pixels[static_cast<size_t>(y) * m_width + x] == background ? '.' : '#';
        out += '\n';
    }
    return out;
}

std::string Page::ascii(const std::vector<std::pair<COLORREF, char>>& legend) const
{
    std::vector<COLORREF> pixels = colors();
    std::string out;
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            COLORREF c = pixels[static_cast<size_t>(y) * m_width + x];
            auto it = std::find_if(legend.begin(), legend.end(), [c](const auto& entry) { return entry.first == c; });
            out += it == legend.end() ? '?' : it->second;
        }
        out += '\n';
    }
    return out;
}

void Page::fill(COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    RECT all{-1000000, -1000000, 1000000, 1000000};
    POINT origin;
    SetViewportOrgEx(m_dc, 0, 0, &origin);
    HRGN clip = CreateRectRgn(0, 0, 1, 1);
    int had_clip = GetClipRgn(m_dc, clip);
    SelectClipRgn(m_dc, nullptr);
    FillRect(m_dc, &all, brush);
    if (had_clip == 1)
        SelectClipRgn(m_dc, clip);
    SetViewportOrgEx(m_dc, origin.x, origin.y, nullptr);
    DeleteObject(clip);
    DeleteObject(brush);
}

HPEN make_library_pen(COLORREF color, DWORD width, std::initializer_list<DWORD> dashes)
{
    LOGBRUSH brush{BS_SOLID, color, 0};
    std::vector<DWORD> lengths(dashes);
    return ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, width, &brush,
                        static_cast<DWORD>(lengths.size()), lengths.data());
}

} // namespace vexil::gdi::testing
