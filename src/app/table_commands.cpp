// Copying a table and saving the tables from the viewer.
#include "table_commands.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMainWindow>
#include <QPointer>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QStatusBar>
#include <QWindow>

#include "clipboard_forms.h"
#include "command_ids.h"
#include "dialog_hooks.h"
#include "document.h"
#include "document_grid.h"
#include "document_record.h"
#include "message_boxes.h"
#include "report_view.h"
#include "shell_state.h"
#include "table_export.h"
#include "table_finder.h"

namespace folvek {

namespace {

constexpr const char* kSaveTitle = "Сохранить таблицы";

void say(ReportView& view, const QString& text) {
    if (auto* frame = qobject_cast<QMainWindow*>(view.window()))
        frame->statusBar()->showMessage(text);
}

void report(QWidget* owner, const QString& text) {
    if (MessageSink* sink = dialogHooks().messages) {
        sink->show(text.toStdString(), kSaveTitle, MsgIcon::Error);
        return;
    }
    QtMessages box(owner);
    box.show(text.toStdString(), kSaveTitle, MsgIcon::Error);
}

// The cell the command is about: where the right-button menu was opened, else the pointer
// when it is over the page, else the selection's first cell.
std::optional<Cell> pointedCell(ReportView& view) {
    if (view.contextCell()) return view.contextCell();
    const QPoint pos = view.viewport()->mapFromGlobal(QCursor::pos());
    if (view.viewport()->rect().contains(pos)) return view.cellAtViewport(QPointF(pos));
    if (view.selection()) return Cell{view.selection()->firstRow, view.selection()->firstColumn};
    return std::nullopt;
}

void copyTable(ReportView& view) {
    DocumentRecord* doc = view.record();
    QClipboard* clipboard = QGuiApplication::clipboard();
    const std::optional<Cell> cell = pointedCell(view);
    std::int64_t line = 0;
    std::int32_t column = 0;
    if (!doc || !clipboard || !cell || !view.documentCell(*cell, line, column)) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FoundTables found = findTables(documentGrid(*doc));
    QApplication::restoreOverrideCursor();
    const int k = tableAt(found.tables, line, column);
    if (k < 0) {
        say(view, QStringLiteral("Под указателем нет таблицы в рамке"));
        return;
    }
    const Table& t = found.tables[static_cast<std::size_t>(k)];
    auto* data = new QMimeData;
    data->setText(QString::fromStdU16String(tablesTsv({&t})));
    addTableForms(*data, {&t});
    clipboard->setMimeData(data);
    say(view,
        QStringLiteral("Таблица скопирована: %1 строк × %2 столбцов").arg(t.rows).arg(t.columns));
}

QString proposedTablesPath(const std::string& documentPath) {
    const QFileInfo info(QString::fromStdString(documentPath));
    const QString base =
        info.completeBaseName().isEmpty() ? info.fileName() : info.completeBaseName();
    return info.dir().filePath(base + QStringLiteral(".xlsx"));
}

void saveTables(ReportView& view) {
    DocumentRecord* doc = view.record();
    if (!doc || !view.document()->hasPath()) return;
    const std::string documentPath = view.document()->path();
    FileDialogRequest request;
    request.owner = &view;
    request.startPath = proposedTablesPath(documentPath);
    request.filters = QStringList{QStringLiteral("Книга Excel (*.xlsx)"),
                                  QStringLiteral("Таблица OpenDocument (*.ods)"),
                                  QStringLiteral("CSV, по файлу на таблицу (*.csv)")};
    request.defaultSuffix = QStringLiteral("xlsx");
    QString target = askFileName(FileDialogKind::Save, request);
    if (target.isEmpty()) return;
    if (tableFormatOf(target.toStdString()) == TableFormat::None) target += QStringLiteral(".xlsx");

    FoundTables found;
    {
        // The window breathes while the search runs on the other cores, but takes no command
        // that could change the document under it.
        QPointer<QWidget> window = view.window();
        if (window) window->setEnabled(false);
        const auto enable = qScopeGuard([window] {
            if (window) window->setEnabled(true);
        });
        QProgressDialog progress(QStringLiteral("Поиск таблиц в отчёте"), QStringLiteral("Отмена"),
                                 0, 100);
        progress.setObjectName(QStringLiteral("TablesProgress"));
        progress.setWindowTitle(QString::fromUtf8(kSaveTitle));
        progress.setMinimumDuration(400);  // a short report is done before it would show
        if (QWidget* window = view.window()) {
            progress.winId();
            if (QWindow* owner = window->windowHandle())
                progress.windowHandle()->setTransientParent(owner);
        }
        found = findTables(documentGrid(*doc), [&progress](double share) {
            progress.setValue(static_cast<int>(share * 100));
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            return !progress.wasCanceled();
        });
    }
    if (found.stopped) {
        say(view, QStringLiteral("Сохранение таблиц прервано"));
        return;
    }
    const TableExportResult r = exportTables(found.tables, target.toStdString());
    if (!r.ok) {
        report(view.window(), QString::fromStdString(r.error));
        return;
    }
    say(view, QStringLiteral("Сохранено таблиц: %1, %2")
                  .arg(found.tables.size())
                  .arg(QString::fromStdString(r.files.size() == 1 ? r.files.front()
                                                                  : r.files.front() + " ...")));
}

}  // namespace

void addTableForms(QMimeData& data, const std::vector<const Table*>& tables) {
    if (tables.empty()) return;
    data.setHtml(QString::fromStdString(tablesHtml(tables)));
    data.setData(QString::fromLatin1(kTsvMime),
                 QString::fromStdU16String(tablesTsv(tables)).toUtf8());
}

void registerTableCommands(ReportView& view) {
    const auto hasDocument = [&view] {
        return view.record() && !view.record()->lines.empty() && view.document()->hasPath();
    };
    view.addCommand(
        CmCopyTable, [&view] { copyTable(view); }, hasDocument);
    view.addCommand(
        CmSaveTables, [&view] { saveTables(view); }, hasDocument);
}

}  // namespace folvek
