// The search over a job's pages: each page's text split into its printed lines, each line
// turned into code page 1251 and matched as plain text.
#include "job_search.h"

#include <array>

#include "codepage.h"
#include "job_layout.h"

namespace folvek {

namespace {

const std::array<std::uint8_t, 0x10000>& unicodeToAnsi() {
    static const std::array<std::uint8_t, 0x10000> table = [] {
        std::array<std::uint8_t, 0x10000> t{};
        const char16_t* ansi = ansiToUnicodeTable();
        for (int b = 255; b >= 0x20; --b)
            if (ansi[b] != 0 && t[ansi[b]] == 0) t[ansi[b]] = static_cast<std::uint8_t>(b);
        return t;
    }();
    return table;
}

}  // namespace

std::string jobSearchBytes(std::u16string_view text) {
    const auto& table = unicodeToAnsi();
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(table[text[i]]);
    return out;
}

SearchResult searchJob(const JobLayout& job, const TextQuery& query,
                       const std::atomic<bool>* cancel) {
    SearchResult r;
    if (query.empty()) return r;
    const std::int32_t pages = job.pageCount();
    for (std::int32_t page = 1; page <= pages; ++page) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            r.complete = false;
            return r;
        }
        const std::u16string text = job.pageText(page);
        std::int64_t lineOnPage = 0;
        std::size_t from = 0;
        while (from <= text.size()) {
            std::size_t to = text.find(u'\n', from);
            if (to == std::u16string::npos) to = text.size();
            const std::string bytes =
                jobSearchBytes(std::u16string_view(text).substr(from, to - from));
            query.matchText(bytes, jobTextLine(page, lineOnPage), r.matches);
            if (r.matches.size() >= kMaxMatches) {
                r.matches.resize(kMaxMatches);
                r.complete = false;
                return r;
            }
            ++lineOnPage;
            from = to + 1;
        }
    }
    return r;
}

}  // namespace folvek
