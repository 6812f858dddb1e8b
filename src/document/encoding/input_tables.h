// What the loader stores for each character of an input encoding: a Windows-1251 byte, a box
// character (handed on by its code-page-866 code), a control byte the loader acts on, or a
// character 1251 cannot hold. Also the code-page-to-Unicode tables the editor shares.
#pragma once

#include <cstdint>

#include "text_encoding.h"

namespace folvek {

// Values below 0x100 are the byte to store.
constexpr std::uint16_t kOutBox = 0x100;         // | the 866 code of a box or block character
constexpr std::uint16_t kOutControl = 0x200;     // NUL, LF, FF, CR, ^Z, BS, ESC, printer controls
constexpr std::uint16_t kOutUnmappable = 0x300;  // no 1251 counterpart: stored as '?'
constexpr std::uint16_t kOutMulti = 0x400;       // a UTF-8 lead or continuation byte

inline bool isBoxOut(std::uint16_t v) {
    return (v & 0xFF00) == kOutBox;
}

// 256 entries per byte of a single-byte encoding, or of UTF-8 (bytes >= 0x80 are kOutMulti).
const std::uint16_t* inputByteTable(TextEncoding e);

// What a Unicode code point becomes (control code points are never asked for).
std::uint16_t outputForCodePoint(std::uint32_t cp);

// Byte -> Unicode for 866 and KOI8-R (one UTF-16 unit per byte).
const char16_t* oemToUnicodeTable();
const char16_t* koi8ToUnicodeTable();

}  // namespace folvek
