// SPDX-License-Identifier: MIT
// Finds font files through fontconfig, with the DejaVu package's files as the fallback.
#include "gdi/text/font_source.h"

#include <fontconfig/fontconfig.h>

namespace vexil::text {

namespace {

// Where Debian's fonts-dejavu-core installs its faces. A fixed-pitch request falls back to the
// proportional face last: readable text beats none, as the Windows font mapper also substitutes.
constexpr const char* s_dejavu_sans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* s_dejavu_mono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

void append_fontconfig_match(const char* pattern_text, std::vector<FontFile>& files)
{
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(pattern_text));
    if (pattern == nullptr) {
        return;
    }
    // Only outline fonts: glyphs are rendered at any cell height.
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    if (FcConfigSubstitute(nullptr, pattern, FcMatchPattern)) {
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        if (match != nullptr) {
            FcChar8* path = nullptr;
            int index = 0;
            if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr) {
                if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) {
                    index = 0;
                }
                files.push_back({reinterpret_cast<const char*>(path), index});
            }
            FcPatternDestroy(match);
        }
    }
    FcPatternDestroy(pattern);
}

} // namespace

std::vector<FontFile> font_files_for(Family family)
{
    std::vector<FontFile> files;
    if (family == Family::Mono) {
        append_fontconfig_match("monospace", files);
        files.push_back({s_dejavu_mono, 0});
    } else {
        append_fontconfig_match("sans-serif", files);
    }
    files.push_back({s_dejavu_sans, 0});
    return files;
}

} // namespace vexil::text

// fontconfig 2.14 leaks a few hundred bytes of parsed expressions when it first loads its
// configuration, whatever the caller does. LeakSanitizer is told so here, in the file that
// calls fontconfig, so every program that links it gets the suppression. The hook exists only in
// sanitizer builds and is weak, so a program's own suppression list takes its place. The list of
// used suppressions is not printed, so that standard error carries only what a program wrote.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define VEXIL_LEAK_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VEXIL_LEAK_CHECKED 1
#endif

#if defined(VEXIL_LEAK_CHECKED)
extern "C" __attribute__((weak, visibility("default"))) const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" __attribute__((weak, visibility("default"))) const char* __lsan_default_options()
{
    return "print_suppressions=0";
}
#endif
