// Box-drawing characters kept beside the text. The text holds a one-byte look-alike for each
// box character (what copy, edit and mail see); for lines that hold box characters the store
// also keeps one code per byte saying which arms the character has and whether each is single
// or double, so that the page can draw the frame as its author drew it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace folvek {

class LineStore;

// A cell's code: two bits per arm (0 none, 1 single, 2 double); 0 for a cell that is no box
// character.
enum class BoxArm { Up = 0, Down = 2, Left = 4, Right = 6 };
constexpr int boxArm(std::uint8_t code, BoxArm arm) {
    return (code >> static_cast<int>(arm)) & 3;
}
constexpr std::uint8_t boxCode(int up, int down, int left, int right) {
    return static_cast<std::uint8_t>(up | down << 2 | left << 4 | right << 6);
}

// The code of a code-page-866 byte: nonzero for the 40 box characters 0xB3..0xDA.
std::uint8_t boxCodeOf866(std::uint8_t dos);

// The double vertical, and the 1251 byte that only it becomes in a converted text.
constexpr std::uint8_t kDosDoubleBar = 0xBA;
constexpr std::uint8_t kDoubleBarLookalike = 0xA6;

// Collects the codes of the line being decoded. Every decoder hands each box-drawing character
// it meets to put() as its code-page-866 code and stores the byte put() returns; commit() then
// files the line's codes with the store (nothing when the line held no box character).
class BoxLineCodes {
  public:
    // With `impliedDoubleBars` the double vertical is not filed: the caller's text has no
    // other source of 0xA6 (true of 866; a decoder that can also meet a real broken bar passes
    // false and leaves LineStore::doubleBarsImplied unset).
    explicit BoxLineCodes(bool impliedDoubleBars = true) : implied_(impliedDoubleBars) {}
    bool impliesDoubleBars() const { return implied_; }

    // The 1251 look-alike to store at byte `offset` of the line.
    std::uint8_t put(std::size_t offset, std::uint8_t dos);
    void commit(LineStore& lines, std::size_t lineIndex, std::size_t length);
    void reset();  // forgets a line that will not be committed

  private:
    std::vector<std::uint8_t> codes_;  // zero past the codes put since the last commit
    bool used_ = false;
    bool implied_;
};

// Converts one line from 866 to 1251 in place and files its box codes; the store then takes
// every 0xA6 for a double vertical.
void convertDosLine(LineStore& lines, std::size_t lineIndex, BoxLineCodes& codes);

}  // namespace folvek
