// Cutting an open document into the record's lines: the first block, the rest of the file, and
// for a big file the second half on a thread of its own, kept where it joins the first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "document_open.h"
#include "line_cutter.h"
#include "printer_codes.h"

namespace folvek {

class DocumentRecord;
class TailCutter;
class Utf16Decoder;

class FileCut {
  public:
    // The record's encoding is settled; lines from firstNewLine on are this load's.
    FileCut(DocumentRecord& record, OpenDocument& doc, std::size_t firstNewLine);
    ~FileCut();

    // Reads and cuts the whole file. Out of memory throws std::bad_alloc; the lines cut so far
    // stay.
    void run();
    // Files the look-alike frames of this load's lines where no thread did.
    void fileFrames();

    // A big file shown before it is all read (file_cut_head.cpp). runHead cuts only its head,
    // a few hundred kilobytes up to a line start, files the head's frames, and leaves the rest
    // to a thread that starts there with what this cutter carries (`done` is called on that
    // thread as it ends). False when the file is no such case (small, UTF-16, a PCL job, a
    // printer job by its head, a head that ends inside a command or at a Ctrl-Z): the lines cut
    // are then no document, and the file must be loaded whole.
    bool runHead(std::function<void()> done);
    // The thread's work has ended (restDone() will not wait).
    bool restReady() const;
    // Waits for the thread and appends its lines, as run() would have made them; where the
    // thread's lines are not those (a read error, the line limit, no memory) this cutter cuts
    // the rest itself.
    void restDone();

    const LineCutter* cutter() const { return cutter_.get(); }
    std::int32_t maxLength() const;
    std::int64_t unmappable() const;
    PrinterLayout printerLayout() const;
    bool cutShort() const { return cutter_ && cutter_->cutShort(); }
    bool splitTaken() const { return tailTaken_; }

  private:
    bool feed(const unsigned char* p, const unsigned char* end);
    std::size_t markLengthOf() const;
    // The file starts and ends with PCL's reset (see pcl_frame.h).
    bool pclFramed() const;
    void startSecondHalf(const unsigned char*& first, const unsigned char* end, bool& more);
    bool readUntilSecondHalf(off_t& at, bool more);
    bool takeSecondHalf(off_t at, bool more);
    off_t headEnd(std::size_t skip) const;
    bool readHead(std::size_t skip, off_t end);
    bool takeRest();

    DocumentRecord& record_;
    OpenDocument& doc_;
    std::size_t firstNewLine_;
    bool fused_;
    std::size_t room_;   // lines this load may add
    std::size_t limit_;  // the store's size where the cut stops
    std::unique_ptr<LineCutter> cutter_;
    std::unique_ptr<Utf16Decoder> decoder_;
    std::string decoded_;
    std::unique_ptr<TailCutter> tail_;
    LineCutter::Carry carry_;
    off_t headEnd_ = -1;  // where the rest's thread started
    bool tailTaken_ = false;
    bool framesFiled_ = false;
    std::int32_t tailMaxLength_ = 0;
    std::int64_t tailUnmappable_ = 0;
    PrinterLayout tailLayout_;
};

}  // namespace folvek
