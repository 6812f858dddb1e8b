// Subset, CMaps and font dictionaries of one embedded font.
#include "pdf_font_embed.h"

#include <hb-subset.h>
#include <hb.h>

#include <cstdint>
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

std::string subsetTag(const PdfFont& f) {
    std::uint32_t h = 2166136261u;
    for (int i = 0; i < 256; ++i) h = (h ^ (f.used[i] ? f.glyph[i] + 1 : 0)) * 16777619u;
    for (char c : f.postScriptName) h = (h ^ std::uint8_t(c)) * 16777619u;
    std::string tag;
    for (int i = 0; i < 6; ++i, h /= 26) tag += char('A' + h % 26);
    return tag + "+";
}

// Byte code -> glyph id (which is the CID, the glyph ids being kept by the subset).
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
            const unsigned u = (uni[c] < 0x20 || uni[c] == 0x7F) ? 0x20 : uni[c];
            appendHex2(s, c);
            std::snprintf(b, sizeof b, " <%04X>\n", u);
            s += b;
        }
        s += "endbfchar\n";
    }
    s += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return s;
}

// Widths per glyph id, in thousandths of an em.
std::string widths(const PdfFont& f) {
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

double perMille(const PdfFont& f, double fontUnits) {
    return fontUnits * 1000.0 / f.upem;
}

}  // namespace

bool embedFont(PdfObjects& objects, PdfFont& font, std::string* error) {
    if (!font.objectNumber) font.objectNumber = objects.allocate();
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    if (!input) {
        *error = "out of memory subsetting " + font.file;
        return false;
    }
    hb_set_t* glyphs = hb_subset_input_glyph_set(input);
    hb_set_add(glyphs, 0);
    for (int i = 0; i < 256; ++i)
        if (font.used[i]) hb_set_add(glyphs, font.glyph[i]);
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS);
    hb_face_t* subset = hb_subset_or_fail(font.face, input);
    hb_subset_input_destroy(input);
    if (!subset) {
        *error = "cannot subset the font " + font.file;
        return false;
    }
    hb_blob_t* blob = hb_face_reference_blob(subset);
    unsigned len = 0;
    const char* data = hb_blob_get_data(blob, &len);
    const std::string_view program(data ? data : "", data ? len : 0);

    const std::string name = subsetTag(font) + font.postScriptName;
    const int fileObj = objects.allocate(), descObj = objects.allocate(),
              cidObj = objects.allocate(), cmapObj = objects.allocate(),
              uniObj = objects.allocate();

    std::string d = font.cff ? "/Subtype/OpenType" : "";
    if (!font.cff) {
        d += "/Length1 ";
        appendInt(d, program.size());
    }
    objects.writeDeflated(fileObj, d, program);
    hb_blob_destroy(blob);
    hb_face_destroy(subset);

    int flags = 4;  // symbolic: the glyphs are named by the CMap, not by a standard encoding
    if (font.fixedPitch) flags |= 1;
    if (font.italic) flags |= 64;
    d = "<</Type/FontDescriptor/FontName/" + name + "/Flags ";
    appendInt(d, flags);
    d += "/FontBBox[";
    for (int k = 0; k < 4; ++k) {
        if (k) d += ' ';
        appendFixed(d, perMille(font, font.bbox[k]), 0);
    }
    d += "]/ItalicAngle ";
    appendFixed(d, font.italicAngle, 2);
    d += "/Ascent ";
    appendFixed(d, font.ascent * 1000, 0);
    d += "/Descent ";
    appendFixed(d, -font.descent * 1000, 0);
    d += "/CapHeight ";
    appendFixed(d, perMille(font, font.capHeight), 0);
    d += "/StemV 80";
    d += font.cff ? "/FontFile3 " : "/FontFile2 ";
    appendInt(d, fileObj);
    d += " 0 R>>";
    objects.write(descObj, d);

    d = font.cff ? "<</Type/Font/Subtype/CIDFontType0/BaseFont/"
                 : "<</Type/Font/Subtype/CIDFontType2/BaseFont/";
    d +=
        name + "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>/FontDescriptor ";
    appendInt(d, descObj);
    d += " 0 R/DW ";
    appendFixed(d, font.advance[' '] * 1000.0, 3);
    d += "/W" + widths(font);
    if (!font.cff) d += "/CIDToGIDMap/Identity";
    d += ">>";
    objects.write(cidObj, d);

    const std::string cmapName = "Folvek-" + name.substr(0, 6) + "-1251";
    objects.writeDeflated(cmapObj,
                          "/Type/CMap/CMapName/" + cmapName +
                              "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>",
                          encodingCMap(font, cmapName));
    objects.writeDeflated(uniObj, "", toUnicodeCMap(font));

    d = "<</Type/Font/Subtype/Type0/BaseFont/" + name + "/Encoding ";
    appendInt(d, cmapObj);
    d += " 0 R/DescendantFonts[";
    appendInt(d, cidObj);
    d += " 0 R]/ToUnicode ";
    appendInt(d, uniObj);
    d += " 0 R>>";
    objects.write(font.objectNumber, d);
    return true;
}

}  // namespace folvek
