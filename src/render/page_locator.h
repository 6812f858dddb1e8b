// Finding where a sheet begins: the first line of its logical page and, for continuation
// sheets of wrapped pages, which strip of columns it shows. The walk follows pagination's
// rules exactly; states met on the way are remembered every pager::kWalkStride sheets so a
// later request resumes near its page instead of walking from the first line.
#pragma once

#include <cstdint>

#include "pager.h"

namespace folvek {

struct PageStart {
    std::int64_t firstLine = 0;  // index of the page's first line; the line count past the text
    std::int32_t strip = 0;      // 0 for the first sheet of a logical page
    bool operator==(const PageStart&) const = default;
};

// Uses and extends pg.walkPoints (dropped first when the layout changed since they were made).
PageStart locatePage(pager& pg, std::int32_t page);
// The same walk from the first line, remembering nothing.
PageStart locatePageFresh(pager& pg, std::int32_t page);

}  // namespace folvek
