// "Перейти на страницу..." through its key and the real input dialog, answered by the test.
#include <QInputDialog>
#include <QSpinBox>
#include <QTest>

#include "app_fixture.h"
#include "command_ids.h"
#include "dialog_hooks.h"
#include "document_record.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

struct Seen {
    int calls = 0;
    int minimum = 0, maximum = 0, value = 0;
};

// Answers the dialog: types `digits` into its field over what it shows, as a person does, and
// confirms (an empty `digits`: cancels).
void answer(Seen& seen, const QString& digits) {
    dialogHooks().runModal = [&seen, digits](QDialog& d) {
        auto* input = qobject_cast<QInputDialog*>(&d);
        EXPECT_NE(input, nullptr);
        if (!input) return int(QDialog::Rejected);
        ++seen.calls;
        seen.minimum = input->intMinimum();
        seen.maximum = input->intMaximum();
        seen.value = input->intValue();
        if (digits.isEmpty()) return int(QDialog::Rejected);
        auto* box = input->findChild<QSpinBox*>();
        EXPECT_NE(box, nullptr);
        if (!box) return int(QDialog::Rejected);
        box->selectAll();
        QTest::keyClicks(box, digits);
        box->interpretText();
        return int(QDialog::Accepted);
    };
}

}  // namespace

TEST_F(AppTest, CtrlShiftPAsksForAPageInsideTheDocumentAndShowsIt) {
    shellState().documentPath = pagedDocument("ten.txt", 10);
    start();
    view()->runCommand(CmLandscape);
    view()->setFocus();
    Seen seen;
    answer(seen, QStringLiteral("7"));
    QTest::keyClick(view(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.value, 1);  // the page shown
    EXPECT_EQ(view()->record()->curPage, 7);
    EXPECT_EQ(view()->record()->Orient, 1);  // not the P key's portrait

    // Every digit typed counts: past the end is the last page, 0 the first; a cancel goes
    // nowhere.
    answer(seen, QStringLiteral("40"));
    view()->runCommand(CmGoToPage);
    EXPECT_EQ(view()->record()->curPage, 10);
    answer(seen, QStringLiteral("4"));
    view()->runCommand(CmGoToPage);
    EXPECT_EQ(view()->record()->curPage, 4);
    answer(seen, QStringLiteral("99999"));
    view()->runCommand(CmGoToPage);
    EXPECT_EQ(view()->record()->curPage, 10);
    answer(seen, QStringLiteral("0"));
    view()->runCommand(CmGoToPage);
    EXPECT_EQ(view()->record()->curPage, 1);
    view()->runCommand(CmLastPage);
    answer(seen, QString());
    view()->runCommand(CmGoToPage);
    EXPECT_EQ(view()->record()->curPage, 10);
    EXPECT_EQ(seen.calls, 6);
}

TEST_F(AppTest, GoToPageIsOffWithoutPagesToChooseFrom) {
    start();
    EXPECT_FALSE(view()->isCommandEnabled(CmGoToPage));
    dialogHooks().runModal = [](QDialog&) {
        ADD_FAILURE() << "no dialog without a document";
        return 0;
    };
    view()->runCommand(CmGoToPage);
}
