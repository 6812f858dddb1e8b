// Laying out one sheet: which lines it shows, where its text starts, where the pictures go,
// and the order of drawing (background picture, page number, top picture, text, frame,
// foreground picture).
#include "page_renderer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "page_locator.h"
#include "picture_draw.h"
#include "row_painter.h"

namespace folvek {

namespace {

// Line i of the document, or null past its end; the cursor is not moved.
const char* lineText(const DocumentRecord& pg, std::int64_t i) {
    if (i < 0 || static_cast<std::uint64_t>(i) >= pg.lines.size()) return nullptr;
    return pg.lines.textAt(static_cast<std::size_t>(i));
}

struct SheetLayout {
    std::int32_t page = 1;
    PageStart start;
    std::int32_t capacity = 0;
    std::int32_t textTop = 0;
    bool topShown = false;
    bool bottomShown = false;
    std::int32_t textLines = 0;  // lines of the logical page, for a background picture at its end
};

// Lines from the page's first line up to a form feed, the end or the room left by the top picture.
std::int32_t countTextLines(const DocumentRecord& pg, const SheetLayout& s) {
    std::int64_t limit = pg.linesPerPage;
    if (s.topShown) limit -= pg.topPicture.height / std::max(pg.lineHeight, 1);
    std::int32_t n = 0;
    if (s.start.firstLine > INT32_MAX) return 0;
    for (const char* line = lineText(pg, s.start.firstLine); line && line[0] != '\f' && n < limit;
         line = lineText(pg, s.start.firstLine + n))
        ++n;
    return n;
}

std::int32_t bottomPictureY(const DocumentRecord& pg, const SheetLayout& s,
                            std::int32_t rowsDrawn) {
    const std::int32_t h = pg.botPicture.height;
    if (!pg.inTextEnd)
        return static_cast<std::int32_t>(-pg.pageHeight * 10.0L + h + pg.BottomMargin);
    if (!pg.asBackground) return -rowsDrawn * pg.lineHeight - s.textTop;
    return std::min(-s.textTop, h - s.textTop - s.textLines * pg.lineHeight);
}

// Box codes of the strip `text` (cut from line i into `buf`) into `out`, aligned with the
// strip; null when the line holds no box character.
const std::uint8_t* boxesOf(const DocumentRecord& pg, std::int32_t i, const char* text,
                            const char* buf, std::uint8_t* out) {
    // The codes of the strip's bytes and its NUL, nothing past them.
    const std::size_t offset = static_cast<std::size_t>(text - buf);
    const std::size_t n = std::min(std::strlen(text) + 1, std::size_t{1025} - offset);
    return pg.lines.boxCodes(static_cast<std::size_t>(i), offset, out, n) ? out : nullptr;
}

// One line cut to the sheet's strip, with its box codes. A row looks at three lines and the
// next row at two of the same, so each line is cut once for all three.
struct CutLine {
    std::int64_t index = -2;  // the line held; -2: none
    const char* text = nullptr;
    const std::uint8_t* codes = nullptr;
    char buf[1025];
    std::uint8_t boxes[1025];
};

const CutLine& cutLine(const DocumentRecord& pg, CutLine (&slots)[3], std::int64_t index,
                       std::int64_t row, std::int32_t strip) {
    CutLine* slot = nullptr;
    for (CutLine& c : slots) {
        if (c.index == index) return c;
        if (c.index < row - 1 || c.index > row + 1) slot = &c;
    }
    slot->index = index;
    std::uint16_t scratch = 0;
    const char* line = lineText(pg, index);
    slot->text = line ? cutStrip(pg, line, strip, slot->buf, scratch, nullptr) : nullptr;
    slot->codes = slot->text ? boxesOf(pg, static_cast<std::int32_t>(index), slot->text, slot->buf,
                                       slot->boxes)
                             : nullptr;
    return *slot;
}

// Draws the rows of the sheet; returns how many were drawn.
std::int32_t drawRows(const DocumentRecord& pg, DeviceContext& dc, const SheetLayout& s) {
    static thread_local CutLine slots[3];
    static thread_local char cur[1025];
    static thread_local std::uint8_t curBoxes[1025];
    for (CutLine& c : slots) c.index = -2;
    // Without continuation sheets a row's own strip is the whole line, as its neighbours see
    // it; with them, its strip also carries the style and the byte before it.
    const bool wrapped = pg.isWrap && pg.charsPerLine > 0;
    std::int32_t k = 0;
    for (std::int64_t index = s.start.firstLine; k < s.capacity && index <= INT32_MAX - 1;
         ++k, ++index) {
        const char* line = lineText(pg, index);
        if (!line || line[0] == '\f') break;
        RowInput row;
        row.style = pg.lines.styleAt(static_cast<std::size_t>(index));
        const CutLine& above = cutLine(pg, slots, index - 1, index, s.start.strip);
        row.above = above.text;
        row.aboveBoxes = above.codes;
        const CutLine& below = cutLine(pg, slots, index + 1, index, s.start.strip);
        row.below = below.text;
        row.belowBoxes = below.codes;
        if (wrapped) {
            row.text = cutStrip(pg, line, s.start.strip, cur, row.style, &row.prefixByte);
            row.boxes = boxesOf(pg, static_cast<std::int32_t>(index), row.text, cur, curBoxes);
        } else {
            const CutLine& self = cutLine(pg, slots, index, index, s.start.strip);
            row.text = self.text;
            row.boxes = self.codes;
        }
        row.doubleBars = pg.lines.doubleBarsImplied();
        row.rowTop = -k * pg.lineHeight - s.textTop;
        paintRow(pg, dc, row);
    }
    return k;
}

}  // namespace

SheetText sheetText(DocumentRecord& pg, std::int32_t page, PageLocator& locator) {
    return sheetText(pg, page, locator.locate(pg, page));
}

SheetText sheetText(const DocumentRecord& pg, std::int32_t page, const PageStart& start) {
    SheetText t;
    t.start = start;
    t.capacity = pg.capacity(page);
    t.topShown = pg.topPicture.height != 0 && (pg.InAll1 || page == 1);
    t.textTop = static_cast<std::int32_t>(pg.TopMargin);
    if (pg.IsNumPage && pg.pageCount > 1) t.textTop += 2 * pg.lineHeight;
    if (t.topShown) t.textTop += pg.topPicture.height;
    return t;
}

int drawPage(DocumentRecord& pg, DeviceContext& dc, std::int32_t page, bool printing,
             PageLocator& locator) {
    if (page == 0) page = pg.curPage;
    if (page > pg.pageCount) page = pg.pageCount;
    if (page < 1) page = 1;
    return drawSheet(pg, dc, page, locator.locate(pg, page), printing);
}

int drawSheet(const DocumentRecord& pg, DeviceContext& dc, std::int32_t page,
              const PageStart& start, bool printing) {
    dc.saveState();
    dc.setLoEnglish();
    if (!printing) dc.scaleViewport(pg.Zoom, 2, pg.Zoom, 2);
    if (pg.curFont) dc.selectFont(*pg.curFont);
    dc.setTransparentText();
    const int previousPen = dc.currentPenWidth();
    dc.selectPen(pg.PenWidth);

    SheetLayout s;
    s.page = page;
    const SheetText text = sheetText(pg, page, start);
    s.start = text.start;
    s.capacity = text.capacity;
    s.topShown = text.topShown;
    s.bottomShown = pg.botPicture.height != 0 && (pg.InAll2 || page == pg.pageCount);
    s.textTop = text.textTop;
    if (s.bottomShown && pg.asBackground && pg.inTextEnd) s.textLines = countTextLines(pg, s);

    const auto left = static_cast<std::int32_t>(pg.LeftMargin);
    if (s.bottomShown && pg.asBackground) drawAt(pg.botPicture, dc, left, bottomPictureY(pg, s, 0));
    if (pg.IsNumPage && pg.pageCount > 1) {
        char number[32];
        const int len = std::snprintf(number, sizeof number, "- %d -", page);
        const auto x = static_cast<std::int32_t>(
            (pg.pageWidth * 10.0L - len * static_cast<long double>(pg.charWidth)) * 0.5L);
        drawRun(pg, dc, x, static_cast<std::int32_t>(-pg.TopMargin), number, len);
    }
    if (s.topShown) drawAt(pg.topPicture, dc, left, pg.topPicture.height - s.textTop);
    const std::int32_t rows = drawRows(pg, dc, s);
    if (!printing) {
        dc.moveTo(pg.pageWidth * 10, 0);
        dc.lineTo(pg.pageWidth * 10, -pg.pageHeight * 10);
        dc.lineTo(0, -pg.pageHeight * 10);
    }
    if (s.bottomShown && !pg.asBackground)
        drawAt(pg.botPicture, dc, left, bottomPictureY(pg, s, rows));

    dc.selectPen(previousPen);
    return dc.restoreState(-1) ? 1 : 0;
}

int drawPage(DocumentRecord& pg, DeviceContext& dc, std::int32_t page, bool printing) {
    PageLocator once;
    return drawPage(pg, dc, page, printing, once);
}

}  // namespace folvek
