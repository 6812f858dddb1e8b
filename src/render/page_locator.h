// Finding where a sheet begins: the first line of its logical page and, for continuation
// sheets of wrapped pages, which strip of columns it shows. The walk follows pagination's
// rules exactly; a locator remembers the states met on the way every kWalkStride sheets so a
// later request resumes near its page instead of walking from the first line. Whatever draws
// pages (the view, a printout, an export) owns its locator.
#pragma once

#include <cstdint>
#include <vector>

#include "document_record.h"

namespace folvek {

struct PageStart {
    std::int64_t firstLine = 0;  // index of the page's first line; the line count past the text
    std::int32_t strip = 0;      // 0 for the first sheet of a logical page
    bool operator==(const PageStart&) const = default;
};

// State of the page walk at the start of a step.
struct WalkPoint {
    std::int64_t line = 0;  // index of the line about to be examined
    std::int32_t onPage = 0;
    std::int32_t sheet = 1;
    std::int32_t widest = 0;
};

class PageLocator {
  public:
    static constexpr std::int32_t kWalkStride = 16;

    // Uses and extends the remembered states; they are dropped first when they belong to
    // another layout (every pagination makes a new one, in any record).
    PageStart locate(DocumentRecord& record, std::int32_t page);
    std::size_t remembered() const { return points_.size(); }

  private:
    std::vector<WalkPoint> points_;
    std::uint64_t layout_ = 0;  // the layoutGeneration the points belong to; 0: none
};

// The same walk from the first line, remembering nothing.
PageStart locatePageFresh(DocumentRecord& record, std::int32_t page);

}  // namespace folvek
