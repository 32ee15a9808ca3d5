// SPDX-License-Identifier: MIT
// Windows-1252, the narrow character set of USER's A functions, to and from Unicode.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexil::user {

// The byte that stands for `character` in Windows-1252, or '?' when the code page has none,
// as Windows gives a narrow window a character it cannot represent.
uint8_t windows1252_from_unicode(char32_t character);

// Windows-1252 text as UTF-8, for the backend. The five undefined bytes become U+FFFD.
std::string utf8_from_windows1252(std::string_view text);

} // namespace vexil::user
