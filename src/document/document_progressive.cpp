// A document shown while its file is read: the head laid out at once, the whole when the rest
// has been cut.
#include <algorithm>

#include "document.h"
#include "progressive_load.h"

namespace folvek {

Document::~Document() = default;

bool Document::loadProgressive(const std::string& path) {
    const unsigned moved = showPath(path);
    replacingLines();
    record_->freeText();
    int result = 0;
    rest_ = ProgressiveLoad::start(*record_, path, loadFinished_, result);
    record_->opened = result != 0;
    relayout(false);
    notify(kTextChanged | kLayoutChanged | moved);
    return record_->opened;
}

void Document::loadCompleted() {
    if (rest_ && rest_->ready()) finishLoading();
}

void Document::finishLoading() {
    if (!rest_) return;
    // The lines grow: whoever reads them on another thread stops first.
    tellReplacingLines();
    rest_->complete();
    const bool restyle = rest_->stylesStale();
    rest_.reset();
    DocumentRecord& p = *record_;
    const std::int32_t page = p.curPage;  // the page shown stays
    relayout(restyle);
    p.curPage = std::clamp<std::int32_t>(page, 1, std::max<std::int32_t>(1, p.pageCount));
    notify(kTextChanged | kLayoutChanged | kPageChanged);
}

}  // namespace folvek
