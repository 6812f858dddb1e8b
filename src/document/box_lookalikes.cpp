// Which look-alike each DOS box-drawing character becomes in the Windows code page, chosen so
// that typical table frames are drawn as joined lines by the renderer's line rules.
#include "codepage.h"

namespace folvek {

std::uint8_t boxLookalike(std::uint8_t dos) {
    // Provisional: single and double lines as bars, dashes and plus signs.
    switch (dos) {
        case 0xB3: case 0xBA: return '|';
        case 0xC4: return '-';
        case 0xCD: return '=';
        default: return (dos >= 0xB4 && dos <= 0xDA) ? '+' : '?';
    }
}

}  // namespace folvek
