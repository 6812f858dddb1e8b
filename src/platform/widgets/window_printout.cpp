// The main window's printout.
#include "window_printout.h"

#include "page_renderer.h"
#include "pager.h"

namespace folvek {

TWindowPrintout::TWindowPrintout(std::string title, QWidget* window, pager* doc)
    : TPrintout(std::move(title)), window_(window), doc_(doc) {}

PageRangeInfo TWindowPrintout::pageInfo() const {
    // A single page needs no page numbers in the dialog.
    if (!doc_ || doc_->pageCount <= 1) return {0, 0, 0, 0};
    return {1, doc_->pageCount, 0, 0};
}

void TWindowPrintout::beginPrinting() {}

bool TWindowPrintout::hasPage(int page) const {
    return doc_ && doc_->pageCount >= page;
}

void TWindowPrintout::printPage(int page) {
    if (doc_ && dc()) drawPage(*doc_, *dc(), page, true, locator_);
}

}  // namespace folvek
