// A big file's head cut at once, so that its first pages can be shown, and its rest cut by the
// second-half thread from the line start where the head ends, with exactly what this cutter
// carries there: the rest's lines are then the ones one cutter makes, and the document the one
// run() makes.
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "document_record.h"
#include "file_cut.h"
#include "lookalike_frames.h"
#include "retrying_io.h"
#include "style_scan.h"
#include "tail_cutter.h"

namespace folvek {

namespace {
// A quiet place for look-alike frames is taken up to this far into the file; past it the head
// ends at the first block's last line and the frames are walked again over the whole.
constexpr off_t kHeadLimit = 4 * off_t(kReadBlock);
}  // namespace

off_t FileCut::headEnd(std::size_t skip) const {
    const unsigned char* block = doc_.block.get();
    // The first block's last line start: the first pages fill a small part of it.
    std::size_t end = doc_.have;
    while (end > skip && block[end - 1] != '\n') --end;
    if (record_.textEncoding != TextEncoding::Cp1251) return off_t(end);
    // Look-alike frames are walked on each side of the seam on its own where no frame spans
    // it. The search for a quiet place starts at a line start in the block's second half.
    const auto* from = static_cast<const unsigned char*>(
        std::memchr(block + doc_.have / 2, '\n', doc_.have - doc_.have / 2));
    if (!from) return off_t(end);
    const off_t quiet = quietLineStart(doc_.fd, off_t(from - block) + 1, doc_.st.st_size);
    return quiet > off_t(skip) && quiet <= kHeadLimit ? quiet : off_t(end);
}

bool FileCut::readHead(std::size_t skip, off_t end) {
    unsigned char* block = doc_.block.get();
    bool more = feed(block + skip, block + std::min(std::size_t(end), doc_.have));
    // Past the first block: the file stands just after it.
    for (off_t at = off_t(doc_.have); more && at < end;) {
        const ssize_t got =
            readSome(doc_.fd, block, std::size_t(std::min(off_t(kReadBlock), end - at)));
        if (got <= 0) return false;  // the whole load reads it again and says why
        at += got;
        more = feed(block, block + got);
    }
    return more;
}

bool FileCut::runHead(std::function<void()> done) {
    // Only what run() alone would cut from the file's start into an empty store.
    if (!fused_ || decoder_ || doc_.readFailed || record_.layoutMode == LayoutMode::Job ||
        off_t(doc_.have) >= doc_.st.st_size || pclFramed())
        return false;
    const std::size_t skip = std::min(markLengthOf(), doc_.have);
    const off_t end = headEnd(skip);
    if (end <= off_t(skip)) return false;
    const std::uint16_t flags = baseStyleFlags(record_.logFont);
    cutter_ = std::make_unique<LineCutter>(record_.lines, record_.textEncoding, fused_, flags);
    cutter_->setLineLimit(limit_);
    if (!readHead(skip, end) || !cutter_->atLineStart()) return false;
    // A file that may lay itself out is shown by its own pages, read from the whole of it.
    if (record_.layoutMode != LayoutMode::Report && cutter_->printerLayout().jobCommands)
        return false;
    bool apart = false;
    try {
        if (record_.textEncoding == TextEncoding::Cp1251)
            apart = fileLookalikeFrames(record_.lines, firstNewLine_);
        carry_ = cutter_->carry();
        tail_ = std::make_unique<TailCutter>(doc_.fd, end, doc_.st.st_size, record_.textEncoding,
                                             fused_, flags, room_, carry_, apart, std::move(done));
    } catch (const std::exception&) {
        return false;
    }
    headEnd_ = end;
    return true;
}

bool FileCut::restReady() const {
    return !tail_ || tail_->ended();
}

bool FileCut::takeRest() {
    LineStore& lines = record_.lines;
    if (!tail_->finish() || tail_->cutter().cutShort() ||
        lines.size() + tail_->lines().size() >= limit_)
        return false;
    try {
        // Into the rest's store, which has room for the whole file: the line arrays are not
        // made a second time, as appending the rest to the head would.
        LineStore& rest = tail_->lines();
        rest.prependStore(lines);
        lines.swap(rest);
    } catch (const std::bad_alloc&) {
        return false;  // both stores as they were
    }
    tailMaxLength_ = tail_->cutter().maxLength();
    tailUnmappable_ = tail_->cutter().unmappable();
    tailLayout_ = tail_->cutter().printerLayoutAfter(*cutter_);
    tailTaken_ = true;
    // The head ended apart from every frame and each side walked its own; else one walk over
    // everything, in fileFrames.
    framesFiled_ = tail_->walksFrames();
    if (record_.textEncoding == TextEncoding::Cp1251 && !framesFiled_)
        lines.dropBoxCodesFrom(firstNewLine_);
    return true;
}

void FileCut::restDone() {
    if (!tail_ || headEnd_ < 0) return;
    if (!takeRest()) {
        tail_.reset();
        // The thread's lines went back to its own heap arena (see run()).
        ::malloc_trim(0);
        if (record_.textEncoding == TextEncoding::Cp1251)
            record_.lines.dropBoxCodesFrom(firstNewLine_);
        framesFiled_ = false;
        off_t at = headEnd_;
        if (::lseek(doc_.fd, headEnd_, SEEK_SET) == headEnd_) {
            readUntilSecondHalf(at, true);
        } else {
            doc_.readFailed = true;
            doc_.readErrno = errno;
        }
    }
    tail_.reset();
    headEnd_ = -1;
    cutter_->finish();
}

}  // namespace folvek
