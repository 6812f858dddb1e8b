// Open (101) and Save As (11843).
#include "app_globals.h"
#include "command_ids.h"
#include "control_bar.h"
#include "file_dialogs.h"
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
    r.filters = nameFiltersFromPairs(loadString(1016));
    r.defaultSuffix = suffix;
    return r;
}

}  // namespace

void TRulerWin::reloadDocument() {
    if (!pager_) return;
    pager_->freeText();
    pager_->loadText(shellState().documentPath);
    pager_->paginate();
}

void TRulerWin::openDocument() {
    const QString chosen = fileDialogs().open(textFileRequest(this, QString()));
    if (!chosen.isEmpty() && pager_) {
        ShellState& shell = shellState();
        saveHistory();
        shell.documentPath = chosen.toStdString();
        history::lookup(shell);
        pager_->loadProfile(shell.IniFileName);
        applyOrientation(printer_.get(), pager_->Orient);
        refreshSettingsList();
        reloadDocument();
        ShowDocumentName();
        UpdatePageStatus();
        UpdateScrollRanges();
    }
    repaintAll();
}

void TRulerWin::saveDocumentAs() {
    const QString chosen = fileDialogs().save(textFileRequest(this, QStringLiteral("txt")));
    if (!chosen.isEmpty() && pager_) {
        ShellState& shell = shellState();
        QtMessages box(this);
        SaveResult why;
        switch (copyTextFile(shell.documentPath, chosen.toStdString(), &why)) {
            case CopyResult::SourceFailed:
                box.show(loadString(1017), "!!!", MsgIcon::Error);
                break;
            case CopyResult::TargetFailed:
                box.show(loadString(1018) + "\n" + saveFailureReason(why), "!!!", MsgIcon::Error);
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

}  // namespace folvek
