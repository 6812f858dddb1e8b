// The edit command: the external editor library when it is there, else the built-in
// editor; the document is reloaded and laid out anew when the file was changed.
#pragma once

namespace folvek {

struct DocumentCommandContext;
class MessageSink;

// Returns the editor's "changed" result (0 when nothing was edited).
int editDocumentFile(DocumentCommandContext& ctx);

}  // namespace folvek
