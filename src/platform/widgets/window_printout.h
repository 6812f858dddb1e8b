// The main window's printout: the document's pages, drawn by the page renderer on the job's
// device, with the document path as the job's title.
#pragma once

#include "page_locator.h"
#include "printout.h"

class QWidget;

namespace folvek {

class DocumentRecord;

class WindowPrintout : public Printout {
  public:
    // `doc` is the window's DocumentRecord (may be null); `window` is the main window it belongs
    // to.
    WindowPrintout(std::string title, QWidget* window, DocumentRecord* doc);

    PageRangeInfo pageInfo() const override;
    void beginPrinting() override;
    bool hasPage(int page) const override;
    void printPage(int page) override;

    QWidget* window() const { return window_; }

  private:
    QWidget* window_;
    DocumentRecord* doc_;
    PageLocator locator_;
};

}  // namespace folvek
