// The restricted print dialog.
#include "print_dialog.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QWidget>

namespace folvek {

QLabel* widthNoteLabel(const QString& note, QWidget* parent) {
    auto* label = new QLabel(note, parent);
    label->setObjectName(QStringLiteral("WidthNote"));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setFrameStyle(QFrame::StyledPanel);
    label->setMargin(4);
    return label;
}

void FolvekPrintDialog::setNote(const QString& note) {
    if (note.isEmpty()) return;
    QLabel* label = widthNoteLabel(note, this);
    // Qt's print dialog lays its parts out in a box; where it does not, the note goes first
    // in the tab order at least, and into the title's tool tip.
    if (auto* box = qobject_cast<QBoxLayout*>(layout()))
        box->insertWidget(0, label);
    else
        setToolTip(note);
}

FolvekPrintDialog::FolvekPrintDialog(QPrinter* printer, QWidget* parent, bool pageNumbers,
                                     int minPage, int maxPage)
    : QPrintDialog(printer, parent), pageNumbers_(pageNumbers) {
    setOption(QAbstractPrintDialog::PrintSelection, false);
    setOption(QAbstractPrintDialog::PrintPageRange, pageNumbers);
    setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (pageNumbers) {
        setMinMax(minPage, maxPage);
        setFromTo(minPage, maxPage);
    }
}

void FolvekPrintDialog::setVisible(bool visible) {
    QPrintDialog::setVisible(visible);
    if (visible) enforceRange();
}

void FolvekPrintDialog::enforceRange() {
    QWidget* group = findChild<QWidget*>(QStringLiteral("gbPrintRange"));
    if (!group) return;
    if (!pageNumbers_) {
        if (auto* all = group->findChild<QAbstractButton*>(QStringLiteral("printAll")))
            all->setChecked(true);
        group->setEnabled(false);
        group->hide();
        return;
    }
    // The free-form page list ("1,3-5") is never offered: the job prints one range from its
    // first to its last page.
    for (const char* name : {"pagesRadioButton", "pagesLineEdit"})
        if (QWidget* w = group->findChild<QWidget*>(QString::fromLatin1(name))) {
            w->setEnabled(false);
            w->hide();
        }
}

}  // namespace folvek
