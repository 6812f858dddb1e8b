// Spelling every line of a report into the grid the table finder reads.
#include "document_grid.h"

#include <cstring>
#include <functional>
#include <thread>

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

namespace {

bool isFormFeed(const char* text) {
    return text[0] == '\f' && text[1] == '\0';
}

// Rows [from, to) of the grid, each from its own line: a row starts a page when the line
// before it is a form feed.
void spellLines(const DocumentRecord& doc, std::size_t from, std::size_t to, CharGrid& grid) {
    std::vector<std::uint8_t> boxes;
    for (std::size_t i = from; i < to; ++i) {
        const char* text = doc.lines.textAt(i);
        grid.pageStart[i] = i > 0 && isFormFeed(doc.lines.textAt(i - 1)) ? 1 : 0;
        grid.source[i] = static_cast<std::int64_t>(i);
        if (isFormFeed(text)) continue;
        const std::size_t len = std::strlen(text);
        boxes.resize(len + 1);
        const bool hasBoxes = doc.lines.boxCodes(i, 0, boxes.data(), len);
        // A line without a frame character is in no table: an empty row says as much, and
        // most of a report's lines cost nothing more.
        if (!hasBoxes && std::strpbrk(text, "|-=+\xA6") == nullptr) continue;
        lineCells(doc, text, hasBoxes ? boxes.data() : nullptr, grid.rows[i]);
    }
}

}  // namespace

CharGrid documentGrid(const DocumentRecord& doc) {
    if (doc.jobLayout) return jobGrid(*doc.jobLayout);
    CharGrid grid;
    const std::size_t n = doc.lines.size();
    grid.rows.resize(n);
    grid.pageStart.resize(n);
    grid.source.resize(n);
    // The lines are independent: a big report's are spelled on two cores.
    const std::size_t half = n < 20000 ? n : n / 2;
    std::thread other;
    if (half < n) other = std::thread(spellLines, std::cref(doc), half, n, std::ref(grid));
    spellLines(doc, 0, half, grid);
    if (other.joinable()) other.join();
    return grid;
}

}  // namespace folvek
