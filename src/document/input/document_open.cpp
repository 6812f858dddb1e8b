// Opening a document and reading its first block.
#include "document_open.h"
#include "system_reason.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "document_record.h"
#include "messages.h"
#include "retrying_io.h"
#include "string_table.h"

namespace folvek {

OpenDocument::~OpenDocument() {
    if (fd >= 0) ::close(fd);
}

void reportUnopenable(RecordContext& context, const std::string& path, const std::string& reason) {
    if (context.messages)
        context.messages->show(loadString(StrCannotOpenFile) + "\n" + path + ": " + reason, "!!!",
                               MsgIcon::Error);
}

void reportShownInPart(RecordContext& context, std::size_t lines) {
    if (context.messages)
        context.messages->show(loadString(StrFileTooLarge) + "\n" + "Показаны только первые " +
                                   std::to_string(lines) + " строк файла.",
                               "!!!", MsgIcon::Information);
}

bool openDocument(RecordContext& context, const std::string& path, OpenDocument& doc) {
    // O_NONBLOCK keeps a FIFO from hanging the open; only regular files are documents.
    doc.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (doc.fd < 0) {
        reportUnopenable(context, path, systemReason(errno));
        return false;
    }
    if (::fstat(doc.fd, &doc.st) != 0) {
        reportUnopenable(context, path, systemReason(errno));
        return false;
    }
    if (!S_ISREG(doc.st.st_mode)) {
        reportUnopenable(context, path,
                         S_ISDIR(doc.st.st_mode) ? systemReason(EISDIR) : "это не обычный файл");
        return false;
    }
    ::posix_fadvise(doc.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    doc.block.reset(new unsigned char[kReadBlock]);
    // Whole, as far as the file goes, so that detection sees it.
    while (doc.have < kReadBlock) {
        const ssize_t got = readSome(doc.fd, doc.block.get() + doc.have, kReadBlock - doc.have);
        if (got < 0) {
            doc.readFailed = true;
            doc.readErrno = errno;
        }
        if (got <= 0) break;
        doc.have += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace folvek
