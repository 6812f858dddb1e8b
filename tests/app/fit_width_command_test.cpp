// A report wider than the sheet in the window: the status bar says how many lines are cut and
// which key fits them, the print and PDF dialogs repeat it, and Ctrl+W fits the report and
// back through the document's one change path.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QPrinter>

#include "app/app_fixture.h"
#include "command_ids.h"
#include "dialog_hooks.h"
#include "document_record.h"
#include "print_dialog.h"
#include "printer_settings.h"
#include "report_view.h"
#include "shell_state.h"
#include "window_printout.h"

namespace folvek::test {
namespace {

TEST_F(AppTest, CutLinesAreShownAndCtrlWFitsThem) {
    const std::string wide(300, 'w');
    shellState().documentPath = writeFile("wide.txt", "short\r\n" + wide + "\r\n" + wide + "\r\n");
    start();
    DocumentRecord& doc = *view()->record();
    ASSERT_EQ(doc.linesCut, 2);
    QLabel* field = frame->widthField();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->text(), QStringLiteral("Строк шире листа: 2 — Вписать по ширине: Ctrl+W"));
    EXPECT_TRUE(field->toolTip().contains(QStringLiteral("300 знаков")));

    // The job dialogs repeat it: the print dialog through the printout, the PDF dialog itself
    // (shown for the note although the document has one page).
    EXPECT_TRUE(WindowPrintout("t", nullptr, &doc)
                    .pageInfo()
                    .note.startsWith(QStringLiteral("Строк шире листа: 2")));
    QString shownNote;
    dialogHooks().runModal = [&shownNote](QDialog& d) {
        if (auto* note = d.findChild<QLabel*>(QStringLiteral("WidthNote")))
            shownNote = note->text();
        return int(QDialog::Rejected);
    };
    view()->runCommand(CmExportPdf);
    EXPECT_TRUE(shownNote.contains(QStringLiteral("Ctrl+W"))) << shownNote.toStdString();

    // Ctrl+W: the fit is on, written to the settings, and the status bar and menu follow.
    QAction* fit = view()->commandAction(CmFitWidth);
    EXPECT_EQ(fit->shortcut(), QKeySequence(Qt::ControlModifier | Qt::Key_W));
    const double before = doc.charWidth;
    view()->runCommand(CmFitWidth);
    EXPECT_EQ(doc.FitWidth, 1);
    EXPECT_EQ(doc.linesCut, 0);
    EXPECT_LT(doc.charWidth, before);
    EXPECT_TRUE(field->text().startsWith(QStringLiteral("Вписано по ширине: ")))
        << field->text().toStdString();
    EXPECT_TRUE(fit->isChecked());
    EXPECT_NE(readFile(doc.iniPath).find("FitWidth=YES"), std::string::npos);
    EXPECT_TRUE(WindowPrintout("t", nullptr, &doc).pageInfo().note.isEmpty());

    // And off again: the settings' own size, the user's orientation, the count back.
    view()->runCommand(CmFitWidth);
    EXPECT_EQ(doc.FitWidth, 0);
    EXPECT_EQ(doc.linesCut, 2);
    EXPECT_DOUBLE_EQ(doc.charWidth, before);
    EXPECT_FALSE(fit->isChecked());
    EXPECT_FALSE(doc.context.printer && doc.context.printer->landscape());
    EXPECT_NE(readFile(doc.iniPath).find("FitWidth=NO"), std::string::npos);
}

// The print dialog shows the note first, in its own layout (never as a loose child).
TEST(PrintDialogNote, StandsAboveTheChoices) {
    QPrinter printer;
    FolvekPrintDialog dialog(&printer, nullptr, false, 0, 0);
    dialog.setNote(QStringLiteral("Строк шире листа: 2"));
    auto* note = dialog.findChild<QLabel*>(QStringLiteral("WidthNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), QStringLiteral("Строк шире листа: 2"));
    ASSERT_NE(dialog.layout(), nullptr);
    EXPECT_EQ(dialog.layout()->indexOf(note), 0);

    FolvekPrintDialog plain(&printer, nullptr, false, 0, 0);
    plain.setNote(QString());
    EXPECT_EQ(plain.findChild<QLabel*>(QStringLiteral("WidthNote")), nullptr);
}

TEST_F(AppTest, ANarrowReportShowsNothingAboutWidth) {
    shellState().documentPath = pagedDocument("narrow.txt", 2);
    start();
    EXPECT_EQ(view()->record()->linesCut, 0);
    EXPECT_TRUE(frame->widthField()->text().isEmpty());
}

}  // namespace
}  // namespace folvek::test
