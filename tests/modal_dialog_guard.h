// Keeps the Qt tests from waiting for a person. A standard dialog (file, print, page set-up,
// font, message box) that opens modally fails the running test and is closed at once; any
// other modal window still open after a grace period (a test that scripts its own dialog
// closes it sooner) fails the test the same way. Without this, a test that reached a real
// dialog would sit there until the ctest timeout.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace folvek::test {

class ModalDialogGuard {
  public:
    explicit ModalDialogGuard(int graceMs = 3000);
    ~ModalDialogGuard();

    // True for the dialogs that the program's hooks exist to replace in tests.
    static bool isStandardDialog(const QWidget* w);

  private:
    void check();

    int graceMs_;
    QTimer timer_;
    QPointer<QWidget> watched_;
    QElapsedTimer since_;
};

}  // namespace folvek::test
