// Which look-alike each DOS box-drawing character becomes in the Windows code page, chosen so
// that table frames are drawn as joined lines by the renderer's line rules:
//   top-left corners   -> 0xE3 (opens the line; the bar below reaches up to meet it)
//   top-right corners  -> 0xAC (a corner reaching down)
//   bottom corners, tees and crosses -> '+' (a corner that reaches up and down as far as
//                         its neighbours above and below connect; unlike 'L' it is itself
//                         connecting, so a tee right above a bottom corner still joins it)
//   single / double horizontals -> '-' / '=', single / double verticals -> '|' / 0xA6.
// Shades and blocks stay plain text ('#'): they must never turn into lines.
#include "codepage.h"

namespace folvek {

namespace {

constexpr std::uint8_t kTopLeft = 0xE3, kTopRight = 0xAC, kDoubleBar = 0xA6;

// 0xB0..0xDF of code page 866.
constexpr std::uint8_t kLookalikes[48] = {
    '#',        '#',       '#',  // B0 B1 B2  shades
    '|',                         // B3 single vertical
    '+',        '+',       '+',  // B4 B5 B6  right tees
    kTopRight,  kTopRight,  // B7 B8     top-right corners (double vertical / double horizontal)
    '+',                    // B9 double right tee
    kDoubleBar,             // BA double vertical
    kTopRight,              // BB double top-right
    '+',        '+',       '+',  // BC BD BE  bottom-right corners
    kTopRight,                   // BF single top-right
    '+',                         // C0 single bottom-left
    '+',        '+',       '+',  // C1 C2 C3  bottom tee, top tee, left tee
    '-',                         // C4 single horizontal
    '+',        '+',       '+',  // C5 C6 C7  cross, left tees
    '+',                         // C8 double bottom-left
    kTopLeft,                    // C9 double top-left
    '+',        '+',       '+',  // CA CB CC  double bottom tee, top tee, left tee
    '=',                         // CD double horizontal
    '+',        '+',       '+',
    '+',        '+',       // CE CF D0 D1 D2  double cross, mixed bottom and top tees
    '+',        '+',       // D3 D4     mixed bottom-left corners
    kTopLeft,   kTopLeft,  // D5 D6     mixed top-left corners
    '+',        '+',       // D7 D8     mixed crosses
    '+',                   // D9 single bottom-right
    kTopLeft,              // DA single top-left
    '#',        '#',       '#',
    '#',        '#',  // DB DC DD DE DF  blocks
};

}  // namespace

std::uint8_t boxLookalike(std::uint8_t dos) {
    if (dos < 0xB0 || dos > 0xDF) return dos;
    return kLookalikes[dos - 0xB0];
}

}  // namespace folvek
