// The parameters command: the dialog over the view, then the new layout.
#include "param_command.h"

#include "app_globals.h"
#include "command_ids.h"
#include "dialog_hooks.h"
#include "document.h"
#include "document_record.h"
#include "param_dialog.h"
#include "printer_settings.h"
#include "report_view.h"
#include "settings_files.h"
#include "shell_state.h"
#include "status_fields.h"

namespace folvek {

void pageParametersCommand(ReportView& view) {
    DocumentRecord* p = view.record();
    if (!p) return;
    const std::int32_t wasDos = p->userIsDos();
    const EncodingChoice wasEncoding = p->encodingInForce();
    int result = 0;
    {
        ParamDialog dialog(*p, &view, view.document()->path());
        result = dialogHooks().runModal(dialog);
    }
    if (result != 0) {
        // The conversion happens while loading, so a new IsDos or encoding needs the file read
        // again.
        const bool reconvert = p->userIsDos() != wasDos || p->encodingInForce() != wasEncoding;
        view.document()->settingsEdited(reconvert ? view.document()->path() : std::string());
    } else {
        // "Сохранить как..." may have added a file to the list even when the dialog was
        // cancelled.
        view.document()->notify(kSettingsFileChanged);
    }
}

void registerParametersCommand(ReportView& view) {
    view.addCommand(CmParameters, [&view] { pageParametersCommand(view); });
}

}  // namespace folvek
