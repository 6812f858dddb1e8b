// Choosing the editor and reloading after it.
#include "edit_command.h"

#include "document_command_context.h"
#include "document_record.h"
#include "edit_plugin.h"
#include "editor_dialog.h"

namespace folvek {

int editDocumentFile(DocumentCommandContext& ctx) {
    if (ctx.path.empty()) return 0;
    int changed = 0;
    const EditPluginResult plugin = runEditPlugin(ctx);
    if (plugin.outcome == PluginOutcome::Cancelled) return 0;
    if (plugin.outcome == PluginOutcome::Handled) {
        changed = plugin.changed;
    } else {
        EditorSession session;
        session.path = ctx.path;
        if (ctx.doc) {
            session.isDos = ctx.doc->IsDos != 0;
            session.encoding = ctx.doc->textEncoding;
            session.fontName = ctx.doc->EditFontName;
            session.charSet = ctx.doc->logFont.charSet;
        }
        session.messages = ctx.editorMessages;
        changed = runBuiltInEditor(ctx.owner, session);
    }
    if (changed && ctx.reload) ctx.reload();
    return changed;
}

}  // namespace folvek
