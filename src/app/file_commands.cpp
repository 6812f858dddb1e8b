// Open (101) and Save As (11843).
#include "app_globals.h"
#include "command_ids.h"
#include "control_bar.h"
#include "dialog_hooks.h"
#include "document.h"
#include "history.h"
#include "message_boxes.h"
#include "pager.h"
#include "printer_settings.h"
#include "ruler_win.h"
#include "shell_state.h"
#include "status_fields.h"
#include "string_table.h"
#include "text_copy.h"

namespace folvek {

namespace {

FileDialogRequest textFileRequest(TRulerWin* owner, const QString& suffix) {
    FileDialogRequest r;
    r.owner = owner;
    r.startPath = QString::fromStdString(shellState().documentPath);
    r.filters = nameFiltersFromPairs(loadString(StrTextFileFilter));
    r.defaultSuffix = suffix;
    return r;
}

}  // namespace

void TRulerWin::reloadDocument() {
    if (model_) model_->load(shellState().documentPath);
}

void TRulerWin::openDocument() {
    const QString chosen = askFileName(FileDialogKind::Open, textFileRequest(this, QString()));
    if (!chosen.isEmpty()) openFile(chosen.toStdString());
    repaintAll();
}

void TRulerWin::openFile(const std::string& path, const std::string* settings) {
    if (path.empty() || !pager_) return;
    ShellState& shell = shellState();
    saveHistory();
    shell.documentPath = path;
    if (settings && !settings->empty() && settings->size() <= history::kIniNameBytes)
        shell.IniFileName = *settings;
    else
        history::lookup(shell);
    model_->openWithSettings(shell.documentPath, shell.IniFileName);
    ShowDocumentName();
    repaintAll();
}

void TRulerWin::saveDocumentAs() {
    const QString chosen =
        askFileName(FileDialogKind::Save, textFileRequest(this, QStringLiteral("txt")));
    if (!chosen.isEmpty() && pager_) {
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

void registerFileCommands(TRulerWin& view) {
    auto document = [] { return !shellState().documentPath.empty(); };
    view.addCommand(CmOpen, [&view] { view.openDocument(); });
    view.addCommand(
        CmSaveAs, [&view] { view.saveDocumentAs(); }, document);
    view.addCommand(CmExit, [&view] { view.exitProgram(); });
}

}  // namespace folvek
