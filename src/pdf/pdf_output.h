// The PDF file being written: a buffered sink into a temporary file beside the target, renamed
// over the target only when the whole document is written. Any failure (a full disk, a
// read-only directory) leaves the old target as it was and removes the temporary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

    // Flushes, syncs and renames over the target; false (error set, temp removed) on failure.
    bool commit();
    void discard();

  private:
    void flush();
    void fail(const std::string& what, int err);

    int fd_ = -1;
    std::string target_, temp_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::uint64_t offset_ = 0;
    std::string error_;
    int cleanupSlot_ = -1;  // the temporary file's, for a process killed while writing it
};

}  // namespace folvek
