// PCL 5 font attributes turned into the page model's terms. Symbol sets map onto the printer
// tables we carry: the PC-8 family onto PC437, PC-850 and PC-852 onto their own, the Cyrillic
// PC set onto PC866, the Windows sets onto 1251 and 1252, ISO Latin 1 onto 1252 (they agree
// from 0xA0 up).
#include "pcl_font.h"

#include <algorithm>
#include <cmath>

namespace folvek::printer {
namespace {

constexpr int id(int value, char letter) {
    return value * 32 + (letter - 64);
}

}  // namespace

int pclSymbolSet(double value, unsigned char letter) {
    const double v = std::clamp(value, 0.0, 2047.0);
    return static_cast<int>(v) * 32 + (letter - 64);
}

CharTable pclCharTable(int symbolSet, CharTable fallback) {
    switch (symbolSet) {
        case id(10, 'U'):  // PC-8
        case id(11, 'U'):  // PC-8 Danish/Norwegian
        case id(0, 'U'):   // ASCII
            return CharTable::Pc437;
        case id(12, 'U'):  // PC-850
        case id(13, 'U'):  // PC-858
            return CharTable::Pc850;
        case id(17, 'U'):  // PC-852
            return CharTable::Pc852;
        case id(3, 'R'):   // PC Cyrillic
        case id(14, 'R'):  // PC Ukrainian
            return CharTable::Pc866;
        case id(9, 'R'):  // Windows Cyrillic
            return CharTable::Win1251;
        case id(19, 'U'):  // Windows Latin 1
        case id(9, 'U'):   // Windows 3.0 Latin 1
        case id(0, 'N'):   // ISO 8859-1
        case id(8, 'U'):   // Roman-8: its letters sit elsewhere, 1252 is the nearest we carry
            return CharTable::Win1252;
        default:
            return fallback;
    }
}

JobUnits pclFontAdvance(const PclFont& font) {
    if (font.proportional) return static_cast<JobUnits>(std::lround(font.points * 300 / 2));
    return static_cast<JobUnits>(std::lround(kUnitsPerInch / font.pitch));
}

JobUnits pclFontHeight(const PclFont& font) {
    const double points = font.proportional ? font.points : 120 / font.pitch;
    return static_cast<JobUnits>(std::lround(points * kUnitsPerInch / 72 * 4 / 5));
}

std::uint16_t pclFontStyle(const PclFont& font) {
    std::uint16_t style = 0;
    if (font.weight > 0) style |= kJobBold;
    const int posture = font.style % 4;
    if (posture == 1 || posture == 2) style |= kJobItalic;
    if (font.proportional) style |= kJobProportional;
    return style;
}

}  // namespace folvek::printer
