// The PDF file being written: a buffered sink. A regular file (or a new one) is written into a
// temporary file beside it and put in its place only when the whole document is written, so a
// failure (a full disk, a read-only directory, a kill) leaves the old file as it was and no
// temporary file behind. A device, a pipe or standard output ("-") is written to directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output_target.h"
#include "temp_names.h"

namespace folvek {

class PdfOutput {
  public:
    PdfOutput() = default;
    PdfOutput(const PdfOutput&) = delete;
    PdfOutput& operator=(const PdfOutput&) = delete;
    ~PdfOutput();

    bool open(const std::string& target);
    void write(const void* data, std::size_t n);
    void write(std::string_view s) { write(s.data(), s.size()); }
    std::uint64_t offset() const { return offset_; }
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

    // Flushes, syncs and puts the file in place; false (error set, temp removed) on failure.
    bool commit();
    void discard();

  private:
    void flush();
    void writeOut(const char* p, std::size_t n);
    void fail(const std::string& what, int err);
    bool replaceTarget();

    int fd_ = -1;
    std::string name_;  // as the user gave it, for messages
    OutputTarget target_;
    OwnedTemp temp_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::uint64_t offset_ = 0;
    std::string error_;
};

}  // namespace folvek
