// Glyph names of the characters a Windows-1251 byte can stand for.
#include "pdf_glyph_names.h"

#include <cstdio>

namespace folvek {

namespace {

// U+0020 .. U+007E.
const char* const kAscii[95] = {
    "space",       "exclam",
    "quotedbl",    "numbersign",
    "dollar",      "percent",
    "ampersand",   "quotesingle",
    "parenleft",   "parenright",
    "asterisk",    "plus",
    "comma",       "hyphen",
    "period",      "slash",
    "zero",        "one",
    "two",         "three",
    "four",        "five",
    "six",         "seven",
    "eight",       "nine",
    "colon",       "semicolon",
    "less",        "equal",
    "greater",     "question",
    "at",          "A",
    "B",           "C",
    "D",           "E",
    "F",           "G",
    "H",           "I",
    "J",           "K",
    "L",           "M",
    "N",           "O",
    "P",           "Q",
    "R",           "S",
    "T",           "U",
    "V",           "W",
    "X",           "Y",
    "Z",           "bracketleft",
    "backslash",   "bracketright",
    "asciicircum", "underscore",
    "grave",       "a",
    "b",           "c",
    "d",           "e",
    "f",           "g",
    "h",           "i",
    "j",           "k",
    "l",           "m",
    "n",           "o",
    "p",           "q",
    "r",           "s",
    "t",           "u",
    "v",           "w",
    "x",           "y",
    "z",           "braceleft",
    "bar",         "braceright",
    "asciitilde",
};

}  // namespace

std::string glyphName(char16_t unicode) {
    if (unicode >= 0x20 && unicode <= 0x7E) return kAscii[unicode - 0x20];
    if (unicode == 0xFFFD) return ".notdef";
    char b[16];
    std::snprintf(b, sizeof b, "uni%04X", unsigned(unicode));
    return b;
}

}  // namespace folvek
