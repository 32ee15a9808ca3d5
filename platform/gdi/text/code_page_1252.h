// SPDX-License-Identifier: MIT
// The Windows-1252 code page: which Unicode character each byte stands for.
#pragma once

#include <cstdint>

namespace vexil::text {

// The character that `byte` encodes in Windows-1252, or 0 for the five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D), which then draw as the missing glyph.
char32_t unicode_of_cp1252(uint8_t byte);

} // namespace vexil::text
