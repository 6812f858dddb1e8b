// Characters: pitch and box of the current print modes, the character table in force, the
// international variants of ASCII, and the line buffer that CAN and DEL can still take back.
#include <algorithm>

#include "escp_reader.h"

namespace folvek::printer {
namespace {

// The twelve ASCII positions that ESC R replaces, and their characters in each country.
constexpr unsigned char kNational[12] = {0x23, 0x24, 0x40, 0x5B, 0x5C, 0x5D,
                                         0x5E, 0x60, 0x7B, 0x7C, 0x7D, 0x7E};
constexpr char32_t kCountries[15][12] = {
    {U'#', U'$', U'@', U'[', U'\\', U']', U'^', U'`', U'{', U'|', U'}', U'~'},  // USA
    {U'#', U'$', U'à', U'°', U'ç', U'§', U'^', U'`', U'é', U'ù', U'è', U'¨'},   // France
    {U'#', U'$', U'§', U'Ä', U'Ö', U'Ü', U'^', U'`', U'ä', U'ö', U'ü', U'ß'},   // Germany
    {U'£', U'$', U'@', U'[', U'\\', U']', U'^', U'`', U'{', U'|', U'}', U'~'},  // UK
    {U'#', U'$', U'@', U'Æ', U'Ø', U'Å', U'^', U'`', U'æ', U'ø', U'å', U'~'},   // Denmark I
    {U'#', U'¤', U'É', U'Ä', U'Ö', U'Å', U'Ü', U'é', U'ä', U'ö', U'å', U'ü'},   // Sweden
    {U'#', U'$', U'@', U'°', U'\\', U'é', U'^', U'ù', U'à', U'ò', U'è', U'ì'},  // Italy
    {U'₧', U'$', U'@', U'¡', U'Ñ', U'¿', U'^', U'`', U'¨', U'ñ', U'}', U'~'},   // Spain I
    {U'#', U'$', U'@', U'[', U'¥', U']', U'^', U'`', U'{', U'|', U'}', U'~'},   // Japan
    {U'#', U'¤', U'É', U'Æ', U'Ø', U'Å', U'Ü', U'é', U'æ', U'ø', U'å', U'ü'},   // Norway
    {U'#', U'$', U'É', U'Æ', U'Ø', U'Å', U'Ü', U'é', U'æ', U'ø', U'å', U'ü'},   // Denmark II
    {U'#', U'$', U'á', U'¡', U'Ñ', U'¿', U'é', U'`', U'í', U'ñ', U'ó', U'ú'},   // Spain II
    {U'#', U'$', U'á', U'¡', U'Ñ', U'¿', U'é', U'ü', U'í', U'ñ', U'ó', U'ú'},   // Latin America
    {U'#', U'$', U'@', U'[', U'₩', U']', U'^', U'`', U'{', U'|', U'}', U'~'},   // Korea
    {U'#', U'$', U'§', U'°', U'\'', U'"', U'¶', U'`', U'©', U'®', U'†', U'™'},  // Legal (64)
};

// What codes 0 to 31 look like when a job prints them as characters (IBM's PC glyphs).
constexpr char32_t kControlGlyphs[32] = {
    U' ', U'☺', U'☻', U'♥', U'♦', U'♣', U'♠', U'•', U'◘', U'○', U'◙', U'♂', U'♀', U'♪', U'♫', U'☼',
    U'►', U'◄', U'↕', U'‼', U'¶', U'§', U'▬', U'↨', U'↑', U'↓', U'→', U'←', U'∟', U'↔', U'▲', U'▼'};

constexpr JobUnits kPica = kUnitsPerInch / 10, kElite = kUnitsPerInch / 12,
                   kFifteen = kUnitsPerInch / 15;

}  // namespace

// The advance of one character at the current pitch; single width when forTabs (tab stops and
// margins count in plain columns).
JobUnits EscPReader::pitchAdvance(bool forTabs) const {
    JobUnits a = st_.cpi == 12 ? kElite : st_.cpi == 15 ? kFifteen : kPica;
    if (st_.hmi > 0) {
        a = st_.hmi;
    } else if (st_.condensed && !st_.proportional && !st_.doubleHeight && st_.cpi != 15) {
        a = st_.cpi == 12 ? kUnitsPerInch / 20 : kUnitsPerInch * 7 / 120;  // 20 and 17.14 cpi
    } else if (st_.proportional) {
        a = st_.condensed ? kUnitsPerInch * 7 / 120 : kPica;
    }
    if (forTabs) return a;
    return a + st_.extraSpace;
}

JobUnits EscPReader::charAdvance() const {
    const JobUnits a = pitchAdvance(false);
    return st_.doubleWidth || st_.doubleWidthLine ? 2 * a : a;
}

// The character box: 9 dots at 1/72 inch on 9 pins, 24 dots at 1/180 on 24, or the point size
// ESC X chose; double height doubles it.
JobUnits EscPReader::boxHeight() const {
    JobUnits h = st_.pointHeight > 0 ? st_.pointHeight : model_.pins24 ? 2880 : 2700;
    return st_.doubleHeight ? 2 * h : h;
}

bool EscPReader::printable(std::uint8_t b) const {
    if (b < 0x80 || b >= 0xA0) return b >= 0x20 && b != 0x7F;
    return st_.upperControlsPrint || !st_.slots[static_cast<std::size_t>(st_.slot)].italic;
}

char32_t EscPReader::decode(std::uint8_t b) const {
    if (b < 0x20) return kControlGlyphs[b];
    if (b == 0x7F) return U'⌂';
    const EscPTableSlot& s = st_.slots[static_cast<std::size_t>(st_.slot)];
    if (b >= 0x80)
        return s.italic ? decode(static_cast<std::uint8_t>(b - 0x80)) : toUnicode(s.table, b);
    const int country = st_.international == 64 ? 14 : st_.international;
    if (country > 0 && country < 15) {
        for (int i = 0; i < 12; ++i)
            if (kNational[i] == b) return kCountries[country][i];
    }
    return b;
}

void EscPReader::printByte(std::uint8_t b) {
    const bool italicTable = st_.slots[static_cast<std::size_t>(st_.slot)].italic;
    printChar(decode(b), b >= 0x80 && italicTable ? kJobItalic : 0);
}

void EscPReader::printChar(char32_t c, std::uint16_t extraStyle) {
    if (st_.graphicsMode) return;
    const JobUnits adv = charAdvance();
    if (st_.x + adv > st_.rightMargin && st_.x > st_.leftMargin) {
        // Past the right margin the printer starts a new line by itself.
        carriageReturn();
        lineFeed(st_.lineSpacing);
    }
    // Double height grows upward from the baseline of the normal box and overrides super-
    // and subscripts; these are two thirds as tall, in the upper or the lower part of the box.
    JobUnits h = boxHeight();
    JobUnits baseline = st_.y + (st_.doubleHeight ? h / 2 : h) * 7 / 9;
    const bool small = !st_.doubleHeight;
    if (small && (st_.style & kJobSuperscript)) {
        baseline = st_.y + h * 14 / 27;
        h = h * 2 / 3;
    } else if (small && (st_.style & kJobSubscript)) {
        baseline = st_.y + h * 23 / 27;
        h = h * 2 / 3;
    }
    // A line longer than any carriage holds is printed as it comes (CAN can no longer take it).
    if (line_.size() >= 4096) flushLine();
    line_.push_back(Pending{st_.x, baseline, adv, h,
                            static_cast<std::uint16_t>(st_.style | extraStyle |
                                                       (st_.proportional ? kJobProportional : 0)),
                            c});
    if (firstAdvance_ == 0) firstAdvance_ = adv;
    if (adv != firstAdvance_ || st_.doubleHeight) doc_.features.widthsMixed = true;
    st_.x += adv;
    noteRight(st_.x);
}

void EscPReader::flushLine() {
    for (const Pending& p : line_) builder_.addChar(p.x, p.y, p.advance, p.height, p.style, p.c);
    line_.clear();
}

void EscPReader::dropLine() {
    if (line_.empty()) return;
    st_.x = line_.front().x;
    line_.clear();
}

void EscPReader::deleteLast() {
    if (line_.empty()) return;
    st_.x = line_.back().x;
    line_.pop_back();
}

}  // namespace folvek::printer
