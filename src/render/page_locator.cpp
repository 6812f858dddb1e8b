// The page walk of the renderer. A remembered state is the walk at the start of a step, and
// it is only used for sheets beyond its own: a walk that has not yet reached sheet p follows
// the same steps whichever page above p it looks for.
#include "page_locator.h"

#include <algorithm>
#include <vector>

#include "style_tags.h"

namespace folvek {

namespace {

PageStart walk(DocumentRecord& record, std::int32_t page, WalkPoint from,
               std::vector<WalkPoint>* remember) {
    const bool wrap = record.isWrap != 0;
    std::int64_t i = from.line;
    std::int64_t n = from.onPage;
    std::int64_t s = from.sheet;
    std::int32_t w = from.widest;
    std::int64_t capSheet = -1;
    std::int64_t cap = 0;
    const std::int64_t stride = PageLocator::kWalkStride;
    auto extra = [&] { return wrap ? std::int64_t{record.wrapExtra(w)} : 0; };

    const char* line = i <= INT32_MAX ? record.lineAt(static_cast<std::int32_t>(i)) : nullptr;
    while (line && s < page) {
        if (s != capSheet) {
            cap = record.capacity(static_cast<std::int32_t>(s));
            capSheet = s;
        }
        if (remember) {
            while (s >= static_cast<std::int64_t>(remember->size() + 1) * stride)
                remember->push_back(
                    WalkPoint{i, static_cast<std::int32_t>(n), static_cast<std::int32_t>(s), w});
        }
        if (line[0] == '\f') {
            if (wrap && s + extra() >= page) return {i - n, static_cast<std::int32_t>(page - s)};
            s += extra() + 1;
            n = 0;
            w = 0;
        } else {
            ++n;
        }
        if (n >= cap) {
            if (wrap && s + extra() >= page)
                return {i - (n - 1), static_cast<std::int32_t>(page - s)};
            s += extra() + 1;
            n = 0;
            w = 0;
        }
        if (wrap) w = std::max(w, visibleLength(line));
        line = record.nextLine();
        ++i;
    }
    if (!line && s < page && wrap && s + extra() >= page)
        return {i - n, static_cast<std::int32_t>(page - s)};
    return {i, 0};
}

}  // namespace

PageStart locatePageFresh(DocumentRecord& record, std::int32_t page) {
    return walk(record, page, WalkPoint{}, nullptr);
}

PageStart PageLocator::locate(DocumentRecord& record, std::int32_t page) {
    if (layout_ != record.layoutGeneration) {
        points_.clear();
        layout_ = record.layoutGeneration;
    }
    std::vector<WalkPoint>& points = points_;
    // The latest remembered state that is still before the page asked for.
    auto after = std::partition_point(points.begin(), points.end(),
                                      [page](const WalkPoint& p) { return p.sheet < page; });
    const WalkPoint from = after == points.begin() ? WalkPoint{} : *(after - 1);
    return walk(record, page, from, &points);
}

}  // namespace folvek
