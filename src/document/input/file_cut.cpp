// The cut of one load, block by block. A big file's second half is cut on another core
// meanwhile: it starts with what this cutter carries at the end of the first block's last line
// (a report sets its printer up at the top and seldom changes it after), and its lines are
// taken only where one cutter would have made the same.
#include "file_cut.h"

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "document_record.h"
#include "encoding_choice.h"
#include "lookalike_frames.h"
#include "pcl_frame.h"
#include "retrying_io.h"
#include "style_scan.h"
#include "tail_cutter.h"
#include "utf16_decoder.h"

namespace folvek {

FileCut::FileCut(DocumentRecord& record, OpenDocument& doc, std::size_t firstNewLine)
    : record_(record), doc_(doc), firstNewLine_(firstNewLine) {
    LineStore& lines = record_.lines;
    // Lines already in the store take part in the style scan, so only an empty store may scan
    // while reading.
    fused_ = firstNewLine == 0;
    room_ = record_.lineLimit > lines.size() ? record_.lineLimit - lines.size() : 0;
    limit_ = lines.size() + room_;
    if (record_.utf16 != Utf16Form::None)
        decoder_ = std::make_unique<Utf16Decoder>(record_.utf16 == Utf16Form::BigEndian);
}

FileCut::~FileCut() = default;

bool FileCut::feed(const unsigned char* p, const unsigned char* end) {
    if (!decoder_) return cutter_->feed(p, end);
    // UTF-16 reaches the cutter as the UTF-8 it decodes to.
    decoded_.clear();
    decoder_->decode(p, static_cast<std::size_t>(end - p), decoded_);
    const auto* d = reinterpret_cast<const unsigned char*>(decoded_.data());
    return cutter_->feed(d, d + decoded_.size());
}

void FileCut::run() {
    cutter_ = std::make_unique<LineCutter>(record_.lines, record_.textEncoding, fused_,
                                           baseStyleFlags(record_.logFont));
    cutter_->setLineLimit(limit_);
    if (pclFramed()) cutter_->assumePclJob();
    const std::size_t skip = std::min(markLengthOf(), doc_.have);
    const unsigned char* first = doc_.block.get() + skip;
    const unsigned char* firstEnd = doc_.block.get() + doc_.have;
    bool more = true;
    startSecondHalf(first, firstEnd, more);
    off_t at = off_t(doc_.have);
    more = more && feed(first, firstEnd) && !doc_.readFailed;
    for (;;) {
        more = readUntilSecondHalf(at, more);
        if (!tail_) break;
        if (takeSecondHalf(at, more)) break;
        tail_.reset();  // this cutter goes on from where it stands
        // The thread's lines went back to its own heap arena, which this thread's new lines
        // would not reuse.
        ::malloc_trim(0);
    }
    if (decoder_ && more) {
        decoded_.clear();
        decoder_->finish(decoded_);
        const auto* d = reinterpret_cast<const unsigned char*>(decoded_.data());
        cutter_->feed(d, d + decoded_.size());
    }
    cutter_->finish();
}

bool FileCut::pclFramed() const {
    const unsigned char* head = doc_.block.get();
    if (doc_.have < 2 || doc_.readFailed) return false;
    if (off_t(doc_.have) >= doc_.st.st_size)
        return framedByPclReset(head, doc_.have, head, doc_.have);
    unsigned char tail[512];
    const off_t from = std::max<off_t>(off_t(doc_.have), doc_.st.st_size - off_t(sizeof tail));
    const ssize_t got = preadSome(doc_.fd, tail, std::size_t(doc_.st.st_size - from), from);
    return got > 0 && framedByPclReset(head, doc_.have, tail, std::size_t(got));
}

std::size_t FileCut::markLengthOf() const {
    return markLength(record_, doc_.block.get(), doc_.have);
}

void FileCut::startSecondHalf(const unsigned char*& first, const unsigned char* end, bool& more) {
    // Below a few megabytes the thread would cost more than it saves.
    if (doc_.st.st_size < record_.splitLoadFrom || std::thread::hardware_concurrency() < 2 ||
        doc_.readFailed || decoder_)
        return;
    const unsigned char* lastLine = end;
    while (lastLine > first && lastLine[-1] != '\n') --lastLine;
    off_t half = halfwayLineStart(doc_.fd, doc_.st.st_size);
    // Look-alike frames are walked on both cores too where no frame spans the seam.
    bool walkFrames = false;
    if (record_.textEncoding == TextEncoding::Cp1251 && half > 0) {
        const off_t quiet = quietLineStart(doc_.fd, half, doc_.st.st_size);
        if (quiet > 0) half = quiet, walkFrames = true;
    }
    if (lastLine <= first || half <= off_t(doc_.have)) return;
    more = feed(first, lastLine);
    first = lastLine;
    if (!more || !cutter_->atLineStart()) return;
    carry_ = cutter_->carry();
    try {
        tail_ = std::make_unique<TailCutter>(doc_.fd, half, doc_.st.st_size, record_.textEncoding,
                                             fused_, baseStyleFlags(record_.logFont), room_, carry_,
                                             walkFrames);
    } catch (const std::exception&) {
        // No thread: one core does it all.
    }
}

bool FileCut::readUntilSecondHalf(off_t& at, bool more) {
    unsigned char* buf = doc_.block.get();
    while (more && !(tail_ && at == tail_->start())) {
        std::size_t want = kReadBlock;
        if (tail_) want = std::min(want, static_cast<std::size_t>(tail_->start() - at));
        const ssize_t got = readSome(doc_.fd, buf, want);
        // End of file, or a read error: what was read stays, but a document cut short by a
        // failing disk or a vanished network share is not passed off as the whole file.
        if (got < 0) {
            doc_.readFailed = true;
            doc_.readErrno = errno;
        }
        if (got <= 0) break;
        at += got;
        more = feed(buf, buf + got);
    }
    return more;
}

bool FileCut::takeSecondHalf(off_t at, bool more) {
    LineStore& lines = record_.lines;
    // A file that reaches the line limit is cut by one cutter, which says where it stopped.
    if (!more || at != tail_->start() || !cutter_->atLineStart() || !(cutter_->carry() == carry_))
        return false;
    // This half's frames, while the thread finishes the other's.
    const bool walked = tail_->walksFrames();
    const bool apart = walked && fileLookalikeFrames(lines, firstNewLine_);
    if (tail_->finish() && !tail_->cutter().cutShort() &&
        lines.size() + tail_->lines().size() < limit_) {
        lines.appendStore(tail_->lines());
        tailMaxLength_ = tail_->cutter().maxLength();
        tailUnmappable_ = tail_->cutter().unmappable();
        tailLayout_ = tail_->cutter().printerLayoutAfter(*cutter_);
        tailTaken_ = true;
        // A frame after all near the seam: one walk over everything, in fileFrames.
        framesFiled_ = apart;
        if (walked && !apart) lines.dropBoxCodesFrom(firstNewLine_);
        return true;
    }
    if (walked) lines.dropBoxCodesFrom(firstNewLine_);
    return false;
}

void FileCut::fileFrames() {
    if (!cutter_ || record_.textEncoding != TextEncoding::Cp1251 || framesFiled_) return;
    try {
        fileLookalikeFrames(record_.lines, firstNewLine_);
    } catch (const std::bad_alloc&) {
        // The frames keep the line rules.
    }
}

std::int32_t FileCut::maxLength() const {
    return cutter_ ? std::max(cutter_->maxLength(), tailMaxLength_) : 0;
}

std::int64_t FileCut::unmappable() const {
    return cutter_ ? cutter_->unmappable() + tailUnmappable_ : 0;
}

PrinterLayout FileCut::printerLayout() const {
    if (!cutter_) return {};
    return tailTaken_ ? tailLayout_ : cutter_->printerLayout();
}

}  // namespace folvek
