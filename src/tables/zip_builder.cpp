// Writing zip entries and the central directory.
#include "zip_builder.h"

#include <zlib.h>

#include <limits>

namespace folvek {

namespace {

void put16(std::string& s, std::uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, std::uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

bool deflateRaw(std::string_view data, std::string& out) {
    z_stream z{};
    // Level 1: the files are repetitive XML; the higher levels cost time for little.
    if (deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    out.resize(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return rc == Z_STREAM_END;
}

}  // namespace

bool ZipBuilder::add(std::string_view name, std::string_view data, bool compress) {
    constexpr std::size_t kLimit = std::numeric_limits<std::uint32_t>::max() / 2;
    if (data.size() > kLimit || out_.size() > kLimit || count_ == 0xFFFF) return false;
    const auto crc = static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0),
                                                      reinterpret_cast<const Bytef*>(data.data()),
                                                      static_cast<uInt>(data.size())));
    std::string packed;
    if (compress && !deflateRaw(data, packed)) return false;
    const std::string_view body = compress ? std::string_view(packed) : data;
    const std::uint16_t method = compress ? 8 : 0;
    const auto offset = static_cast<std::uint32_t>(out_.size());
    // Local header: version 2.0, flag bit 11 (UTF-8 names), a fixed 1980-01-01 time.
    put32(out_, 0x04034b50);
    put16(out_, 20);
    put16(out_, 0x0800);
    put16(out_, method);
    put16(out_, 0);
    put16(out_, 0x21);
    put32(out_, crc);
    put32(out_, static_cast<std::uint32_t>(body.size()));
    put32(out_, static_cast<std::uint32_t>(data.size()));
    put16(out_, static_cast<std::uint32_t>(name.size()));
    put16(out_, 0);
    out_ += name;
    out_ += body;

    put32(directory_, 0x02014b50);
    put16(directory_, 20);
    put16(directory_, 20);
    put16(directory_, 0x0800);
    put16(directory_, method);
    put16(directory_, 0);
    put16(directory_, 0x21);
    put32(directory_, crc);
    put32(directory_, static_cast<std::uint32_t>(body.size()));
    put32(directory_, static_cast<std::uint32_t>(data.size()));
    put16(directory_, static_cast<std::uint32_t>(name.size()));
    put16(directory_, 0);  // extra
    put16(directory_, 0);  // comment
    put16(directory_, 0);  // disk
    put16(directory_, 0);  // internal attributes
    put32(directory_, 0);  // external attributes
    put32(directory_, offset);
    directory_ += name;
    ++count_;
    return true;
}

std::string ZipBuilder::finish() {
    const auto start = static_cast<std::uint32_t>(out_.size());
    out_ += directory_;
    put32(out_, 0x06054b50);
    put16(out_, 0);
    put16(out_, 0);
    put16(out_, count_);
    put16(out_, count_);
    put32(out_, static_cast<std::uint32_t>(directory_.size()));
    put32(out_, start);
    put16(out_, 0);
    std::string done = std::move(out_);
    out_.clear();
    directory_.clear();
    count_ = 0;
    return done;
}

}  // namespace folvek
