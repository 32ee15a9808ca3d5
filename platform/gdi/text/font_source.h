// SPDX-License-Identifier: MIT
// Where the font files of each family are: fontconfig's choice first, then known DejaVu files.
#pragma once

#include "gdi/text/text.h"

#include <string>
#include <vector>

namespace vexil::text {

struct FontFile {
    std::string path;
    int index = 0; // face index inside a collection file
};

// The files to try for `family`, best first. Never empty: the DejaVu fallbacks are always listed,
// whether or not they exist.
std::vector<FontFile> font_files_for(Family family);

} // namespace vexil::text
