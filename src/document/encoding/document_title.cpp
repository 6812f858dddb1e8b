// Titles from file names.
#include "document_title.h"

#include "codepage.h"
#include "input_tables.h"
#include "utf8_cut.h"

namespace folvek {

namespace {

bool validUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int more = c < 0x80             ? 0
                         : (c & 0xE0) == 0xC0 ? 1
                         : (c & 0xF0) == 0xE0 ? 2
                         : (c & 0xF8) == 0xF0 ? 3
                                              : -1;
        if (more < 0 || (more == 1 && c < 0xC2)) return false;
        if (more > 0 && i + static_cast<std::size_t>(more) >= s.size()) return false;
        for (int k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += more + 1;
    }
    return true;
}

}  // namespace

std::string titleFromName(const std::string& name, TextEncoding encoding) {
    std::string out;
    if (validUtf8(name)) {
        for (const char c : name)
            out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
        return out;
    }
    const char16_t* table = encoding == TextEncoding::Cp866   ? oemToUnicodeTable()
                            : encoding == TextEncoding::Koi8r ? koi8ToUnicodeTable()
                                                              : ansiToUnicodeTable();
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        appendUtf8(out, b < 0x20 || b == 0x7F ? U'?' : b < 0x80 ? char32_t(b) : char32_t(table[b]));
    }
    return out;
}

std::string baseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace folvek
