// Walking a sheet's rows as the renderer draws them and spelling them in Unicode.
#include "page_text.h"

#include <array>

#include "box_cells.h"
#include "codepage.h"
#include "input_tables.h"
#include "page_renderer.h"
#include "row_painter.h"
#include "style_tags.h"

namespace folvek {

namespace {

const std::array<char16_t, 256>& boxTable() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        const char16_t* oem = oemToUnicodeTable();
        for (int dos = 0xB3; dos <= 0xDA; ++dos)
            if (std::uint8_t code = boxCodeOf866(static_cast<std::uint8_t>(dos)))
                t[code] = oem[dos];
        // Arms 866 has no character for (a half line at a frame's end): the line they lie on.
        for (int code = 1; code < 256; ++code) {
            if (t[code]) continue;
            const auto c = static_cast<std::uint8_t>(code);
            const int h = std::max(boxArm(c, BoxArm::Left), boxArm(c, BoxArm::Right));
            const int v = std::max(boxArm(c, BoxArm::Up), boxArm(c, BoxArm::Down));
            if (h >= v)
                t[code] = h == 2 ? u'\u2550' : u'\u2500';
            else
                t[code] = v == 2 ? u'\u2551' : u'\u2502';
        }
        return t;
    }();
    return table;
}

}  // namespace

char16_t boxCharacter(std::uint8_t code) {
    return code ? boxTable()[code] : 0;
}

std::u16string pageText(DocumentRecord& pg, PageLocator& locator, std::int32_t page) {
    std::u16string out;
    if (page < 1 || page > pg.pageCount) return out;
    const SheetText sheet = sheetText(pg, page, locator);
    const char16_t* ansi = ansiToUnicodeTable();
    const bool doubleBars = pg.lines.doubleBarsImplied();
    static thread_local char buf[1025];
    static thread_local std::uint8_t boxes[1025];
    std::int64_t index = sheet.start.firstLine;
    for (std::int32_t k = 0; k < sheet.capacity; ++k, ++index) {
        if (index < 0 || static_cast<std::uint64_t>(index) >= pg.lines.size()) break;
        const char* line = pg.lines.textAt(static_cast<std::size_t>(index));
        if (!line || line[0] == '\f') break;
        std::uint16_t style = 0;
        const char* text = cutStrip(pg, line, sheet.start.strip, buf, style, nullptr);
        const std::size_t offset = static_cast<std::size_t>(text - buf);
        const bool hasBoxes =
            pg.lines.boxCodes(static_cast<std::size_t>(index), offset, boxes, 1025 - offset);
        if (k > 0) out += u'\n';
        const std::size_t rowStart = out.size();
        for (const char* p = text; *p;) {
            if (*p == '<') {
                if (const int tag = tagAt(p)) {
                    p += tagLength(tag);
                    continue;
                }
            }
            const auto byte = static_cast<std::uint8_t>(*p);
            std::uint8_t code = hasBoxes ? boxes[p - text] : 0;
            if (!code && doubleBars && byte == kDoubleBarLookalike)
                code = boxCodeOf866(kDosDoubleBar);
            ++p;
            if (code)
                out += boxCharacter(code);
            else if (byte >= 0x20)
                out += ansi[byte];
        }
        while (out.size() > rowStart && out.back() == u' ') out.pop_back();
    }
    // Blank rows at the sheet's end say nothing.
    while (!out.empty() && out.back() == u'\n') out.pop_back();
    return out;
}

}  // namespace folvek
