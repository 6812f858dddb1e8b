// The modal-dialog guard of the Qt test binaries.
#include "modal_dialog_guard.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>

namespace folvek::test {

ModalDialogGuard::ModalDialogGuard(int graceMs) : graceMs_(graceMs) {
    // A modal dialog runs its own event loop, so the timer fires while it is open.
    timer_.setInterval(50);
    QObject::connect(&timer_, &QTimer::timeout, [this] { check(); });
    timer_.start();
}

ModalDialogGuard::~ModalDialogGuard() = default;

bool ModalDialogGuard::isStandardDialog(const QWidget* w) {
    return qobject_cast<const QFileDialog*>(w) || qobject_cast<const QMessageBox*>(w) ||
           qobject_cast<const QFontDialog*>(w) || qobject_cast<const QColorDialog*>(w) ||
           qobject_cast<const QInputDialog*>(w) || qobject_cast<const QPrintDialog*>(w) ||
           qobject_cast<const QPageSetupDialog*>(w);
}

namespace {

void closeDialog(QWidget* w) {
    if (auto* d = qobject_cast<QDialog*>(w))
        d->reject();
    else
        w->close();
}

std::string describe(const QWidget* w) {
    return std::string(w->metaObject()->className()) + " \"" + w->windowTitle().toStdString() +
           "\"";
}

}  // namespace

void ModalDialogGuard::check() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) {
        watched_.clear();
        return;
    }
    if (isStandardDialog(modal)) {
        ADD_FAILURE() << "the test opened a real modal dialog: " << describe(modal)
                      << " (replace it through the program's dialog hooks)";
        closeDialog(modal);
        return;
    }
    if (watched_ != modal) {
        watched_ = modal;
        since_.start();
        return;
    }
    if (since_.elapsed() >= graceMs_) {
        ADD_FAILURE() << "a modal dialog stayed open for " << since_.elapsed()
                      << " ms: " << describe(modal);
        watched_.clear();
        closeDialog(modal);
    }
}

}  // namespace folvek::test
