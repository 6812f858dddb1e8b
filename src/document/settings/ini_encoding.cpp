// Byte-order marks, UTF-16 and line ends of settings files.
#include "ini_encoding.h"

#include <cstdint>

#include "codepage.h"
#include "utf8_cut.h"

namespace folvek {

namespace {

std::string fromUtf16(const std::string& raw, std::size_t from, bool little) {
    std::string out;
    out.reserve(raw.size() / 2);
    auto unit = [&](std::size_t i) -> std::uint32_t {
        const auto a = static_cast<unsigned char>(raw[i]),
                   b = static_cast<unsigned char>(raw[i + 1]);
        return little ? (a | b << 8) : (a << 8 | b);
    };
    for (std::size_t i = from; i + 1 < raw.size(); i += 2) {
        std::uint32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < raw.size()) {
            const std::uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;  // a lone surrogate
        appendUtf8(out, c);
    }
    return out;
}

std::string toUtf16(const std::string& text, bool little) {
    std::string out;
    out.reserve(text.size() * 2);
    auto put = [&](std::uint32_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += little ? lo : hi;
        out += little ? hi : lo;
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::uint32_t cp;
        std::size_t n;
        if (c < 0x80)
            cp = c, n = 1;
        else if ((c >> 5) == 6)
            cp = c & 0x1F, n = 2;
        else if ((c >> 4) == 14)
            cp = c & 0x0F, n = 3;
        else if ((c >> 3) == 30)
            cp = c & 0x07, n = 4;
        else
            cp = 0xFFFD, n = 0;
        bool good = n > 0 && i + n <= text.size();
        for (std::size_t k = 1; good && k < n; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            good = (d & 0xC0) == 0x80;
            cp = cp << 6 | (d & 0x3F);
        }
        if (!good) cp = 0xFFFD, n = 1;  // a byte that is no UTF-8 cannot be held in UTF-16
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

std::string fromCp1251(const std::string& raw) {
    const char16_t* table = ansiToUnicodeTable();
    std::string out;
    out.reserve(raw.size() * 2);
    for (const char c : raw) appendUtf8(out, table[static_cast<unsigned char>(c)]);
    return out;
}

// UTF-8 back to code page 1251; a character the code page lacks becomes '?' and makes `lossy`
// true.
std::string toCp1251(const std::string& text, bool& lossy) {
    lossy = false;
    const char16_t* table = ansiToUnicodeTable();
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const std::size_t n = (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        std::uint32_t cp = n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        for (std::size_t k = 1; k < n && i + k < text.size(); ++k)
            cp = cp << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        char byte = '?';
        bool found = false;
        for (int b = 0x80; b < 0x100 && !found; ++b)
            if (table[b] == cp) {
                byte = static_cast<char>(b);
                found = true;
            }
        lossy = lossy || !found;
        out += byte;
        i += n;
    }
    return out;
}

}  // namespace

std::string decodeIniText(const std::string& raw, IniEncoding& enc) {
    enc = IniEncoding{};
    std::string text;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(raw[i]); };
    if (raw.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
        enc.form = IniEncoding::Form::Utf8Bom;
        text = raw.substr(3);
    } else if (raw.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
        enc.form = IniEncoding::Form::Utf16LE;
        text = fromUtf16(raw, 2, true);
    } else if (raw.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) {
        enc.form = IniEncoding::Form::Utf16BE;
        text = fromUtf16(raw, 2, false);
    } else {
        text = raw;  // Windows marks its UTF-16 settings files; without a mark they are bytes
        // Bytes that are no UTF-8 come from Windows: its own code page, read as such so that
        // a Cyrillic face name or picture path means what it meant there.
        if (!isValidUtf8(text)) {
            enc.form = IniEncoding::Form::Cp1251;
            text = fromCp1251(text);
        }
    }
    // A second mark is a mark too: the text in memory never begins with one, so it cannot
    // become part of the first section's name.
    while (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text.erase(0, 3);
        if (enc.form == IniEncoding::Form::Bytes) enc.form = IniEncoding::Form::Utf8Bom;
    }
    // LF-only files keep LF; any CR LF (or no line end at all) means CR LF.
    const std::size_t lf = text.find('\n');
    enc.crlf = lf == std::string::npos || (lf > 0 && text[lf - 1] == '\r');
    return text;
}

std::string encodeIniText(const std::string& text, const IniEncoding& enc) {
    std::string lines;
    if (enc.crlf) {
        lines.reserve(text.size() + text.size() / 16);
        for (char c : text) {
            if (c == '\n') lines += '\r';
            lines += c;
        }
    } else {
        lines = text;
    }
    const bool utf16 =
        enc.form == IniEncoding::Form::Utf16LE || enc.form == IniEncoding::Form::Utf16BE;
    // UTF-16 holds characters, not bytes: a value that is no UTF-8 (a CP1251 path) would be
    // lost in it, so such a text keeps its bytes and the file becomes a byte file.
    if (utf16 && !isValidUtf8(lines)) return lines;
    switch (enc.form) {
        case IniEncoding::Form::Bytes:
            return lines;
        case IniEncoding::Form::Cp1251: {
            // A value the code page cannot hold (a path with a letter 1251 lacks) would turn
            // into '?': the file is written as UTF-8 instead, which this reader takes back
            // whole, and nothing the user chose is lost.
            bool lossy = false;
            std::string cp1251 = toCp1251(lines, lossy);
            return lossy && isValidUtf8(lines) ? lines : cp1251;
        }
        case IniEncoding::Form::Utf8Bom:
            return "\xEF\xBB\xBF" + lines;
        case IniEncoding::Form::Utf16LE:
            // Always with a mark: without one, a first character beyond Latin-1 would read back
            // as the other byte order.
            return "\xFF\xFE" + toUtf16(lines, true);
        case IniEncoding::Form::Utf16BE:
            return "\xFE\xFF" + toUtf16(lines, false);
    }
    return lines;
}

}  // namespace folvek
