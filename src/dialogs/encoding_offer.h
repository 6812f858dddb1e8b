// The offer to rewrite a DOS-encoded document in the Windows code page, made before the file
// is handed to a program that expects Windows text (an external editor, the mail client).
#pragma once

namespace folvek {

struct DocumentCommandContext;

// 1: go on with a Windows-encoded file (it was one, or it was just rewritten; `IsDos` is then
// cleared in memory only and the document reloaded); 0: the user declined; -1: the user
// cancelled, or the rewrite failed (reported; the file and `IsDos` stay as they were).
int offerWindowsEncoding(DocumentCommandContext& ctx);

}  // namespace folvek
