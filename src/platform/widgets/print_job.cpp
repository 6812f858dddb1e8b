// The print job's page loop.
#include "print_job.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>
#include <algorithm>

#include "abort_dialog.h"
#include "print_spooler.h"

namespace folvek {

namespace {

// Whatever ends the job, the window comes back and the dialog goes.
class JobScreen {
  public:
    JobScreen(QWidget* window, const Printout& printout, const PrintSpooler& spooler)
        : window_(window ? window->window() : nullptr),
          dialog_(new AbortDialog(window_, QString::fromStdString(printout.title()),
                                  spooler.deviceName(), spooler.portName())) {
        dialog_->show();
        if (window_) window_->setEnabled(false);
        pump();
    }
    ~JobScreen() {
        if (window_) window_->setEnabled(true);
        delete dialog_.data();
    }
    AbortDialog& dialog() { return *dialog_; }
    // Lets the user interface breathe between pages; "Отмена" is seen here.
    bool pumpAndGoOn() {
        pump();
        return dialog_ && !dialog_->cancelled();
    }

  private:
    static void pump() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

    QPointer<QWidget> window_;
    QPointer<AbortDialog> dialog_;
};

// The last page of the range that the printout has: printing backwards starts there.
int lastPageOf(const Printout& printout, const PageRange& range) {
    int last = range.from;
    while (last < range.to && printout.hasPage(last + 1)) ++last;
    return last;
}

}  // namespace

PageRange printRange(const PageRangeInfo& info, bool chosen, int chosenFrom, int chosenTo) {
    if (chosen && chosenFrom > 0) return {chosenFrom, std::max(chosenFrom, chosenTo)};
    if (info.minPage != 0) return {info.minPage, info.maxPage};
    return {1, INT_MAX};
}

PrintJobResult runPrintJob(Printout& printout, PrintSpooler& spooler, PageRange range, int copies,
                           QWidget* window) {
    DeviceContext* dc = spooler.open(printout.title());
    if (!dc) throw PrintError("the printer gives no device context");

    PrintJobResult result;
    bool spoolerOk = true;
    {
        printout.setPrintParams(dc, spooler.pageSize());
        JobScreen screen(window, printout, spooler);
        bool goOn = screen.pumpAndGoOn();
        printout.beginPrinting();
        for (int copy = 0; copy < std::max(1, copies) && goOn && spoolerOk; ++copy) {
            printout.beginDocument(range.from, range.to);
            screen.dialog().setLastPage(range.to == INT_MAX ? 0 : range.to);
            const int last = range.reverse ? lastPageOf(printout, range) : range.to;
            const int step = range.reverse ? -1 : 1;
            for (int page = range.reverse ? last : range.from;
                 goOn && spoolerOk && page >= range.from && page <= last && printout.hasPage(page);
                 page += step) {
                screen.dialog().setPage(page);
                spoolerOk = spooler.startPage();
                if (!spoolerOk) break;
                printout.printPage(page);
                spoolerOk = spooler.endPage();
                if (spoolerOk) ++result.pagesPrinted;
                goOn = screen.pumpAndGoOn();
                if (page == INT_MAX) break;
            }
            printout.endDocument();
        }
        printout.endPrinting();
        result.cancelled = !goOn;
    }
    if (!spoolerOk || result.cancelled) {
        spooler.abort();
    } else if (!spooler.close()) {
        spoolerOk = false;
    }
    // Pages that never reach the printer are a failure the user must hear of, however many
    // were drawn before.
    if (!spoolerOk)
        throw PrintError(
            "the print system failed after " + std::to_string(result.pagesPrinted) + " page(s)",
            result.pagesPrinted);
    return result;
}

}  // namespace folvek
