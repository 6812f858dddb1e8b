// "Перейти на страницу..." through its key and the real input dialog, answered by the test.
#include <QInputDialog>
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

// Answers the dialog: types `page` into its field (0: cancels).
void answer(Seen& seen, int page) {
    dialogHooks().runModal = [&seen, page](QDialog& d) {
        auto* input = qobject_cast<QInputDialog*>(&d);
        EXPECT_NE(input, nullptr);
        if (!input) return int(QDialog::Rejected);
        ++seen.calls;
        seen.minimum = input->intMinimum();
        seen.maximum = input->intMaximum();
        seen.value = input->intValue();
        if (page == 0) return int(QDialog::Rejected);
        input->setIntValue(page);
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
    answer(seen, 7);
    QTest::keyClick(view(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.minimum, 1);
    EXPECT_EQ(seen.maximum, 10);
    EXPECT_EQ(seen.value, 1);  // the page shown
    EXPECT_EQ(view()->document()->curPage, 7);
    EXPECT_EQ(view()->document()->Orient, 1);  // not the P key's portrait

    // Past the end is the last page, before the start the first; a cancel goes nowhere.
    answer(seen, 250);
    view()->runCommand(CmGoToPage);
    EXPECT_EQ(view()->document()->curPage, 10);
    answer(seen, -3);
    view()->runCommand(CmGoToPage);
    EXPECT_EQ(view()->document()->curPage, 1);
    view()->runCommand(CmLastPage);
    answer(seen, 0);
    view()->runCommand(CmGoToPage);
    EXPECT_EQ(view()->document()->curPage, 10);
    EXPECT_EQ(seen.calls, 4);
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
