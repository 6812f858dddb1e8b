// Open and Save As.
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
#include "string_table.h"
#include "text_copy.h"

namespace folvek {

namespace {

FileDialogRequest textFileRequest(ReportView* owner, const QString& suffix) {
    FileDialogRequest r;
    r.owner = owner;
    if (const Document* doc = owner->document()) r.startPath = QString::fromStdString(doc->path());
    r.filters = nameFiltersFromPairs(loadString(StrTextFileFilter));
    r.defaultSuffix = suffix;
    return r;
}

}  // namespace

void ReportView::reloadDocument() {
    if (model_ && model_->hasPath()) model_->load(model_->path());
}

void ReportView::openDocument() {
    const QString chosen = askFileName(FileDialogKind::Open, textFileRequest(this, QString()));
    if (!chosen.isEmpty()) openFile(chosen.toStdString());
}

void ReportView::openFile(const std::string& path, const std::string* settings) {
    if (path.empty() || !record_) return;
    ShellState& shell = shellState();
    saveHistory();
    if (settings && !settings->empty() && settings->size() <= history::kIniNameBytes)
        shell.IniFileName = *settings;
    else
        history::lookup(history::historyPath(shell), path, shell.IniFileName);
    model_->setLoadOptions(viewerLoadOptions(shell.programDir, path));
    if (model_->openWithSettings(path, shell.IniFileName)) documentOpened(path);
}

void ReportView::saveDocumentAs() {
    const QString chosen =
        askFileName(FileDialogKind::Save, textFileRequest(this, QStringLiteral("txt")));
    if (!chosen.isEmpty() && record_) {
        QtMessages box(this);
        SaveResult why;
        switch (copyTextFile(model_->path(), chosen.toStdString(), &why)) {
            case CopyResult::SourceFailed:
                box.show(loadString(StrCannotOpenSource), "!!!", MsgIcon::Error);
                break;
            case CopyResult::TargetFailed:
                box.show(loadString(StrCannotOpenOutput) + "\n" + saveFailureReason(why), "!!!",
                         MsgIcon::Error);
                break;
            case CopyResult::Ok:
                model_->savedAs(chosen.toStdString());
                break;
        }
    }
}

void registerFileCommands(ReportView& view) {
    auto document = [&view] { return view.document() && view.document()->hasPath(); };
    view.addCommand(CmOpen, [&view] { view.openDocument(); });
    view.addCommand(
        CmSaveAs, [&view] { view.saveDocumentAs(); }, document);
    view.addCommand(CmExit, [&view] { view.exitProgram(); });
}

}  // namespace folvek
