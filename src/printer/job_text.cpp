// Putting a job page's runs into reading order: lines by baseline, runs by position.
#include "job_text.h"

#include <algorithm>

namespace folvek::printer {

namespace {

// At most this many blanks stand for one gap.
constexpr JobUnits kMaxGap = 400;

void append(JobTextLine& line, char32_t c, JobTextPlace place) {
    if (c < 0x20) c = U' ';
    if (c >= 0x10000 && c <= 0x10FFFF) {
        c -= 0x10000;
        line.text.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        line.text.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        line.places.push_back(place);
    } else if (c < 0xD800 || (c > 0xDFFF && c < 0x10000)) {
        line.text.push_back(static_cast<char16_t>(c));
    } else {
        line.text.push_back(u'?');
    }
    line.places.push_back(place);
}

}  // namespace

std::vector<JobTextLine> jobTextLines(const JobPage& page) {
    std::vector<std::int32_t> runs;
    runs.reserve(page.runs.size());
    for (std::size_t k = 0; k < page.runs.size(); ++k)
        if (!page.runs[k].text.empty()) runs.push_back(static_cast<std::int32_t>(k));
    const auto at = [&page](std::int32_t k) -> const JobTextRun& {
        return page.runs[static_cast<std::size_t>(k)];
    };
    std::stable_sort(runs.begin(), runs.end(),
                     [&](std::int32_t a, std::int32_t b) { return at(a).y < at(b).y; });
    JobUnits pageLeft = 0;
    for (std::size_t k = 0; k < runs.size(); ++k)
        pageLeft = k ? std::min(pageLeft, at(runs[k]).x) : at(runs[k]).x;
    std::vector<JobTextLine> lines;
    std::size_t i = 0;
    while (i < runs.size()) {
        std::size_t j = i + 1;
        const JobUnits tolerance = std::max<JobUnits>(1, at(runs[i]).cellHeight / 4);
        while (j < runs.size() && at(runs[j]).y - at(runs[i]).y <= tolerance) ++j;
        std::stable_sort(runs.begin() + static_cast<std::ptrdiff_t>(i),
                         runs.begin() + static_cast<std::ptrdiff_t>(j),
                         [&](std::int32_t a, std::int32_t b) { return at(a).x < at(b).x; });
        JobTextLine line;
        JobUnits end = pageLeft;
        for (std::size_t k = i; k < j; ++k) {
            const JobTextRun& r = at(runs[k]);
            const JobUnits step = std::max<JobUnits>(1, r.advance);
            if (r.x < end && k > i) continue;
            if (r.x > end) {
                const JobUnits gap = std::min<JobUnits>((r.x - end) / step, kMaxGap);
                for (JobUnits g = 0; g < gap; ++g) append(line, U' ', {});
            }
            for (std::size_t c = 0; c < r.text.size(); ++c)
                append(line, r.text[c], {runs[k], static_cast<std::int32_t>(c)});
            end = r.x + static_cast<JobUnits>(r.text.size()) * step;
        }
        while (!line.text.empty() && line.text.back() == u' ') {
            line.text.pop_back();
            line.places.pop_back();
        }
        lines.push_back(std::move(line));
        i = j;
    }
    return lines;
}

std::u16string jobPageText(const JobPage& page) {
    std::u16string out;
    bool first = true;
    for (const JobTextLine& line : jobTextLines(page)) {
        if (!first) out.push_back(u'\n');
        first = false;
        out += line.text;
    }
    return out;
}

}  // namespace folvek::printer
