// The main window's printout: the document's pages, drawn by the page renderer on the job's
// device, with the document path as the job's title.
#pragma once

#include "page_locator.h"
#include "printout.h"

class QWidget;

namespace folvek {

class pager;

class TWindowPrintout : public TPrintout {
  public:
    // `doc` is the window's pager (may be null); `window` is the main window it belongs to.
    TWindowPrintout(std::string title, QWidget* window, pager* doc);

    PageRangeInfo pageInfo() const override;
    void beginPrinting() override;
    bool hasPage(int page) const override;
    void printPage(int page) override;

    QWidget* window() const { return window_; }

  private:
    QWidget* window_;
    pager* doc_;
    PageLocator locator_;
};

}  // namespace folvek
