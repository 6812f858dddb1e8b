// Opening a document for reading: only regular files are documents, a FIFO never hangs the
// open, and the first block is read whole so that the encoding can be told from it.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <memory>
#include <string>

namespace folvek {

struct RecordContext;

constexpr std::size_t kReadBlock = 256 * 1024;

// An open document and what has been read of it so far.
struct OpenDocument {
    int fd = -1;
    struct stat st {};
    std::unique_ptr<unsigned char[]> block;  // kReadBlock bytes
    std::size_t have = 0;                    // bytes of the first block read
    bool readFailed = false;
    int readErrno = 0;

    OpenDocument() = default;
    OpenDocument(const OpenDocument&) = delete;
    OpenDocument& operator=(const OpenDocument&) = delete;
    ~OpenDocument();
};

// Opens `path` and reads its first block; false, with the message shown, when it is no regular
// file or cannot be opened. A read error after the open is kept in readFailed for later.
bool openDocument(RecordContext& context, const std::string& path, OpenDocument& doc);

// The fixed text, then the file and the system's reason, so the user can tell a typing error
// from a permission problem.
void reportUnopenable(RecordContext& context, const std::string& path, const std::string& reason);
// The file holds more lines than a document keeps: only the first `lines` are shown.
void reportShownInPart(RecordContext& context, std::size_t lines);

}  // namespace folvek
