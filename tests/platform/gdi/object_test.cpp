// SPDX-License-Identifier: MIT
// GDI objects behind handles: selection, deletion, stock objects and handle errors.
#include "gdi_fixture.h"

#include "gdi/screen.h"

#include <thread>
#include <vector>

namespace vexil::gdi::testing {
namespace {

TEST(GdiObjectTest, SelectObjectReturnsThePreviousObjectOfEachKind)
{
    Page page(4, 4);
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HBRUSH brush = CreateSolidBrush(kRed);
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);

    EXPECT_EQ(SelectObject(page.dc(), pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(page.dc(), brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(page.dc(), font), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetCurrentObject(page.dc(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(page.dc(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(page.dc(), OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(page.dc(), OBJ_BITMAP), page.bitmap());

    EXPECT_EQ(SelectObject(page.dc(), GetStockObject(WHITE_PEN)), pen);
    EXPECT_EQ(SelectObject(page.dc(), GetStockObject(BLACK_BRUSH)), brush);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
}

TEST(GdiObjectTest, SelectingARegionReturnsItsType)
{
    Page page(10, 10);
    HRGN box = CreateRectRgn(2, 2, 5, 5);
    HRGN empty = CreateRectRgn(3, 3, 3, 8);
    EXPECT_EQ(SelectObject(page.dc(), box), reinterpret_cast<HGDIOBJ>(SIMPLEREGION));
    EXPECT_EQ(SelectObject(page.dc(), empty), reinterpret_cast<HGDIOBJ>(NULLREGION));
    DeleteObject(box);
    DeleteObject(empty);
    EXPECT_EQ(SelectObject(page.dc(), box), HGDI_ERROR);
}

TEST(GdiObjectTest, DeleteObjectRefusesWhatADcHoldsUntilItIsDeselected)
{
    Page page(4, 4);
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HBRUSH brush = CreateHatchBrush(HS_CROSS, kRed);
    HDC other = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(page.dc(), 3, 3);
    HGDIOBJ old_pen = SelectObject(page.dc(), pen);
    SelectObject(other, pen); // a pen may be held by two DCs at once
    HGDIOBJ old_brush = SelectObject(page.dc(), brush);
    HGDIOBJ old_bitmap = SelectObject(other, bitmap);

    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN)) << "a refused deletion leaves the object alive";

    SelectObject(page.dc(), old_pen);
    EXPECT_FALSE(DeleteObject(pen)) << "the other DC still holds it";
    SelectObject(other, old_pen);
    SelectObject(page.dc(), old_brush);
    SelectObject(other, old_bitmap);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(bitmap));
    DeleteDC(other);
}

TEST(GdiObjectTest, DeleteDcReleasesItsObjects)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    SelectObject(dc, pen);
    SelectObject(dc, bitmap);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(GdiObjectTest, ABitmapIsHeldByOneDcAtATime)
{
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(first, bitmap);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_EQ(SelectObject(first, bitmap), bitmap) << "selecting it again into its own DC is fine";
    SelectObject(first, old);
    EXPECT_NE(SelectObject(second, bitmap), nullptr);
    DeleteDC(first);
    DeleteDC(second);
    DeleteObject(bitmap);
}

TEST(GdiObjectTest, StockObjectsAreSharedAndNeverDeleted)
{
    for (int index : {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH, NULL_BRUSH, WHITE_PEN,
                      BLACK_PEN, NULL_PEN, OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT,
                      DEVICE_DEFAULT_FONT, SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT}) {
        HGDIOBJ object = GetStockObject(index);
        ASSERT_NE(object, nullptr) << index;
        EXPECT_EQ(GetStockObject(index), object);
        EXPECT_TRUE(DeleteObject(object)) << index;
        EXPECT_NE(GetObjectType(object), 0u) << index << " survives DeleteObject";
    }
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(GetStockObject(1000), nullptr);

    LOGPEN pen{};
    ASSERT_EQ(GetObjectA(GetStockObject(WHITE_PEN), sizeof(pen), &pen), static_cast<int>(sizeof(pen)));
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_SOLID)) << "stock pens are cosmetic";
    EXPECT_EQ(pen.lopnColor, kWhite);
}

TEST(GdiObjectTest, StaleInventedAndMismatchedHandlesFailWithInvalidHandle)
{
    Page page(4, 4);
    HPEN stale = CreatePen(PS_SOLID, 1, kRed);
    DeleteObject(stale);
    HDC stale_dc = CreateCompatibleDC(nullptr);
    DeleteDC(stale_dc);
    HBRUSH brush = CreateSolidBrush(kRed);

    struct Case {
        const char* name;
        HGDIOBJ object;
    } cases[] = {
        {"deleted pen", stale},
        {"null", nullptr},
        {"invented", reinterpret_cast<HGDIOBJ>(0x1234)},
        {"a DC given as an object", page.dc()},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(SelectObject(page.dc(), c.object), nullptr) << c.name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << c.name;
        SetLastError(0);
        EXPECT_FALSE(DeleteObject(c.object)) << c.name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << c.name;
        EXPECT_EQ(GetObjectA(c.object, 0, nullptr), 0) << c.name;
    }
    EXPECT_EQ(GetCurrentObject(page.dc(), OBJ_PEN), GetStockObject(BLACK_PEN));

    SetLastError(0);
    EXPECT_EQ(SelectObject(stale_dc, brush), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(CreateCompatibleDC(stale_dc), nullptr);
    EXPECT_EQ(GetDeviceCaps(stale_dc, BITSPIXEL), 0);
    EXPECT_TRUE(DeleteObject(brush));
}

TEST(GdiObjectTest, ExtCreatePenTakesTheLibrarysPensAndRefusesBadStyles)
{
    LOGBRUSH solid{BS_SOLID, kRed, 0};
    DWORD user = PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL;
    DWORD sixteen[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    DWORD zeros[2] = {0, 0};

    HPEN pen = ExtCreatePen(user, 3, &solid, 16, sixteen);
    ASSERT_NE(pen, nullptr);
    EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_EXTPEN));
    struct {
        EXTLOGPEN head;
        DWORD more[15];
    } described{};
    ASSERT_GT(GetObjectA(pen, sizeof(described), &described), 0);
    EXPECT_EQ(described.head.elpPenStyle, user);
    EXPECT_EQ(described.head.elpWidth, 3u);
    EXPECT_EQ(described.head.elpColor, kRed);
    EXPECT_EQ(described.head.elpNumEntries, 16u);
    EXPECT_EQ(described.more[14], 16u);
    DeleteObject(pen);

    HPEN solid_pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 1, &solid, 0, nullptr);
    EXPECT_NE(solid_pen, nullptr);
    DeleteObject(solid_pen);

    struct Case {
        const char* name;
        DWORD style;
        DWORD width;
        const LOGBRUSH* brush;
        DWORD count;
        const DWORD* lengths;
    } refused[] = {
        {"seventeen lengths", user, 1, &solid, 17, sixteen},
        {"no lengths", user, 1, &solid, 0, nullptr},
        {"only zeros", user, 1, &solid, 2, zeros},
        {"lengths without a user style", PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 1, &solid, 2,
         sixteen},
        {"no brush", user, 1, nullptr, 2, sixteen},
        {"a wide cosmetic pen", PS_COSMETIC | PS_SOLID, 2, &solid, 0, nullptr},
        {"an unknown style", PS_GEOMETRIC | 9, 1, &solid, 0, nullptr},
    };
    for (const Case& c : refused) {
        SetLastError(0);
        EXPECT_EQ(ExtCreatePen(c.style, c.width, c.brush, c.count, c.lengths), nullptr) << c.name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << c.name;
    }
}

TEST(GdiObjectTest, DeviceCapsDescribeThe32BitScreen)
{
    set_screen_size(1280, 1024);
    HDC memory = CreateCompatibleDC(nullptr);
    for (HDC dc : {screen_dc(), memory}) {
        EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
        EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
        EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1280);
        EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 1024);
        EXPECT_TRUE(GetDeviceCaps(dc, RASTERCAPS) & RC_BITBLT);
        EXPECT_FALSE(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE);
    }
    EXPECT_FALSE(DeleteDC(screen_dc()));
    EXPECT_EQ(GetDeviceCaps(screen_dc(), BITSPIXEL), 32) << "the screen DC outlives DeleteDC";
    DeleteDC(memory);
}

TEST(GdiObjectTest, ThreadsMakeSelectAndDeleteObjectsAtOnce)
{
    // Each thread draws on its own page, as each window thread does, while all of them make
    // and delete pens (the demonstration program's pattern) and share one pen of the main thread.
    HPEN shared = CreatePen(PS_SOLID, 1, kGreen);
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, shared, &failures] {
            Page page(16, 16);
            for (int i = 0; i < 500; ++i) {
                HPEN pen = make_library_pen(RGB(t, i & 0xFF, 0), 1);
                if (!SelectObject(page.dc(), pen))
                    ++failures[t];
                MoveToEx(page.dc(), 0, i % 16, nullptr);
                LineTo(page.dc(), 15, i % 16);
                SelectObject(page.dc(), shared);
                if (!DeleteObject(pen))
                    ++failures[t];
            }
            SelectObject(page.dc(), GetStockObject(BLACK_PEN));
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
    EXPECT_TRUE(DeleteObject(shared)) << "every thread released it";
}

} // namespace
} // namespace vexil::gdi::testing
