// The maps written beside an embedded font: byte to glyph, byte to Unicode, glyph widths.
#include "pdf_font_maps.h"

#include <algorithm>
#include <cstdio>

#include "codepage.h"
#include "pdf_number.h"

namespace folvek {

namespace {

void appendHex2(std::string& s, unsigned v) {
    char b[8];
    std::snprintf(b, sizeof b, "<%02X>", v & 0xFF);
    s += b;
}

}  // namespace

char16_t printedUnicode(const char16_t* uni, int byte) {
    const char16_t u = uni[byte];
    return (u < 0x20 || u == 0x7F) ? u' ' : u;
}

std::string encodingCMap(const PdfFont& f, const std::string& name) {
    std::string s =
        "%!PS-Adobe-3.0 Resource-CMap\n/CIDInit /ProcSet findresource begin\n12 dict begin\n"
        "begincmap\n/CIDSystemInfo <</Registry (Adobe) /Ordering (Identity) /Supplement 0>> def\n"
        "/CMapName /" +
        name + " def\n/CMapType 1 def\n1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    int codes[256], n = 0;
    for (int i = 0; i < 256; ++i)
        if (f.used[i]) codes[n++] = i;
    for (int start = 0; start < n; start += 100) {
        const int count = std::min(100, n - start);
        appendInt(s, count);
        s += " begincidchar\n";
        for (int k = start; k < start + count; ++k) {
            appendHex2(s, unsigned(codes[k]));
            s += ' ';
            appendInt(s, f.glyph[codes[k]]);
            s += '\n';
        }
        s += "endcidchar\n";
    }
    s += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return s;
}

std::string toUnicodeCMap(const PdfFont& f) {
    std::string s =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo <</Registry (Adobe) /Ordering (UCS) /Supplement 0>> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    const char16_t* uni = ansiToUnicodeTable();
    int codes[256], n = 0;
    for (int i = 0; i < 256; ++i)
        if (f.used[i]) codes[n++] = i;
    char b[16];
    for (int start = 0; start < n; start += 100) {
        const int count = std::min(100, n - start);
        appendInt(s, count);
        s += " beginbfchar\n";
        for (int k = start; k < start + count; ++k) {
            const unsigned c = unsigned(codes[k]);
            const unsigned u = printedUnicode(uni, int(c));
            appendHex2(s, c);
            std::snprintf(b, sizeof b, " <%04X>\n", u);
            s += b;
        }
        s += "endbfchar\n";
    }
    s += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return s;
}

std::string cidWidths(const PdfFont& f) {
    std::string s = "[";
    bool seen[65536] = {};
    for (int i = 0; i < 256; ++i) {
        if (!f.used[i] || seen[f.glyph[i] & 0xFFFF]) continue;
        seen[f.glyph[i] & 0xFFFF] = true;
        appendInt(s, f.glyph[i]);
        s += '[';
        appendFixed(s, f.advance[i] * 1000.0, 3);
        s += "]";
    }
    return s + "]";
}

}  // namespace folvek
