// Putting the shown page's text on the clipboard.
#include "page_copy.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMimeData>
#include <QStatusBar>

#include "command_ids.h"
#include "document_record.h"
#include "report_view.h"
#include "status_fields.h"
#include "table_commands.h"
#include "table_finder.h"

namespace folvek {

void copyShownPage(ReportView& view) {
    const DocumentRecord* doc = view.record();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!doc || !clipboard) return;
    const int page = doc->curPage;
    clipboard->setText(QString::fromStdU16String(view.pageText(page)));
    ShowStatusMessage(&view, QStringLiteral("Страница %1 скопирована").arg(page));
}

void copySelection(ReportView& view) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!view.selection() || !clipboard) return;
    // Beside the text the spreadsheet forms of the tables the selection holds: a spreadsheet
    // pastes the HTML as cells, a text editor takes the text as before.
    auto* data = new QMimeData;
    const QString text = QString::fromStdU16String(view.selectionText());
    data->setText(text);
    CharGrid grid;
    for (std::u16string& row : view.selectionRows()) grid.addRow(std::move(row));
    const FoundTables found = findTables(grid, {}, true);
    std::vector<const Table*> tables;
    for (const Table& t : found.tables) tables.push_back(&t);
    addTableForms(*data, tables);
    clipboard->setMimeData(data);
    const CellRange& cells = *view.selection();
    int rows = cells.lastRow - cells.firstRow + 1,
        columns = cells.lastColumn - cells.firstColumn + 1;
    if (view.record() && view.record()->jobLaidOut()) {
        // A job page's selection is a rectangle of the form: what it holds is its printed lines.
        const QStringList lines = text.split(u'\n');
        rows = text.isEmpty() ? 0 : static_cast<int>(lines.size());
        columns = 0;
        for (const QString& l : lines) columns = std::max(columns, static_cast<int>(l.size()));
    }
    ShowStatusMessage(&view,
                      QStringLiteral("Скопировано: %1 стр. × %2 симв.").arg(rows).arg(columns));
}

void registerPageCopyCommand(ReportView& view) {
    view.addCommand(
        CmCopy, [&view] { copySelection(view); }, [&view] { return view.selection().has_value(); });
    view.addCommand(
        CmCopyPage, [&view] { copyShownPage(view); },
        [&view] { return view.record() && !view.record()->lines.empty(); });
}

}  // namespace folvek
