// For tests: reading a hand-written Epson job and finding what it printed.
#pragma once

#include <string>
#include <vector>

#include "job_interpreter.h"

namespace folvek::printer::test {

inline JobDocument readEscP(const std::string& job, JobLanguage dialect = JobLanguage::EscP) {
    return interpretEscP(job, JobOptions{}, dialect);
}

// One printed character with its place.
struct PrintedChar {
    char32_t c;
    JobUnits x, y, advance, height;
    std::uint16_t style;
    std::size_t page;
};

inline std::vector<PrintedChar> printed(const JobDocument& doc) {
    std::vector<PrintedChar> out;
    for (std::size_t p = 0; p < doc.pages.size(); ++p)
        for (const JobTextRun& r : doc.pages[p].runs)
            for (std::size_t i = 0; i < r.text.size(); ++i)
                out.push_back({r.text[i], static_cast<JobUnits>(r.x + JobUnits(i) * r.advance), r.y,
                               r.advance, r.cellHeight, r.style, p});
    return out;
}

// The first printed character c, or a blank record with page = npos when none is.
inline PrintedChar find(const JobDocument& doc, char32_t c) {
    for (const PrintedChar& p : printed(doc))
        if (p.c == c) return p;
    return {0, 0, 0, 0, 0, 0, std::size_t(-1)};
}

inline std::u32string allText(const JobDocument& doc) {
    std::u32string s;
    for (const PrintedChar& p : printed(doc)) s += p.c;
    return s;
}

}  // namespace folvek::printer::test
