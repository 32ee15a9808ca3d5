// SPDX-License-Identifier: MIT
// Tests of drawing text: where ink lands, clipping, the opaque cell, blending and coordinates.
#include "canvas.h"
#include "gdi/text/sized_face.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

namespace vexil::text {
namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kBlack = 0x00000000;

struct Cell {
    int64_t left, top, right, bottom;
    bool contains(int64_t x, int64_t y) const { return x >= left && x < right && y >= top && y < bottom; }
};

Cell cell_of(const Font& font, const std::string& text, int64_t x, int64_t y)
{
    Extent extent;
    EXPECT_EQ(measure(font, text.data(), text.size(), extent), Status::Ok);
    return {x, y, x + extent.width, y + extent.height};
}

void draw_text(Canvas& canvas, const Font& font, const std::string& text, int64_t x, int64_t y, const TextPaint& paint,
               const std::vector<raster::Box>& clip)
{
    EXPECT_EQ(draw(font, canvas.surface(), clip.data(), clip.size(), x, y, text.data(), text.size(), paint),
              Status::Ok);
}

void draw_text(Canvas& canvas, const Font& font, const std::string& text, int64_t x, int64_t y, const TextPaint& paint)
{
    draw_text(canvas, font, text, x, y, paint, {canvas.bounds()});
}

int count_changed(const Canvas& canvas, uint32_t page_pixel)
{
    int changed = 0;
    for (int32_t y = 0; y < canvas.height(); ++y) {
        for (int32_t x = 0; x < canvas.width(); ++x) {
            changed += canvas.at(x, y) != page_pixel;
        }
    }
    return changed;
}

std::string all_bytes()
{
    std::string text;
    for (int byte = 1; byte < 256; ++byte) {
        text += static_cast<char>(byte);
    }
    return text;
}

TEST(TextDrawTest, InkStaysInsideTheMeasuredCell)
{
    // Descenders, accents above capitals, overhanging italics-like shapes and wide glyphs.
    const std::string texts[] = {"Save image as...", "jgpqy_|", "\xC5\xC9\xD1\xDC\xFF\xC7", "fff ///", "\x80\x89\x97",
                                 "W", all_bytes().substr(0, 80)};
    const Font fonts[] = {default_font(FontRole::Gui), default_font(FontRole::Fixed), font_of_height(Family::Sans, 31)};
    for (const Font& font : fonts) {
        for (const std::string& text : texts) {
            Canvas canvas(900, 60, kWhite);
            draw_text(canvas, font, text, 6, 9, {kBlack});
            const Cell cell = cell_of(font, text, 6, 9);
            int ink = 0;
            for (int32_t y = 0; y < canvas.height(); ++y) {
                for (int32_t x = 0; x < canvas.width(); ++x) {
                    if (canvas.at(x, y) != kWhite) {
                        ++ink;
                        ASSERT_TRUE(cell.contains(x, y)) << text << " at " << x << "," << y;
                    }
                }
            }
            EXPECT_GT(ink, 0) << text;
            EXPECT_TRUE(canvas.guard_intact());
        }
    }
}

TEST(TextDrawTest, OnlyClipBoxPixelsChangeAndTheyMatchAnUnclippedDraw)
{
    const Font font = font_of_height(Family::Sans, 24);
    const std::string text = "Windows Vexil";
    Canvas whole(220, 40, kWhite);
    draw_text(whole, font, text, 3, 4, {kBlack});

    // Disjoint boxes cutting through glyphs, one reaching past the surface, one empty, one outside.
    const std::vector<raster::Box> clip = {{10, 0, 37, 15}, {50, 12, 400, 90}, {5, 30, 5, 40}, {-50, -50, -1, -1}};
    Canvas clipped(220, 40, kWhite);
    draw_text(clipped, font, text, 3, 4, {kBlack}, clip);

    int inside_changed = 0;
    for (int32_t y = 0; y < clipped.height(); ++y) {
        for (int32_t x = 0; x < clipped.width(); ++x) {
            bool in_clip = false;
            for (const raster::Box& box : clip) {
                in_clip = in_clip || (x >= box.left && x < box.right && y >= box.top && y < box.bottom);
            }
            const uint32_t expected = in_clip ? whole.at(x, y) : kWhite;
            ASSERT_EQ(clipped.at(x, y), expected) << x << "," << y;
            inside_changed += in_clip && expected != kWhite;
        }
    }
    EXPECT_GT(inside_changed, 0);
    EXPECT_TRUE(clipped.guard_intact());

    Canvas untouched(220, 40, kWhite);
    EXPECT_EQ(draw(font, untouched.surface(), nullptr, 0, 3, 4, text.data(), text.size(), {kBlack}), Status::Ok);
    EXPECT_EQ(count_changed(untouched, kWhite), 0) << "no clip boxes means nothing is visible";
}

TEST(TextDrawTest, OpaqueBackgroundFillsExactlyTheCell)
{
    const Font font = default_font(FontRole::Gui);
    const std::string text = "Print 4.5\" wide";
    constexpr uint32_t kBackground = 0x00C0C0FF;
    const Cell cell = cell_of(font, text, 11, 7);
    // With the text in the background colour, the whole cell and nothing else turns that colour.
    Canvas canvas(200, 30, kWhite);
    draw_text(canvas, font, text, 11, 7, {kBackground, kBackground});
    for (int32_t y = 0; y < canvas.height(); ++y) {
        for (int32_t x = 0; x < canvas.width(); ++x) {
            ASSERT_EQ(canvas.at(x, y), cell.contains(x, y) ? kBackground : kWhite) << x << "," << y;
        }
    }
    // In another colour the text goes over the fill, never outside the cell.
    Canvas inked(200, 30, kWhite);
    draw_text(inked, font, text, 11, 7, {kBlack, kBackground});
    const int64_t area = (cell.right - cell.left) * (cell.bottom - cell.top);
    EXPECT_EQ(count_changed(inked, kWhite), area);
    EXPECT_GT(count_changed(inked, kBackground) - (inked.width() * inked.height() - area), 0) << "text over the fill";
}

TEST(TextDrawTest, GreyMixesTheColoursAndAliasedUsesOnlyTwo)
{
    const Font font = default_font(FontRole::Gui);
    const std::string text = "Save image as... & 0123";
    constexpr uint32_t kRed = 0x00FF0000;
    constexpr uint32_t kBlue = 0x000000FF;

    Canvas grey(220, 20, kBlue);
    draw_text(grey, font, text, 2, 2, {kRed, std::nullopt, Antialias::Grey});
    int intermediate = 0;
    for (int32_t y = 0; y < grey.height(); ++y) {
        for (int32_t x = 0; x < grey.width(); ++x) {
            const uint32_t pixel = grey.at(x, y);
            const uint32_t red = pixel >> 16;
            const uint32_t blue = pixel & 0xFF;
            // The mix of red over blue at coverage a is (a, 0, 255 - a): the two always sum to 255.
            ASSERT_EQ(pixel & 0xFF00FF00u, 0u) << x << "," << y;
            ASSERT_EQ(red + blue, 255u) << x << "," << y;
            intermediate += red != 0 && red != 255;
        }
    }
    EXPECT_GT(intermediate, 10);

    Canvas aliased(220, 20, kBlue);
    draw_text(aliased, font, text, 2, 2, {kRed, std::nullopt, Antialias::None});
    std::set<uint32_t> colours;
    for (int32_t y = 0; y < aliased.height(); ++y) {
        for (int32_t x = 0; x < aliased.width(); ++x) {
            colours.insert(aliased.at(x, y));
        }
    }
    EXPECT_EQ(colours, (std::set<uint32_t>{kRed, kBlue}));
}

TEST(TextDrawTest, HighBytesDrawAndTheEuroHasItsOwnGlyph)
{
    const Font font = default_font(FontRole::System);
    Canvas canvas(4200, 24, kWhite);
    draw_text(canvas, font, all_bytes(), 0, 2, {kBlack});
    EXPECT_TRUE(canvas.guard_intact());

    const auto render = [&](const std::string& text) {
        Canvas single(40, 24, kWhite);
        draw_text(single, font, text, 2, 2, {kBlack});
        return single;
    };
    ASSERT_NE(FT_Get_Char_Index(font.face()->ft_face, 0x20AC), 0u) << "the test font lacks the euro sign";
    const Canvas euro = render("\x80");
    const Canvas undefined = render("\x81");
    EXPECT_GT(count_changed(euro, kWhite), 0);
    EXPECT_NE(euro, undefined);
    EXPECT_NE(euro, render("?"));
    // Every undefined byte shows the same missing glyph, and shows something.
    EXPECT_GT(count_changed(undefined, kWhite), 0);
    EXPECT_EQ(undefined, render("\x8D"));
    EXPECT_EQ(undefined, render("\x90"));
    // Bytes 0xA0..0xFF are Latin-1: 0xE9 is e with an acute accent, so it has more ink than e.
    EXPECT_GT(count_changed(render("\xE9"), kWhite), count_changed(render("e"), kWhite));
}

TEST(TextDrawTest, HandlesCoordinatesNearTheLimits)
{
    const Font font = font_of_height(Family::Sans, 20);
    const std::string text = "Save image as...";
    const int64_t kInt32Max = INT32_MAX;
    const int64_t kInt32Min = INT32_MIN;
    const struct {
        int64_t x, y;
        bool visible;
    } cases[] = {
        {kInt32Max, 5, false},     {kInt32Max - 10, kInt32Max - 10, false}, {kInt32Min, 5, false},
        {kInt32Min, kInt32Min, false}, {5, kInt32Min + 3, false},           {INT64_MAX, INT64_MAX, false},
        {INT64_MIN, INT64_MIN, false}, {INT64_MIN, 5, false},               {5, INT64_MAX - 3, false},
        {kInt32Max + 1, 0, false}, {kInt32Min - 100, 0, false},
        // Straddling each edge of the surface.
        {-30, -9, true},           {70, 25, true},
    };
    for (const auto& c : cases) {
        Canvas canvas(100, 40, kWhite);
        draw_text(canvas, font, text, c.x, c.y, {kBlack, 0x00808080});
        EXPECT_TRUE(canvas.guard_intact()) << c.x << "," << c.y;
        EXPECT_EQ(count_changed(canvas, kWhite) > 0, c.visible) << c.x << "," << c.y;
    }
}

TEST(TextDrawTest, BadArgumentsDrawNothing)
{
    const Font font = default_font(FontRole::Gui);
    Canvas canvas(50, 20, kWhite);
    raster::Surface surface = canvas.surface();
    const raster::Box box = canvas.bounds();
    EXPECT_EQ(draw(Font(), surface, &box, 1, 0, 0, "ab", 2, {kBlack, kBlack}), Status::NoFont);
    EXPECT_EQ(draw(font, surface, &box, 1, 0, 0, nullptr, 2, {kBlack, kBlack}), Status::InvalidArgument);
    EXPECT_EQ(draw(font, surface, nullptr, 1, 0, 0, "ab", 2, {kBlack, kBlack}), Status::InvalidArgument);
    raster::Surface narrow = surface;
    narrow.stride = narrow.width - 1;
    EXPECT_EQ(draw(font, narrow, &box, 1, 0, 0, "ab", 2, {kBlack, kBlack}), Status::InvalidArgument);
    raster::Surface no_pixels = surface;
    no_pixels.pixels = nullptr;
    EXPECT_EQ(draw(font, no_pixels, &box, 1, 0, 0, "ab", 2, {kBlack, kBlack}), Status::InvalidArgument);
    EXPECT_EQ(count_changed(canvas, kWhite), 0);
    EXPECT_TRUE(canvas.guard_intact());
}

} // namespace
} // namespace vexil::text
