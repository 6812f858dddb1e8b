// The test binaries' own guard: a test that reaches a real modal dialog fails at once instead
// of waiting for a person, and the dialog is closed so the test goes on.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QMessageBox>

namespace folvek {
namespace {

TEST(ModalDialogGuard, ARealFileDialogFailsTheTestAndIsClosed) {
    QString chosen = QStringLiteral("not asked");
    EXPECT_NONFATAL_FAILURE(chosen = QFileDialog::getOpenFileName(nullptr, QStringLiteral("t")),
                            "real modal dialog: QFileDialog");
    EXPECT_TRUE(chosen.isEmpty());
}

TEST(ModalDialogGuard, AMessageBoxFailsTheTestAndIsClosed) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("WARNING"), QStringLiteral("x"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    int answer = -1;
    EXPECT_NONFATAL_FAILURE(answer = box.exec(), "QMessageBox \"WARNING\"");
    EXPECT_NE(answer, -1);
}

}  // namespace
}  // namespace folvek
