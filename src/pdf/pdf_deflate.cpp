// libdeflate with one compressor per thread and level.
#include "pdf_deflate.h"

#include <libdeflate.h>

#include <array>
#include <memory>

namespace folvek {

namespace {
struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
using Compressor = std::unique_ptr<libdeflate_compressor, CompressorFree>;

libdeflate_compressor* compressorFor(int level) {
    thread_local std::array<Compressor, 13> compressors;
    if (level < 0 || level > 12) level = kPdfDeflateLevel;
    Compressor& c = compressors[level];
    if (!c) c.reset(libdeflate_alloc_compressor(level));
    return c.get();
}
}  // namespace

void deflateInto(std::string_view in, std::string& out, int level) {
    libdeflate_compressor* c = compressorFor(level);
    const std::size_t bound = libdeflate_zlib_compress_bound(c, in.size());
    const std::size_t start = out.size();
    out.resize(start + bound);
    const std::size_t n =
        libdeflate_zlib_compress(c, in.data(), in.size(), out.data() + start, bound);
    out.resize(start + n);  // n is never 0 with a full bound
}

}  // namespace folvek
