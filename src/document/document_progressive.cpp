// A document shown while its file is read: the head laid out at once, the whole when the rest
// has been cut.
#include <algorithm>

#include "document.h"
#include "progressive_load.h"

namespace folvek {

Document::~Document() = default;

bool Document::loadProgressive(const std::string& path) {
    const bool was = progressive_;
    progressive_ = true;
    const bool loaded = load(path);
    progressive_ = was;
    return loaded;
}

bool Document::readText(const std::string& path) {
    if (!progressive_) return record_->loadText(path) != 0;
    int result = 0;
    rest_ = ProgressiveLoad::start(*record_, path, loadFinished_, result);
    return result != 0;
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
    // The page shown stays, or a reload's page that lay beyond the head is shown now, unless
    // the user went elsewhere meanwhile.
    std::int32_t page = p.curPage;
    if (pendingPage_ != 0 && page == headPage_) page = pendingPage_;
    pendingPage_ = 0;
    relayout(restyle);
    p.curPage = std::clamp<std::int32_t>(page, 1, std::max<std::int32_t>(1, p.pageCount));
    notify(kTextChanged | kLayoutChanged | kPageChanged | kLoadCompleted);
}

}  // namespace folvek
