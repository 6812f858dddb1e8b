// The main window's printout.
#include "window_printout.h"

#include "cut_lines.h"
#include "document_record.h"
#include "page_renderer.h"

namespace folvek {

WindowPrintout::WindowPrintout(std::string title, QWidget* window, DocumentRecord* doc)
    : Printout(std::move(title)), window_(window), doc_(doc) {}

PageRangeInfo WindowPrintout::pageInfo() const {
    // A single page needs no page numbers in the dialog.
    const QString note = doc_ ? QString::fromStdString(cutLinesDialogNote(*doc_)) : QString();
    if (!doc_ || doc_->pageCount <= 1) return {0, 0, 0, 0, note};
    return {1, doc_->pageCount, 0, 0, note};
}

void WindowPrintout::beginPrinting() {}

bool WindowPrintout::hasPage(int page) const {
    return doc_ && doc_->pageCount >= page;
}

void WindowPrintout::printPage(int page) {
    if (doc_ && dc()) drawPage(*doc_, *dc(), page, true, locator_);
}

}  // namespace folvek
