// Collecting the entries' pieces, and laying out the headers, the data and the central
// directory once every piece is deflated.
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
constexpr std::size_t kMaxEntries = 0xFFFF;
// A large entry is cut into pieces of this size, deflated each on its own.
constexpr std::size_t kPiece = 1u << 20;

struct Sizes {
    std::uint32_t crc = 0;
    std::size_t packed = 0, size = 0;
};

void header(std::string& to, bool central, std::string_view name, std::uint16_t method,
            const Sizes& s, std::size_t offset) {
    // Version 2.0, flag bit 11 (UTF-8 names), a fixed 1980-01-01 time.
    put32(to, central ? 0x02014b50 : 0x04034b50);
    if (central) put16(to, 20);
    put16(to, 20);
    put16(to, 0x0800);
    put16(to, method);
    put16(to, 0);
    put16(to, 0x21);
    put32(to, s.crc);
    put32(to, static_cast<std::uint32_t>(s.packed));
    put32(to, static_cast<std::uint32_t>(s.size));
    put16(to, static_cast<std::uint32_t>(name.size()));
    put16(to, 0);  // extra
    if (central) {
        put16(to, 0);  // comment
        put16(to, 0);  // disk
        put16(to, 0);  // internal attributes
        put32(to, 0);  // external attributes
        put32(to, static_cast<std::uint32_t>(offset));
    }
    to += name;
}

}  // namespace

bool ZipBuilder::add(std::string_view name, std::string_view data, bool compress) {
    if (!compress) {
        if (open_ || entries_.size() >= kMaxEntries) return false;
        auto piece = std::make_shared<DeflatePiece>();
        piece->packed = std::string(data);
        piece->size = data.size();
        piece->crc = static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0),
                                                      reinterpret_cast<const Bytef*>(data.data()),
                                                      static_cast<uInt>(data.size())));
        entries_.push_back({std::string(name), false, {std::move(piece)}});
        return true;
    }
    return begin(name) && write(data) && end();
}

bool ZipBuilder::begin(std::string_view name) {
    if (open_ || entries_.size() >= kMaxEntries) return false;
    entries_.push_back({std::string(name), true, {}});
    open_ = true;
    return true;
}

void ZipBuilder::submit(bool last) {
    auto piece = std::make_shared<DeflatePiece>();
    piece->data = std::move(pending_);
    piece->last = last;
    piece->first = entries_.back().pieces.empty();
    pending_.clear();
    entries_.back().pieces.push_back(piece);
    pool_.submit(std::move(piece));
}

bool ZipBuilder::write(std::string_view data) {
    if (!open_) return false;
    pending_ += data;
    if (pending_.size() >= kPiece) submit(false);
    return true;
}

bool ZipBuilder::end() {
    if (!open_) return false;
    submit(true);
    open_ = false;
    return true;
}

std::string ZipBuilder::finish() {
    pool_.wait();
    std::string out, directory;
    bool ok = !open_;
    for (const Entry& e : entries_) {
        Sizes s;
        for (const auto& p : e.pieces) {
            ok = ok && p->ok;
            s.crc = static_cast<std::uint32_t>(
                crc32_combine(s.crc, p->crc, static_cast<z_off_t>(p->size)));
            s.packed += p->packed.size();
            s.size += p->size;
        }
        const std::size_t offset = out.size();
        ok = ok && s.size <= kLimit && offset + s.packed <= kLimit;
        if (!ok) break;
        header(out, false, e.name, e.compressed ? 8 : 0, s, 0);
        for (const auto& p : e.pieces) out += p->packed;
        header(directory, true, e.name, e.compressed ? 8 : 0, s, offset);
    }
    const std::size_t start = out.size();
    const auto count = static_cast<std::uint32_t>(entries_.size());
    entries_.clear();
    open_ = false;
    if (!ok || start + directory.size() > kLimit) return {};
    out += directory;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, count);
    put16(out, count);
    put32(out, static_cast<std::uint32_t>(directory.size()));
    put32(out, static_cast<std::uint32_t>(start));
    put16(out, 0);
    return out;
}

}  // namespace folvek
