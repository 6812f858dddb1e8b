// One print job: the page range rule and the page loop that calls a printout's operations in
// their fixed order, with the abort dialog up and the main window disabled meanwhile.
#pragma once

#include <climits>
#include <stdexcept>
#include <string>

#include "printout.h"

class QWidget;

namespace folvek {

class PrintSpooler;

// Raised when the printer gives no device or the spooler fails part-way; the print commands
// catch it and tell the user.
class PrintError : public std::runtime_error {
  public:
    explicit PrintError(const std::string& what, int pagesPrinted = 0)
        : std::runtime_error(what), pagesPrinted_(pagesPrinted) {}
    int pagesPrinted() const { return pagesPrinted_; }

  private:
    int pagesPrinted_;
};

struct PageRange {
    int from = 1;
    int to = INT_MAX;      // INT_MAX: until the printout has no further page
    bool reverse = false;  // last page first (the print dialog's "Reverse")
};

// The pages the user chose (when `chosen`), else the printout's minimum to maximum, else (a
// minimum of 0) from page 1 on.
PageRange printRange(const PageRangeInfo& info, bool chosen, int chosenFrom, int chosenTo);

struct PrintJobResult {
    bool cancelled = false;  // "Отмена" was pressed: nothing of the job reaches the printer
    int pagesPrinted = 0;    // pages drawn, over all copies
};

// Runs the job: `copies` times the range, all in one spooler document. `window` (may be null)
// owns the abort dialog and is disabled while the job runs.
PrintJobResult runPrintJob(Printout& printout, PrintSpooler& spooler, PageRange range, int copies,
                           QWidget* window);

}  // namespace folvek
