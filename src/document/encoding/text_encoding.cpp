// Encoding names and detection. UTF-8 is recognised by its structure: a sample that is valid
// UTF-8 and holds at least one multi-byte character is UTF-8. The single-byte code pages are
// told apart by how Russian the letters they would give look: each byte above 0x7F scores the
// log frequency of the letter it means in that code page, bytes that are neither letters nor
// frame characters there cost much, and a capital right after a small letter costs some (a
// text read in the wrong one of 1251 and KOI8-R swaps the cases).
#include "text_encoding.h"

#include <cstdint>

namespace folvek {

// Both spellings, the settings file's (866) and the command line's (cp866), in any case.
EncodingChoice encodingChoiceFromSetting(const std::string& v) {
    std::string lower;
    for (const char c : v)
        if (c != ' ' && c != '\t') lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return encodingChoiceFromOption(lower).value_or(EncodingChoice::Auto);
}

const char* encodingChoiceSetting(EncodingChoice c) {
    switch (c) {
        case EncodingChoice::Cp866:
            return "866";
        case EncodingChoice::Cp1251:
            return "1251";
        case EncodingChoice::Koi8r:
            return "koi8-r";
        case EncodingChoice::Utf8:
            return "utf-8";
        case EncodingChoice::Auto:
            break;
    }
    return "auto";
}

std::optional<EncodingChoice> encodingChoiceFromOption(const std::string& v) {
    if (v == "auto") return EncodingChoice::Auto;
    if (v == "cp866" || v == "866") return EncodingChoice::Cp866;
    if (v == "cp1251" || v == "1251") return EncodingChoice::Cp1251;
    if (v == "koi8-r" || v == "koi8r") return EncodingChoice::Koi8r;
    if (v == "utf-8" || v == "utf8") return EncodingChoice::Utf8;
    return std::nullopt;
}

const char* encodingLabel(TextEncoding e) {
    switch (e) {
        case TextEncoding::Cp866:
            return "866";
        case TextEncoding::Cp1251:
            return "1251";
        case TextEncoding::Koi8r:
            return "KOI8-R";
        case TextEncoding::Utf8:
            return "UTF-8";
    }
    return "";
}

const char* encodingLabel(TextEncoding e, Utf16Form utf16) {
    switch (utf16) {
        case Utf16Form::LittleEndian:
            return "UTF-16LE";
        case Utf16Form::BigEndian:
            return "UTF-16BE";
        case Utf16Form::None:
            break;
    }
    return encodingLabel(e);
}

Utf16Form utf16FormOf(const unsigned char* data, std::size_t len) {
    if (len < 2) return Utf16Form::None;
    if (data[0] == 0xFF && data[1] == 0xFE) {
        // FF FE 00 00 is UTF-32's mark, which no report uses: left to the other rules.
        if (len >= 4 && data[2] == 0 && data[3] == 0) return Utf16Form::None;
        return Utf16Form::LittleEndian;
    }
    if (data[0] == 0xFE && data[1] == 0xFF) return Utf16Form::BigEndian;
    return Utf16Form::None;
}

namespace {

// Bytes 0x80..0xFF: 0 for "not a letter", else 2 * (16 * ln(frequency)) + (1 for a capital).
constexpr std::int16_t k866[128] = {
    -79,  -131, -97, -129, -111, -79,  -149, -131, -83,  -141, -107, -99,  -109, -85,  -69,  -113,
    -97,  -91,  -87, -115, -189, -147, -169, -135, -157, -179, -249, -125, -129, -183, -161, -125,
    -80,  -132, -98, -130, -112, -80,  -150, -132, -84,  -142, -108, -100, -110, -86,  -70,  -114,
    0,    0,    0,   0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,   0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,   0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    -98,  -92,  -88, -116, -190, -148, -170, -136, -158, -180, -250, -126, -130, -184, -162, -126,
    -249, -250, 0,   0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0};
constexpr std::int16_t k1251[128] = {
    0,   0,    0,   0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,   0,    0,   0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,   0,    0,   0,    0,    0,    0,    0,    -249, 0,    0,    0,    0,    0,    0,    0,
    0,   0,    0,   0,    0,    0,    0,    0,    -250, 0,    0,    0,    0,    0,    0,    0,
    -79, -131, -97, -129, -111, -79,  -149, -131, -83,  -141, -107, -99,  -109, -85,  -69,  -113,
    -97, -91,  -87, -115, -189, -147, -169, -135, -157, -179, -249, -125, -129, -183, -161, -125,
    -80, -132, -98, -130, -112, -80,  -150, -132, -84,  -142, -108, -100, -110, -86,  -70,  -114,
    -98, -92,  -88, -116, -190, -148, -170, -136, -158, -180, -250, -126, -130, -184, -162, -126};
constexpr std::int16_t kKoi8[128] = {
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    -250, 0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    -249, 0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    -162, -80,  -132, -170, -112, -80,  -190, -130, -148, -84,  -142, -108, -100, -110, -86,  -70,
    -114, -126, -98,  -92,  -88,  -116, -150, -98,  -130, -126, -132, -158, -184, -180, -136, -250,
    -161, -79,  -131, -169, -111, -79,  -189, -129, -147, -83,  -141, -107, -99,  -109, -85,  -69,
    -113, -125, -97,  -91,  -87,  -115, -149, -97,  -129, -125, -131, -157, -183, -179, -135, -249};

// Non-letters that are at home in each code page: frames in 866 and KOI8-R, typographic
// signs in 1251, and the broken bar and not sign that frames become when a DOS report is
// rewritten in 1251 (what the Windows-encoding offer writes must read back as 1251).
bool neutral866(unsigned char b) {
    return b >= 0xB0 && b <= 0xDF;
}
bool neutralKoi8(unsigned char b) {
    return b >= 0x80 && b <= 0xBF;
}
bool neutral1251(unsigned char b) {
    switch (b) {
        case 0x84:
        case 0x85:
        case 0x91:
        case 0x92:
        case 0x93:
        case 0x94:
        case 0x96:
        case 0x97:
        case 0xA0:
        case 0xA6:
        case 0xAB:
        case 0xAC:
        case 0xB0:
        case 0xB9:
        case 0xBB:
            return true;
    }
    return false;
}

constexpr long kForeign = -300;    // a byte that means nothing usual in this code page
constexpr long kCaseFlip = -60;    // a capital right after a small letter
constexpr long kLetterBase = 120;  // frequent letters score above a frame byte, rare ones below
constexpr long kNeutral = -10;     // a frame or typographic sign of the code page
constexpr long kTripled = -200;    // the same letter a third time in a row
constexpr int kMinLetters = 3;

struct Score {
    long total = 0;
    int letters = 0;
};

Score score(const unsigned char* d, std::size_t n, const std::int16_t* t,
            bool (*neutral)(unsigned char)) {
    Score s;
    bool prevSmall = false;
    unsigned char prev = 0;
    int run = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = d[i];
        run = b == prev ? run + 1 : 1;
        prev = b;
        if (b < 0x80) {
            prevSmall = false;
            continue;
        }
        const int v = t[b - 0x80];
        if (v != 0) {
            const bool capital = (v & 1) != 0;
            // Russian never repeats a letter three times; frame lines repeat one byte a lot.
            s.total += run >= 3 ? kTripled : (v >> 1) + kLetterBase;
            if (capital && prevSmall) s.total += kCaseFlip;
            prevSmall = !capital;
            ++s.letters;
        } else {
            s.total += neutral(b) ? kNeutral : kForeign;
            prevSmall = false;
        }
    }
    return s;
}

// Valid UTF-8 (shortest forms, no surrogates, at most U+10FFFF); a sequence cut by the end of
// the sample is allowed. multi is set when a multi-byte character was seen.
bool validUtf8(const unsigned char* d, std::size_t n, bool& multi) {
    multi = false;
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = d[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int len;
        std::uint32_t cp;
        if (b >= 0xC2 && b <= 0xDF)
            len = 2, cp = b & 0x1F;
        else if (b >= 0xE0 && b <= 0xEF)
            len = 3, cp = b & 0x0F;
        else if (b >= 0xF0 && b <= 0xF4)
            len = 4, cp = b & 0x07;
        else
            return false;
        for (int k = 1; k < len; ++k) {
            if (i + k >= n) return true;  // cut off by the sample's end
            if ((d[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d[i + k] & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        multi = true;
        i += static_cast<std::size_t>(len);
    }
    return true;
}

}  // namespace

int letterScore(TextEncoding page, unsigned char byte) {
    if (byte < 0x80) return 0;
    switch (page) {
        case TextEncoding::Cp866:
            return k866[byte - 0x80];
        case TextEncoding::Cp1251:
            return k1251[byte - 0x80];
        case TextEncoding::Koi8r:
            return kKoi8[byte - 0x80];
        case TextEncoding::Utf8:
            break;
    }
    return 0;
}

std::optional<TextEncoding> detectEncoding(const unsigned char* data, std::size_t len) {
    if (len > kDetectSample) len = kDetectSample;
    if (hasUtf8Bom(data, len)) return TextEncoding::Utf8;
    bool multi = false;
    if (validUtf8(data, len, multi) && multi) return TextEncoding::Utf8;

    const Score s866 = score(data, len, k866, neutral866);
    const Score s1251 = score(data, len, k1251, neutral1251);
    const Score sKoi = score(data, len, kKoi8, neutralKoi8);
    const Score* best = &s866;
    TextEncoding e = TextEncoding::Cp866;
    if (s1251.total > best->total) best = &s1251, e = TextEncoding::Cp1251;
    if (sKoi.total > best->total) best = &sKoi, e = TextEncoding::Koi8r;
    if (best->letters < kMinLetters) return std::nullopt;
    int ties =
        (s866.total == best->total) + (s1251.total == best->total) + (sKoi.total == best->total);
    if (ties > 1) return std::nullopt;
    return e;
}

}  // namespace folvek
