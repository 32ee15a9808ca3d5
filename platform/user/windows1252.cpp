// SPDX-License-Identifier: MIT
// Windows-1252 to and from Unicode, on the code page table of the text module.
#include "user/windows1252.h"

#include "gdi/text/code_page_1252.h"

namespace vexil::user {

uint8_t windows1252_from_unicode(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<uint8_t>(character);
    // Only the 32 bytes 0x80..0x9F stand for other characters; look the character up among them.
    for (unsigned byte = 0x80; byte <= 0x9F; ++byte) {
        if (character != 0 && text::unicode_of_cp1252(static_cast<uint8_t>(byte)) == character)
            return static_cast<uint8_t>(byte);
    }
    return '?';
}

std::string utf8_from_windows1252(std::string_view text)
{
    std::string utf8;
    utf8.reserve(text.size());
    for (char byte : text) {
        char32_t c = text::unicode_of_cp1252(static_cast<uint8_t>(byte));
        if (c == 0 && byte != 0)
            c = 0xFFFD;
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (c >> 12));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

} // namespace vexil::user
