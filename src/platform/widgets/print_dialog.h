// The print dialog as the print commands offer it: page numbers only for a document with more
// than one page. Qt's CUPS dialog turns its page range back on whenever it is shown (for
// server-side page selection), so the offer is enforced each time the dialog appears.
#pragma once

#include <QPrintDialog>

namespace folvek {

class FolvekPrintDialog : public QPrintDialog {
    Q_OBJECT
  public:
    // `pageNumbers` false: "all pages" is the only range; else from `minPage` to `maxPage`.
    FolvekPrintDialog(QPrinter* printer, QWidget* parent, bool pageNumbers, int minPage,
                      int maxPage);

    void setVisible(bool visible) override;

  private:
    void enforceRange();
    bool pageNumbers_;
};

}  // namespace folvek
