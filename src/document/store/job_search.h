// Finding a text in a printer job that lays itself out: its pages' text, as find shows it on the
// job's own pages. Letters match without regard to case as in a report; box-drawing characters
// and the characters code page 1251 lacks never match.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "text_search.h"

namespace folvek {

class JobLayout;

// A line of a job's text as a match names it (TextMatch::line): the page (1-based) and the
// line's place among that page's printed lines, so that the matches stay in page order.
constexpr std::int64_t jobTextLine(std::int32_t page, std::int64_t lineOnPage) {
    return (static_cast<std::int64_t>(page) << 32) | (lineOnPage & 0xFFFFFFFF);
}
constexpr std::int32_t jobTextPage(std::int64_t line) {
    return static_cast<std::int32_t>(line >> 32);
}
constexpr std::int64_t jobTextLineOnPage(std::int64_t line) {
    return line & 0xFFFFFFFF;
}

// One line of a job's text in code page 1251 for the search, one byte per UTF-16 unit (a
// column of a match is a unit of the page's text): a character the code page lacks, a box
// drawing among them, becomes byte 0.
std::string jobSearchBytes(std::u16string_view text);

// Every match in the job's pages, in page order; `cancel` (may be null) is looked at between
// pages.
SearchResult searchJob(const JobLayout& job, const TextQuery& query,
                       const std::atomic<bool>* cancel = nullptr);

}  // namespace folvek
