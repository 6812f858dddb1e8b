// "Сохранить в PDF..." through the real command: its page dialog and file dialog answered by
// the test, the file checked with pdfinfo (skipped with a note where poppler-utils is missing),
// and a long job stopped from its progress dialog.
#include <QApplication>
#include <QMainWindow>
#include <QProcess>
#include <QProgressDialog>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>

#include "app_fixture.h"
#include "command_ids.h"
#include "dialog_hooks.h"
#include "document_record.h"
#include "messages.h"
#include "pdf_export_command.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

// The page count pdfinfo reads from the file; -1 when it cannot.
int pdfPages(const std::string& file) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {QString::fromStdString(file)});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return -1;
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                   QRegularExpression::MultilineOption);
    const auto m = pages.match(QString::fromLocal8Bit(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

bool havePdfinfo() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

// Answers the page dialog: all pages, or the range from..to typed into its fields.
void answerPages(int from = 0, int to = 0) {
    dialogHooks().runModal = [from, to](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("PdfPagesDialog"));
        auto* all = d.findChild<QRadioButton*>(QStringLiteral("AllPages"));
        EXPECT_TRUE(all && all->isChecked());
        if (from > 0) {
            d.findChild<QSpinBox*>(QStringLiteral("FromPage"))->setValue(from);
            d.findChild<QSpinBox*>(QStringLiteral("ToPage"))->setValue(to);
        }
        return int(QDialog::Accepted);
    };
}

}  // namespace

TEST_F(AppTest, ExportWritesTheWholeDocumentOrARangeUnderTheProposedName) {
    if (!havePdfinfo()) GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    const std::string doc = pagedDocument("report.v2.txt", 5);
    shellState().documentPath = doc;
    start();
    view()->runCommand(CmNextPage);
    std::filesystem::create_directory(dirPath() + "out");
    const std::string whole = dirPath() + "out/whole.pdf";
    FileDialogRequest seen;
    answerPages();
    dialogHooks().fileDialog = [&](FileDialogKind kind, const FileDialogRequest& r) {
        EXPECT_EQ(kind, FileDialogKind::Save);
        seen = r;
        return FileDialogAnswer{QString::fromStdString(whole)};
    };
    ASSERT_TRUE(view()->isCommandEnabled(CmExportPdf));
    view()->runCommand(CmExportPdf);
    EXPECT_EQ(seen.startPath.toStdString(), dirPath() + "report.v2.pdf");
    EXPECT_EQ(seen.defaultSuffix, QStringLiteral("pdf"));
    EXPECT_EQ(pdfPages(whole), 5);
    EXPECT_TRUE(frame->statusBar()->currentMessage().contains(QStringLiteral("5 стр.")));

    // Typed backwards, the range is still pages 2..4; the page shown stays.
    const std::string part = dirPath() + "out/part";  // the suffix is added
    answerPages(4, 2);
    dialogHooks().fileDialog = [&](FileDialogKind, const FileDialogRequest&) {
        return FileDialogAnswer{QString::fromStdString(part)};
    };
    view()->runCommand(CmExportPdf);
    EXPECT_EQ(pdfPages(part + ".pdf"), 3);
    EXPECT_EQ(view()->record()->curPage, 2);
    EXPECT_TRUE(frame->isEnabled());
    EXPECT_FALSE(shellState().printing);
}

TEST_F(AppTest, ALongExportStopsFromItsProgressDialogAndLeavesNoFile) {
    shellState().documentPath = pagedDocument("long.txt", 400);
    start();
    const std::string target = dirPath() + "long.pdf";
    answerPages();
    bool cancelled = false;
    bool windowWasDisabled = false;
    dialogHooks().fileDialog = [&](FileDialogKind, const FileDialogRequest&) {
        // Runs between the first pages, from the job's own event processing.
        QTimer::singleShot(0, [&] {
            windowWasDisabled = !frame->isEnabled() && shellState().printing;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* p = qobject_cast<QProgressDialog*>(w);
                    p && p->objectName() == QStringLiteral("PdfExportProgress")) {
                    p->cancel();
                    cancelled = true;
                }
        });
        return FileDialogAnswer{QString::fromStdString(target)};
    };
    view()->runCommand(CmExportPdf);
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(windowWasDisabled);  // no other command could change the pages meanwhile
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Сохранение в PDF прервано"));
    EXPECT_TRUE(frame->isEnabled());
    EXPECT_FALSE(shellState().printing);
    EXPECT_TRUE(view()->isCommandEnabled(CmExportPdf));
}

TEST_F(AppTest, ExportIsNeverWrittenOverTheReportItself) {
    const std::string doc = writeFile("self.pdf", "page 1\n\fpage 2\n");
    shellState().documentPath = doc;
    start();
    answerPages();
    dialogHooks().fileDialog = [&](FileDialogKind, const FileDialogRequest&) {
        return FileDialogAnswer{QString::fromStdString(doc)};
    };
    struct Box : MessageSink {
        MsgAnswer show(const std::string& text, const std::string&, MsgIcon, MsgButtons) override {
            shown = text;
            return MsgAnswer::Ok;
        }
        std::string shown;
    } box;
    dialogHooks().messages = &box;
    view()->runCommand(CmExportPdf);
    EXPECT_FALSE(box.shown.empty());
    EXPECT_EQ(readFile(doc), "page 1\n\fpage 2\n");
}
