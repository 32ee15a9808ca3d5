// SPDX-License-Identifier: MIT
// Pages for GDI tests: a memory DC holding a 32-bit bitmap, read back as ASCII art.
#pragma once

#include "raster/fixture.h"

#include <win32/win32.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vexil::gdi::testing {

using raster::testing::art;
using raster::testing::same_picture;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A width x height page, black, as the library makes its pages: a memory DC compatible with the
// screen holding a bitmap compatible with the screen.
class Page {
public:
    Page(int width, int height);
    ~Page();
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    // The page's pixels as COLORREFs, row by row, read with GetBitmapBits (so neither the clip
    // nor the viewport of the DC matter).
    std::vector<COLORREF> colors() const;
    COLORREF at(int x, int y) const { return colors()[static_cast<size_t>(y) * m_width + x]; }
    // One line per row: `background` as '.', anything else as '#'.
    std::string ascii(COLORREF background = kBlack) const;
    // One character per pixel from the legend; '?' for a colour it does not name.
    std::string ascii(const std::vector<std::pair<COLORREF, char>>& legend) const;
    void fill(COLORREF color);

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
};

// A geometric pen as the library makes them: square caps, bevel joins, user style.
HPEN make_library_pen(COLORREF color, DWORD width, std::initializer_list<DWORD> dashes = {16, 0});

} // namespace vexil::gdi::testing
