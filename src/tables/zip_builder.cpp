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

constexpr std::size_t kLimit = std::numeric_limits<std::uint32_t>::max() / 2;

}  // namespace

void ZipBuilder::header(std::string& to, bool central, std::string_view name, std::uint16_t method,
                        std::uint32_t crc, std::uint32_t packed, std::uint32_t size,
                        std::uint32_t offset) {
    // Version 2.0, flag bit 11 (UTF-8 names), a fixed 1980-01-01 time.
    put32(to, central ? 0x02014b50 : 0x04034b50);
    if (central) put16(to, 20);
    put16(to, 20);
    put16(to, 0x0800);
    put16(to, method);
    put16(to, 0);
    put16(to, 0x21);
    put32(to, crc);
    put32(to, packed);
    put32(to, size);
    put16(to, static_cast<std::uint32_t>(name.size()));
    put16(to, 0);  // extra
    if (central) {
        put16(to, 0);  // comment
        put16(to, 0);  // disk
        put16(to, 0);  // internal attributes
        put32(to, 0);  // external attributes
        put32(to, offset);
    }
    to += name;
}

bool ZipBuilder::add(std::string_view name, std::string_view data, bool compress) {
    if (!compress) {
        if (data.size() > kLimit || out_.size() > kLimit || count_ == 0xFFFF) return false;
        const auto crc = static_cast<std::uint32_t>(
            crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uInt>(data.size())));
        const auto offset = static_cast<std::uint32_t>(out_.size());
        const auto n = static_cast<std::uint32_t>(data.size());
        header(out_, false, name, 0, crc, n, n, 0);
        out_ += data;
        header(directory_, true, name, 0, crc, n, n, offset);
        ++count_;
        return true;
    }
    return begin(name) && write(data) && end();
}

struct ZipBuilder::Stream {
    z_stream z{};
    std::string name;
    std::uint32_t crc = 0;
    std::size_t offset = 0, size = 0;
    bool ok = true;
    ~Stream() { deflateEnd(&z); }
};

bool ZipBuilder::begin(std::string_view name) {
    if (out_.size() > kLimit || count_ == 0xFFFF) return false;
    stream_ = std::make_shared<Stream>();
    // Level 1: the files are repetitive XML; the higher levels cost time for little.
    if (deflateInit2(&stream_->z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        stream_.reset();
        return false;
    }
    stream_->name = std::string(name);
    stream_->crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
    stream_->offset = out_.size();
    header(out_, false, name, 8, 0, 0, 0, 0);  // sizes and CRC filled in by end()
    return true;
}

namespace {

bool pump(z_stream& z, std::string& out, int flush) {
    int rc = Z_OK;
    do {
        const std::size_t at = out.size();
        const std::size_t room = 64 * 1024 + z.avail_in / 4;
        out.resize(at + room);
        z.next_out = reinterpret_cast<Bytef*>(out.data() + at);
        z.avail_out = static_cast<uInt>(room);
        rc = deflate(&z, flush);
        out.resize(at + room - z.avail_out);
        if (rc == Z_STREAM_ERROR) return false;
    } while (z.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
    return true;
}

}  // namespace

bool ZipBuilder::write(std::string_view data) {
    if (!stream_ || !stream_->ok) return false;
    Stream& s = *stream_;
    s.size += data.size();
    if (s.size > kLimit || out_.size() > kLimit) return s.ok = false;
    s.crc = static_cast<std::uint32_t>(
        crc32(s.crc, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    s.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.z.avail_in = static_cast<uInt>(data.size());
    return s.ok = pump(s.z, out_, Z_NO_FLUSH);
}

bool ZipBuilder::end() {
    if (!stream_) return false;
    Stream& s = *stream_;
    s.z.avail_in = 0;
    const bool ok = s.ok && pump(s.z, out_, Z_FINISH) && out_.size() <= kLimit;
    if (ok) {
        const std::size_t dataStart = s.offset + 30 + s.name.size();
        const auto packed = static_cast<std::uint32_t>(out_.size() - dataStart);
        const auto size = static_cast<std::uint32_t>(s.size);
        std::string local;
        header(local, false, s.name, 8, s.crc, packed, size, 0);
        out_.replace(s.offset, local.size(), local);
        header(directory_, true, s.name, 8, s.crc, packed, size,
               static_cast<std::uint32_t>(s.offset));
        ++count_;
    }
    stream_.reset();
    return ok;
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
