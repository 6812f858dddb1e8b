// Open (101) and Save As (11843).
#include "app_globals.h"
#include "command_ids.h"
#include "dialog_hooks.h"
#include "document.h"
#include "document_record.h"
#include "history.h"
#include "job_layout_command.h"
#include "main_tool_bar.h"
#include "message_boxes.h"
#include "printer_settings.h"
#include "report_view.h"
#include "shell_state.h"
#include "status_fields.h"
#include "string_table.h"
#include "text_copy.h"

namespace folvek {

namespace {

FileDialogRequest textFileRequest(ReportView* owner, const QString& suffix) {
    FileDialogRequest r;
    r.owner = owner;
    r.startPath = QString::fromStdString(shellState().documentPath);
    r.filters = nameFiltersFromPairs(loadString(StrTextFileFilter));
    r.defaultSuffix = suffix;
    return r;
}

}  // namespace

void ReportView::reloadDocument() {
    if (model_) model_->load(shellState().documentPath);
}

void ReportView::openDocument() {
    const QString chosen = askFileName(FileDialogKind::Open, textFileRequest(this, QString()));
    if (!chosen.isEmpty()) openFile(chosen.toStdString());
    repaintAll();
}

void ReportView::openFile(const std::string& path, const std::string* settings) {
    if (path.empty() || !record_) return;
    ShellState& shell = shellState();
    saveHistory();
    shell.documentPath = path;
    if (settings && !settings->empty() && settings->size() <= history::kIniNameBytes)
        shell.IniFileName = *settings;
    else
        history::lookup(shell);
    prepareJobLayout(*record_, shell.programDir, shell.documentPath);
    if (model_->openWithSettings(shell.documentPath, shell.IniFileName))
        documentOpened(shell.documentPath);
    ShowDocumentName();
    repaintAll();
}

void ReportView::saveDocumentAs() {
    const QString chosen =
        askFileName(FileDialogKind::Save, textFileRequest(this, QStringLiteral("txt")));
    if (!chosen.isEmpty() && record_) {
        ShellState& shell = shellState();
        QtMessages box(this);
        SaveResult why;
        switch (copyTextFile(shell.documentPath, chosen.toStdString(), &why)) {
            case CopyResult::SourceFailed:
                box.show(loadString(StrCannotOpenSource), "!!!", MsgIcon::Error);
                break;
            case CopyResult::TargetFailed:
                box.show(loadString(StrCannotOpenOutput) + "\n" + saveFailureReason(why), "!!!",
                         MsgIcon::Error);
                break;
            case CopyResult::Ok:
                shell.documentPath = chosen.toStdString();
                reloadDocument();
                ShowDocumentName();
                break;
        }
    }
    repaintAll();
}

void registerFileCommands(ReportView& view) {
    auto document = [] { return !shellState().documentPath.empty(); };
    view.addCommand(CmOpen, [&view] { view.openDocument(); });
    view.addCommand(
        CmSaveAs, [&view] { view.saveDocumentAs(); }, document);
    view.addCommand(CmExit, [&view] { view.exitProgram(); });
}

}  // namespace folvek
