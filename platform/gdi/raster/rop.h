// SPDX-License-Identifier: MIT
// The sixteen binary raster operations that combine a pen or brush colour with the page.
#pragma once

#include <cstdint>

namespace vexil::raster {

// Numbered as Win32's R2_ constants (R2_BLACK = 1 .. R2_WHITE = 16). P is the pen or brush
// colour, D the pixel on the page.
enum class Rop2 : uint8_t {
    Black = 1,        // 0
    NotMergePen = 2,  // ~(D | P)
    MaskNotPen = 3,   // D & ~P
    NotCopyPen = 4,   // ~P
    MaskPenNot = 5,   // P & ~D
    Not = 6,          // ~D
    XorPen = 7,       // D ^ P
    NotMaskPen = 8,   // ~(D & P)
    MaskPen = 9,      // D & P
    NotXorPen = 10,   // ~(D ^ P)
    Nop = 11,         // D
    MergeNotPen = 12, // D | ~P
    CopyPen = 13,     // P
    MergePenNot = 14, // P | ~D
    MergePen = 15,    // D | P
    White = 16,       // 1
};

// Pixels keep their unused top byte at zero, so results are cut to 24 bits.
inline constexpr uint32_t kPixelMask = 0x00FFFFFF;

// True for the values Win32 accepts (1..16).
constexpr bool is_valid_rop2(int value)
{
    return value >= 1 && value <= 16;
}

// The operation's value minus one is its truth table: bit (2p + d) is the result for pen bit p
// and page bit d. This one form serves every operation, bit-parallel over the 24 colour bits.
constexpr uint32_t apply_rop2(Rop2 rop, uint32_t dst, uint32_t pen)
{
    const unsigned table = static_cast<unsigned>(rop) - 1;
    uint32_t out = 0;
    if (table & 1)
        out |= ~pen & ~dst;
    if (table & 2)
        out |= ~pen & dst;
    if (table & 4)
        out |= pen & ~dst;
    if (table & 8)
        out |= pen & dst;
    return out & kPixelMask;
}

} // namespace vexil::raster
