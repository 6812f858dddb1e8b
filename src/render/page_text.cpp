// Walking a sheet's rows as the renderer draws them and spelling them in Unicode.
#include "page_text.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "box_cells.h"
#include "codepage.h"
#include "input_tables.h"
#include "job_places.h"
#include "page_cells.h"
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

namespace {

// The cell of each byte that is no box character: its character, 0 for a control byte; in the
// second table the look-alike byte of a report that implies double bars is the double bar.
const std::array<std::array<char16_t, 256>, 2>& byteCells() {
    static const std::array<std::array<char16_t, 256>, 2> tables = [] {
        std::array<std::array<char16_t, 256>, 2> t{};
        const char16_t* ansi = ansiToUnicodeTable();
        for (int b = 0x20; b < 256; ++b) t[0][b] = t[1][b] = ansi[b];
        if (const std::uint8_t code = boxCodeOf866(kDosDoubleBar))
            t[1][kDoubleBarLookalike] = boxTable()[code];
        return t;
    }();
    return tables;
}

}  // namespace

void lineCells(const DocumentRecord& record, const char* text, const std::uint8_t* boxes,
               std::u16string& cells) {
    const std::array<char16_t, 256>& box = boxTable();
    const std::array<char16_t, 256>& byteCell = byteCells()[record.lines.doubleBarsImplied()];
    const std::size_t length = std::strlen(text);
    cells.resize(length);  // no more cells than bytes
    // Plain pointers and one look-up a byte: a report's every line passes here when its tables
    // are looked for.
    char16_t* const first = cells.data();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    if (std::memchr(text, '<', length) == nullptr) {
        // No tag: a cell for every byte.
        if (boxes)
            for (std::size_t i = 0; i < length; ++i)
                first[i] = boxes[i] ? box[boxes[i]] : byteCell[bytes[i]];
        else
            for (std::size_t i = 0; i < length; ++i) first[i] = byteCell[bytes[i]];
        return;
    }
    char16_t* out = first;
    for (std::size_t i = 0; i < length;) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte == '<') {
            if (const int tag = tagAt(text + i)) {
                i += static_cast<std::size_t>(tagLength(tag));
                continue;
            }
        }
        const std::uint8_t code = boxes ? boxes[i] : 0;
        *out++ = code ? box[code] : byteCell[byte];
        ++i;
    }
    cells.resize(static_cast<std::size_t>(out - first));
}

namespace {

// Calls fn(row, cells) for each row sheet `page` draws, the cells one character per column of
// the strip as shown: tags left out, a frame character as its box drawing, 0 for a control byte.
template <class Fn>
void forEachRow(DocumentRecord& record, PageLocator& locator, std::int32_t page, Fn&& fn) {
    if (page < 1 || page > record.pageCount) return;
    const SheetText sheet = sheetText(record, page, locator);
    const std::int32_t rows = sheetRows(record, sheet);
    static thread_local char buf[1025];
    static thread_local std::uint8_t boxes[1025];
    std::u16string cells;
    for (std::int32_t k = 0; k < rows; ++k) {
        const auto index = static_cast<std::size_t>(sheet.start.firstLine + k);
        const char* line = record.lines.textAt(index);
        std::uint16_t style = 0;
        const char* text = cutStrip(record, line, sheet.start.strip, buf, style, nullptr);
        const std::size_t offset = static_cast<std::size_t>(text - buf);
        const bool hasBoxes = record.lines.boxCodes(index, offset, boxes, 1025 - offset);
        lineCells(record, text, hasBoxes ? boxes : nullptr, cells);
        fn(k, cells);
    }
}

void trimBlanks(std::u16string& out, std::size_t rowStart) {
    while (out.size() > rowStart && out.back() == u' ') out.pop_back();
}

}  // namespace

std::u16string pageText(DocumentRecord& record, PageLocator& locator, std::int32_t page) {
    // A job's page is its text runs in reading order.
    if (record.jobLayout) return record.jobLayout->pageText(page);
    std::u16string out;
    forEachRow(record, locator, page, [&](std::int32_t k, const std::u16string& cells) {
        if (k > 0) out += u'\n';
        const std::size_t rowStart = out.size();
        for (char16_t c : cells)
            if (c) out += c;
        trimBlanks(out, rowStart);
    });
    // Blank rows at the sheet's end say nothing.
    while (!out.empty() && out.back() == u'\n') out.pop_back();
    return out;
}

std::u16string cellsText(DocumentRecord& record, PageLocator& locator, std::int32_t page,
                         const CellRange& range) {
    if (record.jobLayout) return jobCellsText(record, page, range);
    std::u16string out;
    forEachRow(record, locator, page, [&](std::int32_t k, const std::u16string& cells) {
        if (k < range.firstRow || k > range.lastRow) return;
        if (k > range.firstRow) out += u'\n';
        const std::size_t rowStart = out.size();
        const auto first = static_cast<std::size_t>(std::max(range.firstColumn, 0));
        const auto last = static_cast<std::size_t>(std::max(range.lastColumn, -1) + 1);
        for (std::size_t c = first; c < last && c < cells.size(); ++c)
            out += cells[c] ? cells[c] : u' ';
        trimBlanks(out, rowStart);
    });
    while (!out.empty() && out.back() == u'\n') out.pop_back();
    return out;
}

std::vector<std::u16string> cellsRows(DocumentRecord& record, PageLocator& locator,
                                      std::int32_t page, const CellRange& range) {
    if (record.jobLayout) return jobCellsRows(record, page, range);
    std::vector<std::u16string> rows;
    forEachRow(record, locator, page, [&](std::int32_t k, const std::u16string& cells) {
        if (k < range.firstRow || k > range.lastRow) return;
        const auto first = static_cast<std::size_t>(std::max(range.firstColumn, 0));
        const auto last = static_cast<std::size_t>(std::max(range.lastColumn, -1) + 1);
        std::u16string row;
        for (std::size_t c = first; c < last && c < cells.size(); ++c)
            row += cells[c] ? cells[c] : u' ';
        rows.push_back(std::move(row));
    });
    return rows;
}

}  // namespace folvek
