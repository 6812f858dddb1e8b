// A job page's text in reading order, and where each of its characters was printed: the text
// that find searches and copy takes, and the places the view marks and selects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "job_page.h"

namespace folvek::printer {

// The character of the page's runs that a unit of the text stands for: `index` of
// page.runs[run]; run -1 for a blank put between runs for the gap.
struct JobTextPlace {
    std::int32_t run = -1;
    std::int32_t index = 0;
};

// One printed line: the runs whose baselines lie within a quarter of a cell of each other, left
// to right, each gap spelled as blanks at the pitch of the run before, every line starting at
// the page's leftmost character. UTF-16, one place per code unit (a surrogate pair has two).
struct JobTextLine {
    std::u16string text;
    std::vector<JobTextPlace> places;
};

// The printed lines of a page, top to bottom, each without trailing blanks. Overstruck
// characters (a run starting before the last one on its line ended) add nothing.
std::vector<JobTextLine> jobTextLines(const JobPage& page);

// The same lines joined by '\n'.
std::u16string jobPageText(const JobPage& page);

}  // namespace folvek::printer
