// The view's document as the edit and mail commands see it.
#include "view_document_commands.h"

#include "app_globals.h"
#include "command_ids.h"
#include "document.h"
#include "edit_command.h"
#include "mail_command.h"
#include "message_boxes.h"
#include "report_view.h"
#include "shell_state.h"
#include "status_fields.h"

namespace folvek {

DocumentCommandContext documentCommandContext(ReportView& view, MessageSink* messages) {
    DocumentCommandContext ctx;
    ctx.owner = view.window();
    ctx.doc = view.record();
    ctx.path = view.document() ? view.document()->path() : std::string();
    ctx.eValue = shellState().eValue;
    ctx.messages = messages ? messages : &appMessages();
    ctx.editorMessages = messages;
    ctx.reload = [&view] { view.reloadDocument(); };
    return ctx;
}

void runEditCommand(ReportView& view, MessageSink* messages) {
    DocumentCommandContext ctx = documentCommandContext(view, messages);
    editDocumentFile(ctx);
}

void runSendCommand(ReportView& view, MessageSink* messages) {
    DocumentCommandContext ctx = documentCommandContext(view, messages);
    sendDocumentByMail(ctx);
}

void registerDocumentCommands(ReportView& view) {
    auto document = [&view] { return view.document() && view.document()->hasPath(); };
    view.addCommand(
        CmEdit, [&view] { runEditCommand(view); }, document);
    view.addCommand(
        CmSend, [&view] { runSendCommand(view); },
        [&view, document] { return view.hasMailer() && document(); });
}

}  // namespace folvek
