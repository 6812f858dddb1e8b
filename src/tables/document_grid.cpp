// Spelling every line of a report into the grid the table finder reads.
#include "document_grid.h"

#include <cstring>

#include "job_search.h"
#include "page_text.h"

namespace folvek {

namespace {

// A job's pages spelled line after line, as the job prints them; each page starts a page.
CharGrid jobGrid(const JobLayout& job) {
    CharGrid grid;
    const std::int32_t pages = job.pageCount();
    for (std::int32_t page = 1; page <= pages; ++page) {
        const std::u16string text = job.pageText(page);
        if (text.empty()) continue;
        std::int64_t lineOnPage = 0;
        std::size_t from = 0;
        while (from <= text.size()) {
            std::size_t to = text.find(u'\n', from);
            if (to == std::u16string::npos) to = text.size();
            grid.addRow(text.substr(from, to - from), lineOnPage == 0 && page > 1,
                        jobTextLine(page, lineOnPage));
            ++lineOnPage;
            from = to + 1;
        }
    }
    return grid;
}

}  // namespace

CharGrid documentGrid(const DocumentRecord& doc) {
    if (doc.jobLayout) return jobGrid(*doc.jobLayout);
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
