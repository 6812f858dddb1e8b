// The arms of the DOS box-drawing characters and the collection of a line's codes.
#include "box_cells.h"

#include <algorithm>
#include <cstring>

#include "codepage.h"
#include "line_store.h"

namespace folvek {

namespace {

constexpr std::uint8_t S = 1, D = 2;

// 0xB3..0xDA of code page 866: up, down, left, right.
constexpr std::uint8_t kCodes[40] = {
    boxCode(S, S, 0, 0),  // B3 │
    boxCode(S, S, S, 0),  // B4 ┤
    boxCode(S, S, D, 0),  // B5 ╡
    boxCode(D, D, S, 0),  // B6 ╢
    boxCode(0, D, S, 0),  // B7 ╖
    boxCode(0, S, D, 0),  // B8 ╕
    boxCode(D, D, D, 0),  // B9 ╣
    boxCode(D, D, 0, 0),  // BA ║
    boxCode(0, D, D, 0),  // BB ╗
    boxCode(D, 0, D, 0),  // BC ╝
    boxCode(D, 0, S, 0),  // BD ╜
    boxCode(S, 0, D, 0),  // BE ╛
    boxCode(0, S, S, 0),  // BF ┐
    boxCode(S, 0, 0, S),  // C0 └
    boxCode(S, 0, S, S),  // C1 ┴
    boxCode(0, S, S, S),  // C2 ┬
    boxCode(S, S, 0, S),  // C3 ├
    boxCode(0, 0, S, S),  // C4 ─
    boxCode(S, S, S, S),  // C5 ┼
    boxCode(S, S, 0, D),  // C6 ╞
    boxCode(D, D, 0, S),  // C7 ╟
    boxCode(D, 0, 0, D),  // C8 ╚
    boxCode(0, D, 0, D),  // C9 ╔
    boxCode(D, 0, D, D),  // CA ╩
    boxCode(0, D, D, D),  // CB ╦
    boxCode(D, D, 0, D),  // CC ╠
    boxCode(0, 0, D, D),  // CD ═
    boxCode(D, D, D, D),  // CE ╬
    boxCode(S, 0, D, D),  // CF ╧
    boxCode(D, 0, S, S),  // D0 ╨
    boxCode(0, S, D, D),  // D1 ╤
    boxCode(0, D, S, S),  // D2 ╥
    boxCode(D, 0, 0, S),  // D3 ╙
    boxCode(S, 0, 0, D),  // D4 ╘
    boxCode(0, S, 0, D),  // D5 ╒
    boxCode(0, D, 0, S),  // D6 ╓
    boxCode(D, D, S, S),  // D7 ╫
    boxCode(S, S, D, D),  // D8 ╪
    boxCode(S, 0, S, 0),  // D9 ┘
    boxCode(0, S, 0, S),  // DA ┌
};

}  // namespace

std::uint8_t boxCodeOf866(std::uint8_t dos) {
    return dos >= 0xB3 && dos <= 0xDA ? kCodes[dos - 0xB3] : 0;
}

std::uint8_t BoxLineCodes::put(std::size_t offset, std::uint8_t dos) {
    // The double vertical is implied by its look-alike (LineStore::doubleBarsImplied).
    if (implied_ && dos == kDosDoubleBar) return oemToAnsiTable()[dos];
    if (const std::uint8_t code = boxCodeOf866(dos)) {
        used_ = true;
        if (codes_.size() <= offset) codes_.resize(offset + 1, 0);
        codes_[offset] = code;
    }
    return oemToAnsiTable()[dos];
}

void BoxLineCodes::reset() {
    std::fill(codes_.begin(), codes_.end(), 0);
    used_ = false;
}

void BoxLineCodes::commit(LineStore& lines, std::size_t lineIndex, std::size_t length) {
    if (!used_) return;
    used_ = false;
    if (codes_.size() < length) codes_.resize(length, 0);
    lines.setBoxCodes(lineIndex, codes_.data(), length);
    std::fill(codes_.begin(), codes_.end(), 0);
}

void convertDosLine(LineStore& lines, std::size_t lineIndex, BoxLineCodes& codes) {
    auto* p = reinterpret_cast<std::uint8_t*>(lines.mutableTextAt(lineIndex));
    const std::uint8_t* table = oemToAnsiTable();
    std::size_t i = 0;
    for (; p[i]; ++i) {
        const std::uint8_t b = p[i];
        p[i] = b >= 0xB3 && b <= 0xDA ? codes.put(i, b) : table[b];
    }
    codes.commit(lines, lineIndex, i);
    if (codes.impliesDoubleBars()) lines.setDoubleBarsImplied();
}

}  // namespace folvek
