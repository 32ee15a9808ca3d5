// SPDX-License-Identifier: MIT
// The Windows-1252 code page: bytes 0x80..0x9F differ from Latin-1, the rest are equal to it.
#include "gdi/text/code_page_1252.h"

namespace vexil::text {

namespace {

// Bytes 0x80..0x9F, in order; 0 marks a byte the code page does not define.
constexpr char32_t s_high_controls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 0x98
};

} // namespace

char32_t unicode_of_cp1252(uint8_t byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        return s_high_controls[byte - 0x80];
    }
    return byte;
}

} // namespace vexil::text
