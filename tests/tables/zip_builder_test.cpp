// The zip builder read back by a reader of our own over zlib: a stored entry, small entries
// deflated whole, an entry of many pieces deflated apart and joined into one stream, an empty
// one; the CRCs and sizes the headers give; the same bytes however many times it is built.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <map>
#include <string>

#include "zip_builder.h"

namespace folvek {
namespace {

std::uint32_t get(const std::string& s, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

std::string inflateRaw(const std::string& packed) {
    z_stream z{};
    inflateInit2(&z, -15);
    std::string out(1 << 16, '\0');
    std::size_t have = 0;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = static_cast<uInt>(packed.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (have == out.size()) out.resize(out.size() * 2);
        z.next_out = reinterpret_cast<Bytef*>(out.data() + have);
        z.avail_out = static_cast<uInt>(out.size() - have);
        rc = inflate(&z, Z_NO_FLUSH);
        have = out.size() - z.avail_out;
    }
    inflateEnd(&z);
    EXPECT_EQ(rc, Z_STREAM_END) << "the stream must end with a final block";
    out.resize(have);
    return out;
}

// Every entry by the central directory, checked against its local header, CRC and sizes.
std::map<std::string, std::string> readZip(const std::string& zip) {
    std::map<std::string, std::string> files;
    const std::size_t end = zip.size() - 22;
    EXPECT_EQ(get(zip, end, 4), 0x06054b50u);
    const std::uint32_t count = get(zip, end + 10, 2);
    std::size_t at = get(zip, end + 16, 4);
    for (std::uint32_t k = 0; k < count; ++k) {
        EXPECT_EQ(get(zip, at, 4), 0x02014b50u);
        const std::uint32_t method = get(zip, at + 10, 2), crc = get(zip, at + 16, 4);
        const std::uint32_t packed = get(zip, at + 20, 4), size = get(zip, at + 24, 4);
        const std::uint32_t nameSize = get(zip, at + 28, 2), local = get(zip, at + 42, 4);
        const std::string name = zip.substr(at + 46, nameSize);
        EXPECT_EQ(get(zip, local, 4), 0x04034b50u);
        EXPECT_EQ(get(zip, local + 14, 4), crc) << name;
        const std::string data = zip.substr(local + 30 + get(zip, local + 26, 2), packed);
        const std::string plain = method == 0 ? data : inflateRaw(data);
        EXPECT_EQ(plain.size(), size) << name;
        EXPECT_EQ(
            crc32(0, reinterpret_cast<const Bytef*>(plain.data()), static_cast<uInt>(plain.size())),
            crc)
            << name;
        files[name] = plain;
        at += 46 + nameSize;
    }
    return files;
}

std::string build(const std::string& large) {
    ZipBuilder zip;
    EXPECT_TRUE(zip.add("mimetype", "application/x-test", false));
    for (int k = 0; k < 300; ++k)
        EXPECT_TRUE(zip.add("sheet" + std::to_string(k) + ".xml",
                            "<row>" + std::to_string(k * 7919) + "</row>", true));
    EXPECT_TRUE(zip.begin("large.xml"));
    for (std::size_t at = 0; at < large.size(); at += 300000)
        EXPECT_TRUE(zip.write(std::string_view(large).substr(at, 300000)));
    EXPECT_TRUE(zip.end());
    EXPECT_TRUE(zip.add("empty.xml", "", true));
    return zip.finish();
}

TEST(ZipBuilder, EntriesWholeAndInPiecesReadBack) {
    std::string large;  // about 5 MB, past several pieces, not too repetitive
    std::uint32_t x = 1;
    while (large.size() < (5u << 20)) {
        x = x * 1103515245u + 12345u;
        large += "<c r=\"A" + std::to_string(x % 100000) + "\"><v>" + std::to_string(x >> 9) +
                 "</v></c>";
    }
    const std::string zip = build(large);
    const auto files = readZip(zip);
    ASSERT_EQ(files.size(), 303u);
    EXPECT_EQ(zip.compare(30, 8, "mimetype"), 0) << "the stored entry comes first";
    EXPECT_EQ(files.at("mimetype"), "application/x-test");
    EXPECT_EQ(files.at("sheet299.xml"), "<row>" + std::to_string(299 * 7919) + "</row>");
    EXPECT_EQ(files.at("large.xml"), large);
    EXPECT_EQ(files.at("empty.xml"), "");
    EXPECT_EQ(build(large), zip) << "the bytes do not depend on how the threads ran";
}

TEST(ZipBuilder, MisuseAndTheEntryLimitFail) {
    ZipBuilder zip;
    EXPECT_FALSE(zip.write("no entry open"));
    EXPECT_FALSE(zip.end());
    EXPECT_TRUE(zip.begin("a"));
    EXPECT_FALSE(zip.begin("b")) << "one entry at a time";
    EXPECT_TRUE(zip.finish().empty()) << "an entry left open is no archive";

    for (int k = 0; k < 0xFFFF; ++k) ASSERT_TRUE(zip.add(std::to_string(k), "", false));
    EXPECT_FALSE(zip.add("one too many", "", false));
    EXPECT_FALSE(zip.finish().empty());
}

}  // namespace
}  // namespace folvek
