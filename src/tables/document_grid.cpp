// Spelling every line of a report into the grid the table finder reads.
#include "document_grid.h"

#include <cstring>

#include "page_text.h"

namespace folvek {

CharGrid documentGrid(const DocumentRecord& doc) {
    CharGrid grid;
    const std::size_t n = doc.lines.size();
    grid.rows.reserve(n);
    grid.pageStart.reserve(n);
    grid.source.reserve(n);
    std::vector<std::uint8_t> boxes;
    std::u16string cells;
    bool pageStart = false;
    for (std::size_t i = 0; i < n; ++i) {
        const char* text = doc.lines.textAt(i);
        const std::size_t len = std::strlen(text);
        if (len == 1 && text[0] == '\f') {
            grid.addRow({}, pageStart, static_cast<std::int64_t>(i));
            pageStart = true;
            continue;
        }
        boxes.resize(len + 1);
        const bool hasBoxes = doc.lines.boxCodes(i, 0, boxes.data(), len);
        // A line without a frame character is in no table: an empty row says as much, and
        // most of a report's lines cost nothing more.
        if (!hasBoxes && std::strpbrk(text, "|-=+\xA6") == nullptr) {
            grid.addRow({}, pageStart, static_cast<std::int64_t>(i));
            pageStart = false;
            continue;
        }
        lineCells(doc, text, hasBoxes ? boxes.data() : nullptr, cells);
        grid.addRow(cells, pageStart, static_cast<std::int64_t>(i));
        pageStart = false;
    }
    return grid;
}

}  // namespace folvek
