// The parameters command (102): the dialog over the view, then the new layout.
#include "app_globals.h"
#include "dialog_hooks.h"
#include "pager.h"
#include "param_dialog.h"
#include "printer_settings.h"
#include "ruler_win.h"
#include "settings_files.h"
#include "shell_state.h"
#include "status_fields.h"

namespace folvek {

void pageParametersCommand(TRulerWin& view) {
    pager* p = view.document();
    if (!p) return;
    const std::int32_t wasDos = p->userIsDos();
    const EncodingChoice wasEncoding = p->encodingInForce();
    int result = 0;
    {
        ParamDialog dialog(*p, &view);
        result = dialogHooks().runModal(dialog);
    }
    if (result != 0) {
        const std::string& path = shellState().documentPath;
        // The conversion happens while loading, so a new IsDos or encoding needs the file read
        // again.
        if ((p->userIsDos() != wasDos || p->encodingInForce() != wasEncoding) && !path.empty()) {
            p->freeText();
            p->loadText(path);
        }
        applyOrientation(view.printer(), p->Orient);
        p->paginate();
        p->scanStyles();
        view.repaintAll();
    }
    // "Сохранить как..." may have added a file to the list even when the dialog was cancelled.
    UpdatePageStatus();
    view.UpdateScrollRanges();
    refreshSettingsFiles();
}

}  // namespace folvek
