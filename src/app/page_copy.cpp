// Putting the shown page's text on the clipboard.
#include "page_copy.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMainWindow>
#include <QStatusBar>

#include "command_ids.h"
#include "document_record.h"
#include "report_view.h"

namespace folvek {

void copyShownPage(ReportView& view) {
    const DocumentRecord* doc = view.document();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!doc || !clipboard) return;
    const int page = doc->curPage;
    clipboard->setText(QString::fromStdU16String(view.pageText(page)));
    if (auto* frame = qobject_cast<QMainWindow*>(view.window()))
        frame->statusBar()->showMessage(QStringLiteral("Страница %1 скопирована").arg(page));
}

void registerPageCopyCommand(ReportView& view) {
    view.addCommand(
        CmCopyPage, [&view] { copyShownPage(view); },
        [&view] { return view.document() && !view.document()->lines.empty(); });
}

}  // namespace folvek
