// Compressing PDF streams (FlateDecode). libdeflate compresses a whole buffer at once, which
// is how page streams come, and at level 1 is faster than zlib's level 1 for the same size
// (bench/deflate_bench.cpp measures both).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace folvek {

constexpr int kPdfDeflateLevel = 1;

// zlib-wrapped deflate of `in`, appended to `out`. One compressor per thread is kept.
void deflateInto(std::string_view in, std::string& out, int level = kPdfDeflateLevel);

// The same fed piece by piece (zlib), for data too big to hold twice, such as a large picture.
class StreamDeflater {
  public:
    StreamDeflater();
    ~StreamDeflater();
    StreamDeflater(const StreamDeflater&) = delete;
    StreamDeflater& operator=(const StreamDeflater&) = delete;
    void add(const void* data, std::size_t n);
    std::string finish();  // the compressed stream

  private:
    void run(int flush);
    void* stream_;
    std::string out_;
};

}  // namespace folvek
