// The edit and mail commands over the document the view shows.
#pragma once

#include "document_command_context.h"

namespace folvek {

class MessageSink;
class ReportView;

// The view's document as the edit and mail commands see it; `messages` null means the
// application's message boxes.
DocumentCommandContext documentCommandContext(ReportView& view, MessageSink* messages = nullptr);

// The edit command (the plugin or the built-in editor) over the view's document.
void runEditCommand(ReportView& view, MessageSink* messages = nullptr);
// The send command (e-mail with the document attached) over the view's document.
void runSendCommand(ReportView& view, MessageSink* messages = nullptr);

// Edit and send, both only while a document is shown; send also needs a mailer.
void registerDocumentCommands(ReportView& view);

}  // namespace folvek
