// Reading a text file into the line store. DOS text-mode rules apply (CR dropped, Ctrl-Z ends
// the file); the stream is cut into pieces of at most 1023 bytes or through the next LF, a NUL
// ends what is kept of a piece, and every form feed becomes a page-break line of its own.
// When the store starts empty, conversion and the style scan happen in the same pass.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "box_cells.h"
#include "codepage.h"
#include "messages.h"
#include "pager.h"
#include "string_table.h"
#include "style_scan.h"

namespace folvek {

namespace {

constexpr std::size_t kPiece = 1023;  // longest piece, LF included
constexpr std::size_t kReadBlock = 256 * 1024;

// Bytes that interrupt the copy loop.
struct SpecialBytes {
    bool is[256] = {};
    SpecialBytes() {
        for (unsigned char c : {'\0', '\n', '\f', '\r', '\x1a'}) is[c] = true;
    }
};
const SpecialBytes kSpecial;

// After a NUL the rest of the chunk is only counted: NUL and form feed are then ordinary bytes,
// so a file of zeros (a sparse or damaged file) is skipped a chunk at a time.
struct CutStopBytes {
    bool is[256] = {};
    CutStopBytes() {
        for (unsigned char c : {'\n', '\r', '\x1a'}) is[c] = true;
    }
};
const CutStopBytes kCutStop;

// Cuts the byte stream into lines and hands them to the store.
class LineCutter {
  public:
    // With `dos` the bytes are stored as read and each line is converted from 866 when it is
    // committed, so that its box characters can be filed beside it.
    LineCutter(list& lines, bool dos, bool scan, std::uint16_t flags, std::size_t lineLimit)
        : lines_(lines), dos_(dos), scan_(scan), flags_(flags), limit_(lineLimit) {}

    // Returns false once Ctrl-Z was met (the rest of the file does not exist) or the store
    // holds its limit of lines.
    bool feed(const unsigned char* p, const unsigned char* end);
    // End of file: a partial piece still makes a line.
    void finish() {
        if (chunkLen_ > 0 && !full_) endChunk();
    }
    std::int32_t maxLength() const { return maxLength_; }
    bool cutShort() const { return cutShort_; }

  private:
    void startPiece() {
        out_ = lines_.beginAppend(kPiece);
        pieceLen_ = 0;
    }
    void commit(std::size_t len) {
        lines_.endAppend(len);
        if (dos_) convertDosLine(lines_, lines_.size() - 1, boxes_);
        if (lines_.size() >= limit_) full_ = true;
        if (scan_) {
            lines_.setStyleAt(lines_.size() - 1, flags_);
            if (len) applyLineTags(lines_.textAt(lines_.size() - 1), len, flags_);
        }
    }
    void formFeed() {
        commit(pieceLen_);
        if (!full_) {
            out_ = lines_.beginAppend(1);
            out_[0] = '\f';
            commit(1);
        }
        if (full_) {
            out_ = nullptr;
            chunkLen_ = 0;
            return;
        }
        startPiece();
    }
    void endChunk() {
        const std::size_t counted = cut_ ? cutAt_ : chunkLen_;
        if (counted > static_cast<std::size_t>(maxLength_))
            maxLength_ = static_cast<std::int32_t>(counted);
        commit(pieceLen_);
        chunkLen_ = 0;
        cut_ = false;
        out_ = nullptr;
    }

