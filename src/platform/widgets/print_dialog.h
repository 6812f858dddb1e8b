// The print dialog as the print commands offer it: page numbers only for a document with more
// than one page. Qt's CUPS dialog turns its page range back on whenever it is shown (for
// server-side page selection), so the offer is enforced each time the dialog appears.
#pragma once

#include <QPrintDialog>

class QLabel;

namespace folvek {

// The note a job's dialog shows above its choices when lines are cut at the sheet's edge
// (object name "WidthNote").
QLabel* widthNoteLabel(const QString& note, QWidget* parent);

class FolvekPrintDialog : public QPrintDialog {
    Q_OBJECT
  public:
    // `pageNumbers` false: "all pages" is the only range; else from `minPage` to `maxPage`.
    FolvekPrintDialog(QPrinter* printer, QWidget* parent, bool pageNumbers, int minPage,
                      int maxPage);

    void setVisible(bool visible) override;
    // Shows `note` above the dialog's choices; nothing for an empty note.
    void setNote(const QString& note);

  private:
    void enforceRange();
    bool pageNumbers_;
};

}  // namespace folvek
