// Numbered PDF objects written one after another into the output, with the cross-reference
// table that lists where each one starts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pdf_output.h"

namespace folvek {

class PdfObjects {
  public:
    explicit PdfObjects(PdfOutput& out) : out_(out) {}

    int allocate();
    // "n 0 obj" ... "endobj" around `body`.
    void write(int number, std::string_view body);
    // A stream object: `dict` holds the entries besides /Length (and /Filter when compressed).
    void writeStream(int number, std::string_view dict, std::string_view data, bool deflated);
    // Deflates `data` and writes it as a stream.
    void writeDeflated(int number, std::string_view dict, std::string_view data);
    // The cross-reference table and trailer; every allocated object must have been written.
    bool finish(int root, int info);

    PdfOutput& output() { return out_; }

  private:
    void begin(int number);
    PdfOutput& out_;
    std::vector<std::uint64_t> offsets_{0};  // index 0 is the free list head
    std::string scratch_;
};

}  // namespace folvek
