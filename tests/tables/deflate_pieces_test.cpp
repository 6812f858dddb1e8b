// An entry deflated in pieces makes one deflate stream that inflates back to the entry, also
// when its bytes do not compress (the output of a piece is then larger than its room at the
// first try), and each piece's CRC is that of its bytes.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>

#include "deflate_pool.h"

namespace folvek {
namespace {

std::string noise(std::size_t n, std::uint32_t seed) {
    std::string s(n, '\0');
    for (char& c : s) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return s;
}

std::string inflateRaw(const std::string& packed, std::size_t size) {
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
    std::string out(size + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

TEST(DeflatePieces, PiecesOfBytesThatDoNotCompressMakeOneStream) {
    const std::string parts[] = {noise(300000, 1), std::string(200000, 'x') + noise(90000, 2),
                                 noise(250000, 3)};
    std::string whole, packed;
    for (int i = 0; i < 3; ++i) {
        DeflatePiece p;
        p.data = parts[i];
        p.size = parts[i].size();
        p.first = i == 0;
        p.last = i == 2;
        deflatePiece(p);
        ASSERT_TRUE(p.ok) << i;
        EXPECT_EQ(p.crc, crc32(0, reinterpret_cast<const Bytef*>(parts[i].data()),
                               static_cast<uInt>(parts[i].size())))
            << i;
        whole += parts[i];
        packed += p.packed;
    }
    EXPECT_EQ(inflateRaw(packed, whole.size()), whole);
}

}  // namespace
}  // namespace folvek
