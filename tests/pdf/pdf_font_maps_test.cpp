// The maps beside an embedded font, read back entry by entry: the bytes' characters (controls as
// blanks), the encoding and ToUnicode CMaps in blocks of at most 100 (one entry per used byte, in
// byte order, none lost at a block's edge), and a CID font's widths (each glyph once). Also the
// glyph names a simple font's encoding gives the characters.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "codepage.h"
#include "pdf_font_maps.h"
#include "pdf_glyph_names.h"

namespace folvek {
namespace {

struct Block {
    int declared = 0;
    std::vector<std::string> entries;  // the lines between begin and end
};

// The blocks between "<n> <begin>" and "<end>" lines of a CMap.
std::vector<Block> blocksOf(const std::string& cmap, const std::string& begin,
                            const std::string& end) {
    std::vector<Block> out;
    Block* open = nullptr;
    std::size_t at = 0;
    while (at < cmap.size()) {
        const std::size_t eol = cmap.find('\n', at);
        const std::string line = cmap.substr(at, eol - at);
        at = eol == std::string::npos ? cmap.size() : eol + 1;
        if (line.size() > begin.size() &&
            line.compare(line.size() - begin.size(), begin.size(), begin) == 0) {
            out.push_back({std::atoi(line.c_str()), {}});
            open = &out.back();
        } else if (line == end) {
            open = nullptr;
        } else if (open) {
            open->entries.push_back(line);
        }
    }
    return out;
}

std::string hex(const char* format, unsigned v) {
    char b[16];
    std::snprintf(b, sizeof b, format, v);
    return b;
}

}  // namespace

TEST(PdfFontMaps, BytesPrintAsTheirWindows1251CharactersAndControlsAsBlanks) {
    const char16_t* uni = ansiToUnicodeTable();
    const struct {
        int byte;
        char16_t printed;
    } cases[] = {{0x00, 0x20},   {0x01, 0x20},   {0x1F, 0x20},   {0x20, 0x20},   {0x21, 0x21},
                 {0x41, 0x41},   {0x7E, 0x7E},   {0x7F, 0x20},   {0x88, 0x20AC}, {0xA8, 0x0401},
                 {0xB9, 0x2116}, {0xC0, 0x0410}, {0xE0, 0x0430}, {0xFF, 0x044F}};
    for (const auto& c : cases) EXPECT_EQ(printedUnicode(uni, c.byte), c.printed) << c.byte;

    // Printable ASCII has its Adobe name; anything else in the plane its uniXXXX name.
    const struct {
        char16_t unicode;
        const char* name;
    } names[] = {{0x1F, "uni001F"},    {0x20, "space"},     {0x21, "exclam"},
                 {0x30, "zero"},       {0x41, "A"},         {0x5F, "underscore"},
                 {0x7E, "asciitilde"}, {0x7F, "uni007F"},   {0x0401, "uni0401"},
                 {0x2116, "uni2116"},  {0xFFFD, ".notdef"}, {0xFFFC, "uniFFFC"}};
    for (const auto& n : names) EXPECT_EQ(glyphName(n.unicode), n.name) << unsigned(n.unicode);
}

TEST(PdfFontMaps, EveryUsedByteIsMappedOnceInBlocksOfAHundred) {
    const char16_t* uni = ansiToUnicodeTable();
    for (int used : {1, 99, 100, 101, 200, 256}) {
        PdfFont f;
        std::vector<int> codes;  // in byte order
        for (int k = 0; k < used; ++k) f.used[(k * 7) % 256] = true;
        for (int b = 0; b < 256; ++b) {
            f.glyph[b] = 1000u + unsigned(b);
            if (f.used[b]) codes.push_back(b);
        }
        const std::string cmap = encodingCMap(f, "Folvek-ABCDEF-1251");
        EXPECT_NE(cmap.find("/CMapName /Folvek-ABCDEF-1251 def\n"), std::string::npos);
        EXPECT_NE(cmap.find("1 begincodespacerange\n<00> <FF>\nendcodespacerange\n"),
                  std::string::npos);
        const std::string unicode = toUnicodeCMap(f);
        for (const auto& [text, begin, end, toUnicode] :
             {std::tuple{cmap, " begincidchar", "endcidchar", false},
              std::tuple{unicode, " beginbfchar", "endbfchar", true}}) {
            const auto blocks = blocksOf(text, begin, end);
            ASSERT_EQ(blocks.size(), std::size_t((used + 99) / 100)) << used << begin;
            std::size_t next = 0;
            for (const Block& b : blocks) {
                EXPECT_EQ(b.declared, int(b.entries.size())) << used << begin;
                EXPECT_LE(b.entries.size(), 100u) << used << begin;
                for (const std::string& e : b.entries) {
                    ASSERT_LT(next, codes.size()) << used << begin;
                    const int code = codes[next++];
                    const std::string want = hex("<%02X> ", unsigned(code)) +
                                             (toUnicode ? hex("<%04X>", printedUnicode(uni, code))
                                                        : std::to_string(1000 + code));
                    EXPECT_EQ(e, want) << used << begin;
                }
            }
            EXPECT_EQ(next, codes.size()) << used << begin << ": every byte mapped";
        }
    }
}

TEST(PdfFontMaps, WidthsNameEachGlyphOnceInThousandthsOfAnEm) {
    PdfFont f;
    // A control byte shows the blank's glyph: the glyph is listed once, at its first byte.
    f.used[0x01] = f.used[0x20] = f.used[0x41] = f.used[0xC0] = true;
    f.glyph[0x01] = f.glyph[0x20] = 3;
    f.glyph[0x41] = 36;
    f.glyph[0xC0] = 612;
    f.advance[0x01] = f.advance[0x20] = 0.5f;
    f.advance[0x41] = 1229.0f / 2048;  // 600.09765625 per mille
    f.advance[0xC0] = 1.25f;
    f.used[0x42] = false;  // unused bytes are left out whatever their glyph
    f.glyph[0x42] = 37;
    EXPECT_EQ(cidWidths(f), "[3[500]36[600.098]612[1250]]");
    PdfFont none;
    EXPECT_EQ(cidWidths(none), "[]");
}

}  // namespace folvek