    list& lines_;
    bool dos_;
    BoxLineCodes boxes_;
    bool scan_;
    std::uint16_t flags_;
    char* out_ = nullptr;       // room of the piece being built (kPiece + 1 bytes)
    std::size_t pieceLen_ = 0;  // bytes kept in the current piece
    std::size_t chunkLen_ = 0;  // bytes of the chunk read so far, CR not counted
    bool cut_ = false;          // a NUL was met: the rest of the chunk is dropped
    std::size_t cutAt_ = 0;
    std::int32_t maxLength_ = 0;
    std::size_t limit_;
    bool full_ = false;
    bool cutShort_ = false;
};

bool LineCutter::feed(const unsigned char* p, const unsigned char* end) {
    while (p < end) {
        if (full_) {
            cutShort_ = true;  // bytes beyond the last line the store may hold
            return false;
        }
        if (!out_) startPiece();
        std::size_t n = static_cast<std::size_t>(end - p);
        if (n > kPiece - chunkLen_) n = kPiece - chunkLen_;
        std::size_t i = 0;
        if (!cut_) {
            char* out = out_ + pieceLen_;
            // Eight bytes at a time while none of them is below 0x20 (every special byte is).
            while (i + 8 <= n) {
                std::uint64_t w;
                std::memcpy(&w, p + i, 8);
                if (((w - 0x2020202020202020ull) & ~w & 0x8080808080808080ull) != 0) break;
                std::memcpy(out + i, &w, 8);
                i += 8;
            }
            for (; i < n; ++i) {
                const unsigned char c = p[i];
                if (kSpecial.is[c]) break;
                out[i] = static_cast<char>(c);
            }
            pieceLen_ += i;
        } else {
            while (i < n && !kCutStop.is[p[i]]) ++i;
        }
        p += i;
        chunkLen_ += i;
        if (chunkLen_ == kPiece) {
            endChunk();
            continue;
        }
        if (p == end) break;
        const unsigned char c = *p++;
        if (c == '\r') continue;  // text mode: never stored, never counted
        if (c == 0x1a) return false;
        ++chunkLen_;
        if (c == '\n') {  // counted, not kept
            endChunk();
            continue;
        }
        if (!cut_) {
            if (c == '\0') {
                cut_ = true;
                cutAt_ = chunkLen_ - 1;
            } else {  // form feed
                formFeed();
            }
        }
        if (chunkLen_ == kPiece) endChunk();
    }
    return true;
}

// The fixed text, then the file and the system's reason, so the user can tell a typing error
// from a permission problem.
void reportUnopenable(PagerContext& context, const std::string& path, const std::string& reason) {
    if (context.messages)
        context.messages->show(loadString(StrCannotOpenFile) + "\n" + path + ": " + reason, "!!!",
                               MsgIcon::Error);
}

}  // namespace

int pager::loadText(const std::string& path) {
    // O_NONBLOCK keeps a FIFO from hanging the open; only regular files are documents.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        reportUnopenable(context, path, std::strerror(errno));
        return 0;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        reportUnopenable(context, path, std::strerror(err));
        return 0;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        reportUnopenable(context, path,
                         S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "это не обычный файл");
        return 0;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

    maxLineLength = 0;
    // Lines already in the store take part in the conversion and the scan, so only an empty
    // store may do both while reading.
    const bool fused = lines.empty();
    try {
        lines.reserveLines(lines.size() +
                           std::min(static_cast<std::size_t>(st.st_size) / 48 + 16, lineLimit));
    } catch (const std::bad_alloc&) {
        // Only a hint.
    }

    shownInPart = false;
    const std::size_t room = lineLimit > lines.size() ? lineLimit - lines.size() : 0;
    LineCutter cutter(lines, fused && IsDos, fused, baseStyleFlags(logFont), lines.size() + room);
    bool readFailed = false;
    int readErrno = 0;
    try {
        std::unique_ptr<unsigned char[]> buf(new unsigned char[kReadBlock]);
        for (;;) {
            const ssize_t got = ::read(fd, buf.get(), kReadBlock);
            if (got < 0 && errno == EINTR) continue;
            // End of file, or a read error: what was read stays, but a document cut short by a
            // failing disk or a vanished network share is not passed off as the whole file.
            if (got < 0) {
                readFailed = true;
                readErrno = errno;
            }
            if (got <= 0) break;
            if (!cutter.feed(buf.get(), buf.get() + got)) break;
        }
        cutter.finish();
    } catch (const std::bad_alloc&) {
        // Out of memory: keep the lines read so far.
    }
    ::close(fd);
    maxLineLength = cutter.maxLength();
    lines.shrinkToFit();

    if (!fused) {
        if (IsDos) convertCodePage(1);
        scanStyles();
    }
    if (readFailed) reportUnopenable(context, path, std::strerror(readErrno));
    if (cutter.cutShort()) {
        shownInPart = true;
        if (context.messages)
            context.messages->show(loadString(StrFileTooLarge) + "\n" + "Показаны только первые " +
                                       std::to_string(lines.size()) + " строк файла.",
                                   "!!!", MsgIcon::Information);
    }
    return 1;
}

int pager::freeText() {
    lines.clear();
    return 1;
}

void pager::convertCodePage(int direction) {
    const std::size_t n = lines.size();
    lines.clearBoxCodes();
    BoxLineCodes boxes;
    for (std::size_t i = 0; i < n; ++i) {
        if (direction) {
            convertDosLine(lines, i, boxes);
        } else {
            char* text = lines.mutableTextAt(i);
            ansiToOem(text, std::strlen(text));
        }
    }
    lines.last();
}

}  // namespace folvek
