// SPDX-License-Identifier: MIT
// Surface DCs: drawing onto pixels someone else owns, limited by the system clip.
#include "gdi_fixture.h"

#include "gdi/surface_dc.h"

namespace vexil::gdi::testing {
namespace {

// A surface with a guard column on the right (stride > width) that no call may touch.
struct OwnedSurface {
    static constexpr uint32_t kGuard = 0x00ABCDEF;
    std::vector<uint32_t> pixels;
    raster::Surface surface;

    OwnedSurface(int width, int height) : pixels(static_cast<size_t>(width + 1) * height, 0)
    {
        for (int y = 0; y < height; ++y)
            pixels[static_cast<size_t>(y) * (width + 1) + width] = kGuard;
        surface = {pixels.data(), width, height, width + 1};
    }

    std::string ascii() const
    {
        std::string out;
        for (int y = 0; y < surface.height; ++y) {
            for (int x = 0; x < surface.width; ++x)
                out += surface.row(y)[x] ? '#' : '.';
            out += surface.row(y)[surface.width] == kGuard ? '\n' : '!';
        }
        return out;
    }
};

TEST(GdiSurfaceDcTest, DrawsOntoTheOwnersPixelsWithinTheSystemClipAndTheClipRegion)
{
    OwnedSurface owned(8, 4);
    HDC dc = create_surface_dc(owned.surface);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));

    // Overlapping rectangles, as an update region may have, and one past the surface.
    const RECT update[] = {{0, 0, 3, 2}, {2, 1, 5, 3}, {6, 3, 100, 100}};
    set_surface_dc_clip(dc, update, 3);
    HBRUSH brush = CreateSolidBrush(kRed);
    SetROP2(dc, R2_XORPEN);
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, brush);
    Rectangle(dc, -10, -10, 100, 100); // XOR: a pixel painted twice would come out black
    EXPECT_TRUE(same_picture(art({
                                 "###.....",
                                 "#####...",
                                 "..###...",
                                 "......##",
                             }),
                             owned.ascii()));

    // The clip region narrows the system clip further and GetClipRgn reports it alone.
    std::fill(owned.pixels.begin(), owned.pixels.end(), 0);
    owned.pixels[8] = owned.pixels[17] = owned.pixels[26] = owned.pixels[35] = OwnedSurface::kGuard;
    HRGN region = CreateRectRgn(2, 0, 8, 4);
    SelectClipRgn(dc, region);
    SetROP2(dc, R2_COPYPEN);
    Rectangle(dc, -10, -10, 100, 100);
    EXPECT_TRUE(same_picture(art({
                                 "..#.....",
                                 "..###...",
                                 "..###...",
                                 "......##",
                             }),
                             owned.ascii()));
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetClipRgn(dc, copy), 1);
    RECT box{};
    GetRgnBox(copy, &box);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.right, 8);

    // Only empty rectangles allow nothing, as an empty update region does.
    SelectClipRgn(dc, nullptr);
    const RECT empty{5, 5, 5, 9};
    set_surface_dc_clip(dc, &empty, 1);
    EXPECT_FALSE(SetPixelV(dc, 0, 0, kWhite));
    EXPECT_EQ(owned.surface.row(0)[0], 0u);

    // count 0 lifts the system clip: the whole surface.
    set_surface_dc_clip(dc, nullptr, 0);
    Rectangle(dc, -10, -10, 100, 100);
    EXPECT_EQ(owned.ascii(), art({"########", "########", "########", "########"}));

    EXPECT_FALSE(DeleteObject(brush)) << "still selected";
    destroy_surface_dc(dc);
    EXPECT_TRUE(DeleteObject(brush)) << "destroying the DC released it";
    EXPECT_FALSE(SetPixelV(dc, 0, 0, kRed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    DeleteObject(region);
    DeleteObject(copy);
}

TEST(GdiSurfaceDcTest, BitBltFromAPageIntoASurfaceDc)
{
    Page page(4, 2);
    page.fill(kRed);
    OwnedSurface owned(4, 2);
    HDC dc = create_surface_dc(owned.surface);
    const RECT update{1, 0, 3, 2};
    set_surface_dc_clip(dc, &update, 1);
    EXPECT_TRUE(BitBlt(dc, 0, 0, 4, 2, page.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(owned.ascii(), art({".##.", ".##."}));
    EXPECT_EQ(owned.surface.row(0)[1], 0x00FF0000u) << "pixels are 0x00RRGGBB";
    destroy_surface_dc(dc);

    HDC memory = CreateCompatibleDC(nullptr);
    destroy_surface_dc(memory); // not a surface DC: left alone
    EXPECT_EQ(GetObjectType(memory), static_cast<DWORD>(OBJ_MEMDC));
    DeleteDC(memory);
}

} // namespace
} // namespace vexil::gdi::testing
