// Asking for a page number and going there.
#include "go_to_page.h"

#include <QInputDialog>
#include <algorithm>
#include <limits>

#include "command_ids.h"
#include "dialog_hooks.h"
#include "document.h"
#include "document_record.h"
#include "help_viewer.h"
#include "report_view.h"

namespace folvek {

void goToPage(ReportView& view) {
    DocumentRecord* doc = view.record();
    if (!doc || !view.document()) return;
    const int pages = std::max(1, static_cast<int>(doc->pageCount));
    QInputDialog dialog(&view);
    dialog.setObjectName(QStringLiteral("GoToPageDialog"));
    dialog.setWindowTitle(QString::fromUtf8(kGoToPageTitle));
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setLabelText(QStringLiteral("Номер страницы (1–%1):").arg(pages));
    // Any number can be typed: a spin box limited to the pages would drop the digit that takes
    // it past the end (40 in 32 pages would become 4). The number is brought into the pages
    // when confirmed: past either end it is the nearest page.
    dialog.setIntRange(0, std::numeric_limits<int>::max());
    dialog.setIntStep(1);
    dialog.setIntValue(doc->curPage);
    addHelpKey(dialog, HelpGoToPage);
    if (dialogHooks().runModal(dialog) != QDialog::Accepted) return;
    view.document()->goToPage(std::clamp(dialog.intValue(), 1, pages));
    view.scrollTo(0, 0);
}

void registerGoToPageCommand(ReportView& view) {
    view.addCommand(
        CmGoToPage, [&view] { goToPage(view); },
        [&view] { return view.record() && view.record()->pageCount > 1; });
}

}  // namespace folvek
