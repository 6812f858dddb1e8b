// The head of a big file at once, the rest when its thread is done.
#include "progressive_load.h"

#include <new>

#include "document_record.h"
#include "encoding_choice.h"
#include "file_cut.h"
#include "style_scan.h"
#include "system_reason.h"

namespace folvek {

ProgressiveLoad::ProgressiveLoad(DocumentRecord& record, const std::string& path)
    : record_(record), path_(path) {}

ProgressiveLoad::~ProgressiveLoad() = default;

std::unique_ptr<ProgressiveLoad> ProgressiveLoad::start(DocumentRecord& record,
                                                        const std::string& path,
                                                        std::function<void()> done, int& result) {
    std::unique_ptr<ProgressiveLoad> load;
    try {
        load.reset(new ProgressiveLoad(record, path));
        if (!openDocument(record.context, path, load->doc_)) {
            result = 0;  // said why
            return nullptr;
        }
        if (load->startHead(std::move(done))) {
            result = 1;
            return load;
        }
    } catch (const std::bad_alloc&) {
        // The whole load below finds out what there is memory for.
    }
    // Not worth it, or not sound: the whole file, read again from its start.
    load.reset();
    record.freeText();
    result = record.loadText(path);
    return nullptr;
}

bool ProgressiveLoad::startHead(std::function<void()> done) {
    DocumentRecord& r = record_;
    if (doc_.st.st_size < r.progressiveFrom || !r.lines.empty()) return false;
    // What loadText sets up before its cut.
    r.maxLineLength = 0;
    r.unmappableChars = 0;
    r.printerLayout = PrinterLayout{};
    r.shownInPart = false;
    r.splitLoad = false;
    r.lines.reserveLinesFor(kReadBlock, r.lineLimit);
    settleEncoding(r, doc_.block.get(), doc_.have);
    flags_ = baseStyleFlags(r.logFont);
    cut_ = std::make_unique<FileCut>(r, doc_, 0);
    if (!cut_->runHead(std::move(done))) return false;
    // The head's figures, for its pages; complete() sets the whole file's.
    r.maxLineLength = cut_->maxLength();
    r.unmappableChars = cut_->unmappable();
    r.printerLayout = cut_->printerLayout();
    return true;
}

bool ProgressiveLoad::ready() const {
    return cut_->restReady();
}

void ProgressiveLoad::complete() {
    DocumentRecord& r = record_;
    try {
        cut_->restDone();
    } catch (const std::bad_alloc&) {
        // Out of memory: keep the lines read so far.
    }
    cut_->fileFrames();
    r.maxLineLength = cut_->maxLength();
    r.unmappableChars = cut_->unmappable();
    r.printerLayout = cut_->printerLayout();
    r.splitLoad = cut_->splitTaken();
    // No shrinkToFit: the room the rest's store reserved and never used was never touched, so
    // it costs no memory, and a copy of the line arrays would raise the peak by their size.
    if (doc_.readFailed) reportUnopenable(r.context, path_, systemReason(doc_.readErrno));
    if (cut_->cutShort()) {
        r.shownInPart = true;
        reportShownInPart(r.context, r.lines.size());
    }
    r.readJob(path_);
}

bool ProgressiveLoad::stylesStale() const {
    return baseStyleFlags(record_.logFont) != flags_;
}

}  // namespace folvek
