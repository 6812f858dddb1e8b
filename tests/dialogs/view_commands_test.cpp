// The edit and send commands over the real main window: the view's document, /e value and
// reload reach them.
#include <QPlainTextEdit>
#include <QTextCursor>
#include <memory>

#include "app_globals.h"
#include "dialogs_test_support.h"
#include "document_record.h"
#include "edit_command.h"
#include "editor_dialog.h"
#include "mail_command.h"
#include "main_frame.h"
#include "report_view.h"
#include "shell_state.h"
#include "view_document_commands.h"

namespace folvek::test {
namespace {

TEST_F(DialogsTest, EditCommandOnTheViewReloadsItsDocument) {
    const std::string path = writeFile("doc.txt", "one\r\n");
    shellState().documentPath = path;
    std::unique_ptr<MainFrame> frame(createMainWindow(false));
    ReportView* view = frame->view();
    ASSERT_TRUE(view && view->record());
    QString shown;
    answerEditor([&](EditorDialog& d) {
        shown = d.windowTitle();
        d.editor()->moveCursor(QTextCursor::End);
        d.editor()->insertPlainText(QStringLiteral("two"));
        d.accept();
        return d.result();
    });
    runEditCommand(*view, &messages);
    EXPECT_EQ(shown, QString::fromStdString(path));
    ASSERT_EQ(view->record()->lines.size(), 2u);
    EXPECT_EQ(std::string(view->record()->lines.textAt(1)), "two");
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace folvek::test
