// The tables from a job's Unicode text back to what the page draws: the Windows-1251 byte of
// each character, the arms of each box-drawing character, and the block elements.
#include <gtest/gtest.h>

#include "box_cells.h"
#include "job_glyphs.h"

using namespace folvek;

TEST(JobGlyphs, EachCharacterFindsItsWindows1251Byte) {
    struct Case {
        char32_t c;
        int byte;
    };
    const Case cases[] = {
        {U' ', 0x20},      {U'A', 0x41},     {0x7F, 0x7F},   {U'\u0410', 0xC0},  // А
        {U'\u044F', 0xFF},  // я, the last byte
        {U'\u0401', 0xA8},  // Ё
        {U'\u0451', 0xB8},  // ё
        {U'\u00A0', 0xA0},  // no-break space
        {U'\u20AC', 0x88},  // euro sign
        {U'\u2116', 0xB9},  // numero sign
        {U'\u2122', 0x99},  // trade mark, the highest character of the code page
        {U'\u0402', 0x80},  // Ђ, the first upper byte
        {U'\u00E9', '?'},   // é: not in the code page
        {0x80, '?'},        // a C1 control: no byte either
        {U'\u2200', '?'},  {U'\u2500', '?'}, {0x10000, '?'},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ansiByteOf(c.c), c.byte) << std::hex << static_cast<unsigned>(c.c);
}

TEST(JobGlyphs, BoxDrawingCharactersGiveTheirArmsAndHeavyOrRoundOnesTheLightArms) {
    struct Case {
        char32_t c;
        std::uint8_t code;
    };
    const Case cases[] = {
        {0x2500, boxCode(0, 0, 1, 1)},  // ─, the first of the block
        {0x2502, boxCode(1, 1, 0, 0)},  // │
        {0x250C, boxCode(0, 1, 0, 1)},  // ┌
        {0x2510, boxCode(0, 1, 1, 0)},  // ┐
        {0x2514, boxCode(1, 0, 0, 1)},  // └
        {0x2518, boxCode(1, 0, 1, 0)},  // ┘
        {0x253C, boxCode(1, 1, 1, 1)},  // ┼
        {0x2550, boxCode(0, 0, 2, 2)},  // ═
        {0x2551, boxCode(2, 2, 0, 0)},  // ║
        {0x2552, boxCode(0, 1, 0, 2)},  // ╒
        {0x2556, boxCode(0, 2, 1, 0)},  // ╖
        {0x256C, boxCode(2, 2, 2, 2)},  // ╬, the last of code page 866's
        {0x2501, boxCode(0, 0, 1, 1)},  // ━ heavy
        {0x2503, boxCode(1, 1, 0, 0)},  // ┃ heavy
        {0x256D, boxCode(0, 1, 0, 1)},  // ╭ round
        {0x256E, boxCode(0, 1, 1, 0)},  // ╮
        {0x256F, boxCode(1, 0, 1, 0)},  // ╯
        {0x2570, boxCode(1, 0, 0, 1)},  // ╰
        {0x2571, 0},                    // ╱: no arms
        {0x257F, 0},                    // the last of the block
        {0x2580, 0},                    // ▀: a block, not a line
        {0x24FF, 0},
        {U'-', 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(boxCodeOfUnicode(c.c), c.code) << std::hex << static_cast<unsigned>(c.c);
}

TEST(JobGlyphs, BlockElementsAndTheirInk) {
    struct Case {
        char32_t c;
        BlockKind kind;
    };
    const Case cases[] = {
        {0x2588, BlockKind::Full},   {0x2580, BlockKind::Upper}, {0x2584, BlockKind::Lower},
        {0x258C, BlockKind::Left},   {0x2590, BlockKind::Right}, {0x2591, BlockKind::Light},
        {0x2592, BlockKind::Medium}, {0x2593, BlockKind::Dark},  {0x2589, BlockKind::None},
        {0x2500, BlockKind::None},   {U'#', BlockKind::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(blockKindOf(c.c), c.kind) << std::hex << static_cast<unsigned>(c.c);
}
