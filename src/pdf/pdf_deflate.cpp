// libdeflate with one compressor per thread and level.
#include "pdf_deflate.h"

#include <libdeflate.h>
#include <zlib.h>

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

StreamDeflater::StreamDeflater() : stream_(new z_stream{}) {
    deflateInit(static_cast<z_stream*>(stream_), kPdfDeflateLevel);
}

StreamDeflater::~StreamDeflater() {
    auto* z = static_cast<z_stream*>(stream_);
    deflateEnd(z);
    delete z;
}

void StreamDeflater::run(int flush) {
    auto* z = static_cast<z_stream*>(stream_);
    do {
        if (out_.size() - z->total_out < 65536) out_.resize(z->total_out + 262144);
        z->next_out = reinterpret_cast<Bytef*>(out_.data() + z->total_out);
        z->avail_out = uInt(out_.size() - z->total_out);
        const int r = deflate(z, flush);
        if (r == Z_STREAM_END || r == Z_STREAM_ERROR) break;
    } while (z->avail_in > 0);
}

void StreamDeflater::add(const void* data, std::size_t n) {
    auto* z = static_cast<z_stream*>(stream_);
    z->next_in = static_cast<Bytef*>(const_cast<void*>(data));
    z->avail_in = uInt(n);
    run(Z_NO_FLUSH);
}

std::string StreamDeflater::finish() {
    auto* z = static_cast<z_stream*>(stream_);
    z->next_in = nullptr;
    z->avail_in = 0;
    for (;;) {
        if (out_.size() - z->total_out < 65536) out_.resize(z->total_out + 262144);
        z->next_out = reinterpret_cast<Bytef*>(out_.data() + z->total_out);
        z->avail_out = uInt(out_.size() - z->total_out);
        const int r = deflate(z, Z_FINISH);
        if (r == Z_STREAM_END || r == Z_STREAM_ERROR) break;
    }
    out_.resize(z->total_out);
    return std::move(out_);
}

}  // namespace folvek
