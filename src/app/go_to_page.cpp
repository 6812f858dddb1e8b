// Asking for a page number and going there.
#include "go_to_page.h"

#include <QInputDialog>

#include "command_ids.h"
#include "dialog_hooks.h"
#include "document.h"
#include "document_record.h"
#include "help_viewer.h"
#include "report_view.h"

namespace folvek {

void goToPage(ReportView& view) {
    DocumentRecord* doc = view.document();
    if (!doc || !view.model()) return;
    const int pages = std::max(1, static_cast<int>(doc->pageCount));
    QInputDialog dialog(&view);
    dialog.setObjectName(QStringLiteral("GoToPageDialog"));
    dialog.setWindowTitle(QString::fromUtf8(kGoToPageTitle));
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setLabelText(QStringLiteral("Номер страницы (1–%1):").arg(pages));
    // The spin box keeps the number inside the document: it cannot name a page that is not.
    dialog.setIntRange(1, pages);
    dialog.setIntStep(1);
    dialog.setIntValue(doc->curPage);
    addHelpKey(dialog, HelpGoToPage);
    if (dialogHooks().runModal(dialog) != QDialog::Accepted) return;
    view.model()->goToPage(dialog.intValue());
    view.scrollTo(0, 0);
}

void registerGoToPageCommand(ReportView& view) {
    view.addCommand(
        CmGoToPage, [&view] { goToPage(view); },
        [&view] { return view.document() && view.document()->pageCount > 1; });
}

}  // namespace folvek
