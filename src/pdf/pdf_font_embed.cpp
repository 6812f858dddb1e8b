// Subset and font dictionaries of one embedded font; the maps beside it are pdf_font_maps'.
#include "pdf_font_embed.h"

#include <hb-subset.h>
#include <hb.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "codepage.h"
#include "pdf_font_maps.h"
#include "pdf_glyph_names.h"
#include "pdf_number.h"

namespace folvek {

namespace {

std::string subsetTag(const PdfFont& f) {
    std::uint32_t h = 2166136261u;
    for (int i = 0; i < 256; ++i) h = (h ^ (f.used[i] ? f.glyph[i] + 1 : 0)) * 16777619u;
    for (char c : f.postScriptName) h = (h ^ std::uint8_t(c)) * 16777619u;
    std::string tag;
    for (int i = 0; i < 6; ++i, h /= 26) tag += char('A' + h % 26);
    return tag + "+";
}

double perMille(const PdfFont& f, double fontUnits) {
    return fontUnits * 1000.0 / f.upem;
}

// The subset's program; empty with `error` set when it cannot be made. A TrueType subset keeps
// the Unicode cmap of its glyphs: a simple font's glyph names are resolved through it.
std::string subsetProgram(const PdfFont& font, std::string* error) {
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    if (!input) {
        *error = "out of memory subsetting " + font.file;
        return {};
    }
    hb_set_t* glyphs = hb_subset_input_glyph_set(input);
    hb_set_t* unicodes = hb_subset_input_unicode_set(input);
    const char16_t* uni = ansiToUnicodeTable();
    hb_set_add(glyphs, 0);
    for (int i = 0; i < 256; ++i) {
        if (!font.used[i]) continue;
        hb_set_add(glyphs, font.glyph[i]);
        if (!font.missing[i]) hb_set_add(unicodes, printedUnicode(uni, i));
    }
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS);
    hb_face_t* subset = hb_subset_or_fail(font.face, input);
    hb_subset_input_destroy(input);
    if (!subset) {
        *error = "cannot subset the font " + font.file;
        return {};
    }
    hb_blob_t* blob = hb_face_reference_blob(subset);
    unsigned len = 0;
    const char* data = hb_blob_get_data(blob, &len);
    std::string program(data ? data : "", data ? len : 0);
    hb_blob_destroy(blob);
    hb_face_destroy(subset);
    if (program.empty()) *error = "cannot subset the font " + font.file;
    return program;
}

// A PDF name token of the glyph name, or empty when the name needs escapes.
std::string plainName(const char* name) {
    std::string s = name;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-')
            return {};
    return s;
}

// The glyph name each used byte gets in a simple font's encoding; false when some glyph cannot
// be named so that readers find it again, and the font must be a Type0 font. A TrueType glyph
// is found from its character's standard name through the subset's Unicode cmap, a CFF glyph
// by the name its charset gives it.
bool simpleFontNames(const PdfFont& font, std::string_view program, std::string* names) {
    hb_blob_t* blob = hb_blob_create(program.data(), unsigned(program.size()),
                                     HB_MEMORY_MODE_READONLY, nullptr, nullptr);
    hb_face_t* face = hb_face_create(blob, 0);
    hb_font_t* hbFont = hb_font_create(face);
    const char16_t* uni = ansiToUnicodeTable();
    bool ok = true;
    for (int i = 0; i < 256 && ok; ++i) {
        if (!font.used[i]) continue;
        hb_codepoint_t g = 0;
        if (font.missing[i] || font.glyph[i] == 0) {
            names[i] = ".notdef";
        } else if (!font.cff) {
            names[i] = glyphName(printedUnicode(uni, i));
            ok =
                hb_font_get_nominal_glyph(hbFont, printedUnicode(uni, i), &g) && g == font.glyph[i];
        } else {
            char buf[64] = {};
            ok = hb_font_get_glyph_name(hbFont, font.glyph[i], buf, sizeof buf);
            names[i] = ok ? plainName(buf) : std::string();
            ok = ok && !names[i].empty() && names[i] != ".notdef" &&
                 hb_font_get_glyph_from_name(hbFont, names[i].data(), int(names[i].size()), &g) &&
                 g == font.glyph[i];
        }
    }
    hb_font_destroy(hbFont);
    hb_face_destroy(face);
    hb_blob_destroy(blob);
    return ok;
}

void writeDescriptor(PdfObjects& objects, const PdfFont& font, int number, const std::string& name,
                     int fileObj, bool symbolic) {
    // Symbolic when the glyphs are found by the CMap; a simple font's are found by their names.
    int flags = symbolic ? 4 : 32;
    if (font.fixedPitch) flags |= 1;
    if (font.italic) flags |= 64;
    std::string d = "<</Type/FontDescriptor/FontName/" + name + "/Flags ";
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
    appendRef(d, fileObj);
    d += ">>";
    objects.write(number, d);
}

// The font file: a TrueType program as it is; CFF outlines as the OpenType file for a Type0
// font, and as the bare CFF table for a simple font, which PostScript converters embed as a
// Type 1 font with its glyph names where they draw an OpenType one as Type 3 outlines.
void writeProgram(PdfObjects& objects, const PdfFont& font, int number, std::string_view program,
                  bool simple) {
    if (!font.cff) {
        std::string d = "/Length1 ";
        appendInt(d, std::int64_t(program.size()));
        objects.writeDeflated(number, d, program);
        return;
    }
    if (!simple) {
        objects.writeDeflated(number, "/Subtype/OpenType", program);
        return;
    }
    hb_blob_t* blob = hb_blob_create(program.data(), unsigned(program.size()),
                                     HB_MEMORY_MODE_READONLY, nullptr, nullptr);
    hb_face_t* face = hb_face_create(blob, 0);
    hb_blob_t* cff = hb_face_reference_table(face, HB_TAG('C', 'F', 'F', ' '));
    unsigned len = 0;
    const char* data = hb_blob_get_data(cff, &len);
    objects.writeDeflated(number, "/Subtype/Type1C", std::string_view(data ? data : "", len));
    hb_blob_destroy(cff);
    hb_face_destroy(face);
    hb_blob_destroy(blob);
}

// A Type0 font over a one-byte CMap from the bytes to the glyph ids: for faces whose glyphs
// cannot all be named.
void writeType0(PdfObjects& objects, PdfFont& font, const std::string& name,
                std::string_view program) {
    const int fileObj = objects.allocate(), descObj = objects.allocate(),
              cidObj = objects.allocate(), cmapObj = objects.allocate(),
              uniObj = objects.allocate();
    writeProgram(objects, font, fileObj, program, false);
    writeDescriptor(objects, font, descObj, name, fileObj, true);

    std::string d = font.cff ? "<</Type/Font/Subtype/CIDFontType0/BaseFont/"
                             : "<</Type/Font/Subtype/CIDFontType2/BaseFont/";
    d +=
        name + "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>/FontDescriptor ";
    appendRef(d, descObj);
    d += "/DW ";
    appendFixed(d, font.advance[' '] * 1000.0, 3);
    d += "/W" + cidWidths(font);
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
    appendRef(d, cmapObj);
    d += "/DescendantFonts[";
    appendRef(d, cidObj);
    d += "]/ToUnicode ";
    appendRef(d, uniObj);
    d += ">>";
    objects.write(font.objectNumber, d);
}

// A simple font: each byte names its glyph in /Differences. PostScript converters (pdftops and
// Ghostscript's ps2write, and Ghostscript again after them) carry these names over and rebuild
// the text from them, where a CID font's ToUnicode map is lost.
void writeSimple(PdfObjects& objects, PdfFont& font, const std::string& name,
                 std::string_view program, const std::string* names) {
    const int fileObj = objects.allocate(), descObj = objects.allocate(),
              uniObj = objects.allocate();
    writeProgram(objects, font, fileObj, program, true);
    writeDescriptor(objects, font, descObj, name, fileObj, false);
    objects.writeDeflated(uniObj, "", toUnicodeCMap(font));

    int first = 0, last = 255;
    while (first < 255 && !font.used[first]) ++first;
    while (last > first && !font.used[last]) --last;
    std::string d = font.cff ? "<</Type/Font/Subtype/Type1/BaseFont/"
                             : "<</Type/Font/Subtype/TrueType/BaseFont/";
    d += name + "/FirstChar ";
    appendInt(d, first);
    d += "/LastChar ";
    appendInt(d, last);
    d += "/Widths[";
    for (int i = first; i <= last; ++i) {
        if (i > first) d += (i - first) % 16 ? " " : "\n";
        appendFixed(d, font.used[i] ? font.advance[i] * 1000.0 : 0.0, 3);
    }
    d += "]/Encoding<</Type/Encoding/Differences[";
    for (int i = first; i <= last; ++i) {
        if (!font.used[i]) continue;
        if (i == first || !font.used[i - 1]) {
            if (i > first) d += '\n';
            appendInt(d, i);
        }
        d += '/' + names[i];
    }
    d += "]>>/FontDescriptor ";
    appendRef(d, descObj);
    d += "/ToUnicode ";
    appendRef(d, uniObj);
    d += ">>";
    objects.write(font.objectNumber, d);
}

}  // namespace

bool embedFont(PdfObjects& objects, PdfFont& font, std::string* error) {
    if (!font.objectNumber) font.objectNumber = objects.allocate();
    const std::string program = subsetProgram(font, error);
    if (program.empty()) return false;
    const std::string name = subsetTag(font) + font.postScriptName;
    std::string names[256];
    if (simpleFontNames(font, program, names))
        writeSimple(objects, font, name, program, names);
    else
        writeType0(objects, font, name, program);
    return true;
}

}  // namespace folvek
