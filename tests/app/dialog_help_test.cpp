// F1 in the dialogs opens the help page of what they ask: pressed in the real dialogs, shown on
// the offscreen screen, with the focus where the user would have it.
#include <QApplication>
#include <QDialog>
#include <QTest>

#include "app_fixture.h"
#include "command_ids.h"
#include "dialog_hooks.h"
#include "help_viewer.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

// Presses F1 in the dialog (at its focus widget, as a keyboard would) and closes it.
std::vector<int> pressF1In(int command, ReportView& view) {
    std::vector<int> topics;
    dialogHooks().openHelp = [&topics](int topic) { topics.push_back(topic); };
    dialogHooks().runModal = [](QDialog& d) {
        d.show();
        d.activateWindow();
        QApplication::setActiveWindow(&d);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
        QWidget* target = QApplication::focusWidget();
        if (!target) target = &d;
        QTest::keyClick(target, Qt::Key_F1);
        return int(QDialog::Rejected);
    };
    view.runCommand(command);
    return topics;
}

}  // namespace

TEST_F(AppTest, F1InTheDialogsOpensTheirOwnHelpPage) {
    shellState().documentPath = pagedDocument("ten.txt", 10);
    start();
    EXPECT_EQ(pressF1In(CmGoToPage, *view()), std::vector<int>{HelpGoToPage});
    EXPECT_EQ(pressF1In(CmExportPdf, *view()), std::vector<int>{HelpSavePdf});
    EXPECT_EQ(pressF1In(CmEdit, *view()), std::vector<int>{HelpEditor});
    // Each topic has a page of its own in the help.
    for (const int topic : {HelpGoToPage, HelpSavePdf, HelpEditor})
        EXPECT_NE(helpPage(topic), QStringLiteral("index.html")) << topic;
}
