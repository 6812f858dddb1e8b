// Rewriting a DOS file in code page 1251: every byte read is converted and written back
// through a temporary file, so a NUL in the text or a failed write never cuts the file.
#include "encoding_offer.h"

#include "codepage.h"
#include "document_command_context.h"
#include "document_record.h"
#include "file_replace.h"
#include "messages.h"
#include "string_table.h"

namespace folvek {

namespace {

const std::string kRewriteFailed = "Не удалось переписать файл в Windows кодировке!";

}  // namespace

int offerWindowsEncoding(DocumentCommandContext& ctx) {
    if (!ctx.doc || ctx.doc->IsDos == 0) return 1;
    switch (ctx.messages->show(loadString(StrRewriteInWindows), "???", MsgIcon::Question,
                               MsgButtons::YesNoCancel)) {
        case MsgAnswer::Yes:
            break;
        case MsgAnswer::No:
            return 0;
        default:
            return -1;
    }
    std::string bytes;
    SaveResult saved{SaveStatus::CreateFailed, 0};
    if (readWholeFile(ctx.path, bytes)) {
        oemToAnsi(bytes.data(), bytes.size());
        saved = saveFile(ctx.path, bytes);
    }
    if (!saved.ok()) {
        // Clearing IsDos now would show the still-DOS file garbled and hand it on as Windows text.
        const std::string why = saved.error || saved.status != SaveStatus::CreateFailed
                                    ? "\n" + saveFailureReason(saved)
                                    : std::string();
        ctx.messages->show(kRewriteFailed + why, "!!!", MsgIcon::Error);
        return -1;
    }
    ctx.doc->setIsDos(0);
    if (ctx.reload) ctx.reload();
    return 1;
}

}  // namespace folvek
