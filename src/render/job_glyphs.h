// What each character of a job's text becomes on the page: a Windows-1251 byte for the font, a
// box-drawing character drawn from its arms, or a block filled in.
#pragma once

#include <cstdint>

namespace folvek {

// The Windows-1251 byte of a Unicode character; '?' when the code page lacks it.
std::uint8_t ansiByteOf(char32_t c);

// The arms (box_cells.h) of a box-drawing character; 0 for any other character.
std::uint8_t boxCodeOfUnicode(char32_t c);

// Block elements: which part of the cell is ink.
enum class BlockKind : std::uint8_t { None, Full, Upper, Lower, Left, Right, Light, Medium, Dark };
BlockKind blockKindOf(char32_t c);

}  // namespace folvek
