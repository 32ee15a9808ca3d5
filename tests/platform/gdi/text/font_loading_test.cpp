// SPDX-License-Identifier: MIT
// Tests of the font state: unreadable font files, the glyph cache under threads, and exit.
#include "canvas.h"
#include "gdi/text/sized_face.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace vexil::text {
namespace {

TEST(FontLoadingTest, UnreadableFilesAreRejected)
{
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "vexil_text_test";
    std::filesystem::create_directories(folder);
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {
        {"empty.ttf", ""},
        {"garbage.ttf", std::string(4096, '\x5A')},
        // A TrueType signature and a table directory claiming tables past the end of the file.
        {"truncated.ttf", std::string("\x00\x01\x00\x00\x00\x04\x00\x40\x00\x02\x00\x00glyf", 16)},
    };
    for (const auto& file : files) {
        const std::filesystem::path path = folder / file.name;
        std::ofstream(path, std::ios::binary) << file.bytes;
        EXPECT_EQ(open_outline_face(library, path.c_str(), 0), nullptr) << file.name;
    }
    EXPECT_EQ(open_outline_face(library, (folder / "missing.ttf").c_str(), 0), nullptr);
    std::filesystem::remove_all(folder);
    FT_Done_FreeType(library);
}

// Draws a menu-sized string into a fresh canvas.
Canvas draw_menu_text(const Font& font)
{
    Canvas canvas(260, 40, 0x00FFFFFF);
    const std::string text = "Print 7\" wide \xC5\x80\xE9";
    const raster::Box box = canvas.bounds();
    EXPECT_EQ(draw(font, canvas.surface(), &box, 1, 1, 1, text.data(), text.size(), {0x00000080}), Status::Ok);
    return canvas;
}

TEST(FontLoadingTest, ThreadsFillingOneCacheDrawWhatOneThreadDraws)
{
    // Heights no other test uses, so the threads race to load the face and render its glyphs.
    const int32_t heights[] = {17, 23};
    std::vector<Canvas> results[2];
    std::vector<std::thread> threads;
    std::atomic<bool> go{false};
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&, i] {
            while (!go.load()) {
                std::this_thread::yield();
            }
            const Font font = font_of_height(i % 2 == 0 ? Family::Sans : Family::Mono, heights[i % 2]);
            (void)draw_menu_text(font);
        });
    }
    go.store(true);
    for (std::thread& thread : threads) {
        thread.join();
    }
    // Each thread's canvas is discarded above; the cached glyphs must still draw the same as a
    // face rendered by one thread alone.
    const Canvas sans = draw_menu_text(font_of_height(Family::Sans, heights[0]));
    const Canvas mono = draw_menu_text(font_of_height(Family::Mono, heights[1]));
    EXPECT_NE(sans, mono);
    EXPECT_EQ(draw_menu_text(font_of_height(Family::Sans, heights[0])), sans);
}

TEST(FontLoadingTest, GlyphsBeyondTheCacheBudgetStillDraw)
{
    // Glyphs this large fill the cache budget after a few dozen; later ones keep only their layout
    // and are rendered again at each draw.
    const Font font = font_of_height(Family::Sans, kMaxCellHeight);
    ASSERT_TRUE(font.valid());
    Extent extent;
    const std::string wide = "WM@QOG%&\xC6\x8C\xBC\xBD\xBE\xA9\xAE\xD8";
    ASSERT_EQ(measure(font, wide.data(), wide.size(), extent), Status::Ok);
    int uncached = 0;
    for (const char c : std::string("BDEFHKLMNPRbdhklmnpr")) {
        // The window looks at the left part of the glyph between x-height and baseline, where
        // each of these letters has a vertical stem.
        Canvas first(400, 400, 0x00FFFFFF);
        Canvas second(400, 400, 0x00FFFFFF);
        const raster::Box box = first.bounds();
        for (Canvas* canvas : {&first, &second}) {
            EXPECT_EQ(draw(font, canvas->surface(), &box, 1, -100, -900, &c, 1, {0}), Status::Ok);
        }
        EXPECT_EQ(first, second) << c;
        EXPECT_NE(first, Canvas(400, 400, 0x00FFFFFF)) << c << " drew nothing";
        uncached += font.face()->glyphs[static_cast<uint8_t>(c)].load()->coverage == nullptr;
    }
    EXPECT_GT(uncached, 0) << "the budget was not reached; the test no longer covers uncached glyphs";
}

TEST(FontLoadingTest, ExitWhileAnotherThreadDrawsIsClean)
{
    EXPECT_EXIT(
        {
            std::thread([] {
                for (;;) {
                    (void)draw_menu_text(default_font(FontRole::Gui));
                }
            }).detach();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace vexil::text
