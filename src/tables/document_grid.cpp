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

// The rows of lines [from, to), each from its own line: a row starts a page when the line
// before it is a form feed.
CharGrid spellLines(const DocumentRecord& doc, std::size_t from, std::size_t to) {
    CharGrid grid;
    std::vector<std::uint8_t> boxes;
    std::u16string cells;
    for (std::size_t i = from; i < to; ++i) {
        const char* text = doc.lines.textAt(i);
        const bool startsPage = i > 0 && isFormFeed(doc.lines.textAt(i - 1));
        const auto source = static_cast<std::int64_t>(i);
        const std::size_t len = isFormFeed(text) ? 0 : std::strlen(text);
        boxes.resize(len + 1);
        const bool hasBoxes = len > 0 && doc.lines.boxCodes(i, 0, boxes.data(), len);
        // A line without a frame character is in no table: an empty row says as much, and
        // most of a report's lines cost nothing more.
        if (len == 0 || (!hasBoxes && std::strpbrk(text, "|-=+\xA6") == nullptr)) {
            grid.addRow({}, startsPage, source);
            continue;
        }
        lineCells(doc, text, hasBoxes ? boxes.data() : nullptr, cells);
        grid.addRow(cells, startsPage, source);
    }
    return grid;
}

}  // namespace

CharGrid documentGrid(const DocumentRecord& doc) {
    if (doc.jobLayout) return jobGrid(*doc.jobLayout);
    const std::size_t n = doc.lines.size();
    // The lines are independent: a big report's are spelled on two cores.
    const std::size_t half = n < 20000 ? n : n / 2;
    CharGrid second;
    std::thread other;
    if (half < n) other = std::thread([&] { second = spellLines(doc, half, n); });
    CharGrid grid = spellLines(doc, 0, half);
    if (other.joinable()) other.join();
    grid.append(std::move(second));
    return grid;
}

}  // namespace folvek
