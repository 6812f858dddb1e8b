// A file shown while it is read: a big file's head is cut and shown at once, its rest is cut on
// a thread of its own and appended when that is done, and the document is then the one a load
// of the whole file makes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "document_open.h"

namespace folvek {

class DocumentRecord;
class FileCut;

class ProgressiveLoad {
  public:
    // Loads `path` into the record, whose lines the caller has freed: only the head when the
    // file is at least the record's progressiveFrom bytes and its head a sound place to stop
    // (see FileCut::runHead), else the whole file as loadText does, and then returns null.
    // `result` is loadText's; `done` is called on the thread as its work ends.
    static std::unique_ptr<ProgressiveLoad> start(DocumentRecord& record, const std::string& path,
                                                  std::function<void()> done, int& result);
    ~ProgressiveLoad();  // stops the thread; the head's lines stay
    ProgressiveLoad(const ProgressiveLoad&) = delete;
    ProgressiveLoad& operator=(const ProgressiveLoad&) = delete;

    // The thread's work has ended: complete() will not wait.
    bool ready() const;
    // Waits for the thread, appends the rest and ends the load as loadText does: the figures,
    // the look-alike frames, the messages and a printer job's own pages.
    void complete();
    // The base font changed since the file was cut: every line's style must be scanned again.
    bool stylesStale() const;

  private:
    ProgressiveLoad(DocumentRecord& record, const std::string& path);
    bool startHead(std::function<void()> done);

    DocumentRecord& record_;
    std::string path_;
    OpenDocument doc_;
    std::unique_ptr<FileCut> cut_;  // refers to doc_: goes first
    std::uint16_t flags_ = 0;
};

}  // namespace folvek
