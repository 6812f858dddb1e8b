// A small zip reader over zlib for the tests: every entry by the central directory, checked
// against its local header, CRC and sizes, so that a writer's archive is read back the way a
// spreadsheet program reads it.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <map>
#include <string>

namespace folvek::test {

inline std::uint32_t zipNumber(const std::string& s, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

inline std::string inflateRaw(const std::string& packed) {
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

inline std::map<std::string, std::string> readZip(const std::string& zip) {
    std::map<std::string, std::string> files;
    if (zip.size() < 22) {
        ADD_FAILURE() << "no end record";
        return files;
    }
    const std::size_t end = zip.size() - 22;
    EXPECT_EQ(zipNumber(zip, end, 4), 0x06054b50u);
    const std::uint32_t count = zipNumber(zip, end + 10, 2);
    std::size_t at = zipNumber(zip, end + 16, 4);
    for (std::uint32_t k = 0; k < count; ++k) {
        EXPECT_EQ(zipNumber(zip, at, 4), 0x02014b50u);
        const std::uint32_t method = zipNumber(zip, at + 10, 2), crc = zipNumber(zip, at + 16, 4);
        const std::uint32_t packed = zipNumber(zip, at + 20, 4), size = zipNumber(zip, at + 24, 4);
        const std::uint32_t nameSize = zipNumber(zip, at + 28, 2);
        const std::uint32_t local = zipNumber(zip, at + 42, 4);
        const std::string name = zip.substr(at + 46, nameSize);
        EXPECT_EQ(zipNumber(zip, local, 4), 0x04034b50u);
        EXPECT_EQ(zipNumber(zip, local + 14, 4), crc) << name;
        const std::string data = zip.substr(local + 30 + zipNumber(zip, local + 26, 2), packed);
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

}  // namespace folvek::test
