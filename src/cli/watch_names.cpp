// The text test and the names of the watched folder.
#include "watch_names.h"

#include <cstdio>
#include <cstring>

#include "text_encoding.h"

namespace folvek {

double nonTextShare(const char* data, std::size_t size) {
    if (size == 0) return 0.0;
    // UTF-16 text is half NUL bytes; its byte-order mark says what it is.
    if (utf16FormOf(reinterpret_cast<const unsigned char*>(data), size) != Utf16Form::None)
        return 0.0;
    std::size_t bad = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c >= 0x20 && c != 0x7F) continue;  // the upper half is Cyrillic text
        switch (c) {
            case 0x08:  // backspace: overstruck bold and underline
            case 0x09:
            case 0x0A:
            case 0x0B:
            case 0x0C:
            case 0x0D:
            case 0x0E:  // SO, SI: wide and condensed print
            case 0x0F:
            case 0x11:  // DC1-DC4: printer selection and pitch
            case 0x12:
            case 0x13:
            case 0x14:
            case 0x1A:  // the DOS end of file
            case 0x1B:  // ESC: Epson and PCL codes
                continue;
            default:
                ++bad;
        }
    }
    return static_cast<double>(bad) / static_cast<double>(size);
}

const char* binaryFormat(const char* data, std::size_t size) {
    static const struct {
        const char* magic;
        std::size_t length;
        const char* kind;
    } kFormats[] = {
        {"\x89PNG\r\n\x1A\n", 8, "a PNG image"},
        {"GIF8", 4, "a GIF image"},
        {"\xFF\xD8\xFF", 3, "a JPEG image"},
        {"RIFF", 4, "a RIFF file (WAV sound, AVI video)"},
        {"MThd", 4, "a MIDI file"},
        {"DBRAWOPL", 8, "an OPL sound capture"},
        {"\x1A\x45\xDF\xA3", 4, "a Matroska video"},
        {"PK\x03\x04", 4, "a ZIP archive"},
        {"\x1F\x8B", 2, "a gzip archive"},
        {"\x7F"
         "ELF",
         4, "a program"},
        {"%PDF-", 5, "a PDF file"},
    };
    for (const auto& f : kFormats)
        if (size >= f.length && std::memcmp(data, f.magic, f.length) == 0) return f.kind;
    return nullptr;
}

namespace {

// The extension's dot, or npos; a leading dot is part of the name.
std::size_t extensionDot(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string::npos : dot;
}

}  // namespace

std::string numberedName(const std::string& name, int n) {
    if (n <= 0) return name;
    const auto dot = extensionDot(name);
    const std::string suffix = "-" + std::to_string(n);
    if (dot == std::string::npos) return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}

std::string pdfNameFor(const std::string& name, int n) {
    const auto dot = extensionDot(name);
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    if (n > 0) base += "-" + std::to_string(n);
    return base + ".pdf";
}

std::string printableName(const std::string& name) {
    std::string out;
    auto hex = [&out](unsigned char c) {
        char buf[5];
        std::snprintf(buf, sizeof buf, "\\x%02X", c);
        out += buf;
    };
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            if (c == '\n')
                out += "\\n";
            else if (c < 0x20 || c == 0x7F)
                hex(c);
            else
                out += static_cast<char>(c);
            ++i;
            continue;
        }
        // A whole, shortest-form UTF-8 sequence stays as it is.
        std::size_t len = c >= 0xF0 && c <= 0xF4  ? 4
                          : c >= 0xE0 && c < 0xF0 ? 3
                          : c >= 0xC2 && c < 0xE0 ? 2
                                                  : 0;
        bool valid = len > 0 && i + len <= name.size();
        for (std::size_t k = 1; valid && k < len; ++k)
            valid = (static_cast<unsigned char>(name[i + k]) & 0xC0) == 0x80;
        if (valid && len == 3) {
            const auto c1 = static_cast<unsigned char>(name[i + 1]);
            valid = !(c == 0xE0 && c1 < 0xA0) && !(c == 0xED && c1 >= 0xA0);
        }
        if (valid && len == 4) {
            const auto c1 = static_cast<unsigned char>(name[i + 1]);
            valid = !(c == 0xF0 && c1 < 0x90) && !(c == 0xF4 && c1 >= 0x90);
        }
        if (valid) {
            out.append(name, i, len);
            i += len;
        } else {
            hex(c);
            ++i;
        }
    }
    return out;
}

}  // namespace folvek
