// The zip builder read back by a reader of our own over zlib: a stored entry, small entries
// deflated whole, an entry of many pieces deflated apart and joined into one stream, an empty
// one; the CRCs and sizes the headers give; the same bytes however many times it is built.
#include <gtest/gtest.h>

#include <string>

#include "zip_builder.h"
#include "zip_reader.h"

namespace folvek {
namespace {

using test::readZip;

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

TEST(ZipBuilder, HeadersSayVersionTwoUtf8NamesAndAFixedTime) {
    ZipBuilder zip;
    ASSERT_TRUE(zip.add("mimetype", "x", false));
    ASSERT_TRUE(zip.add("content.xml", "<a/>", true));
    const std::string z = zip.finish();
    using test::zipNumber;
    const std::size_t end = z.size() - 22;
    std::size_t central = zipNumber(z, end + 16, 4);
    for (int k = 0; k < 2; ++k) {
        const std::size_t local = zipNumber(z, central + 42, 4);
        // Local header: version needed 2.0, flag bit 11, method, time 00:00, date 1980-01-01.
        EXPECT_EQ(zipNumber(z, local + 4, 2), 20u) << k;
        EXPECT_EQ(zipNumber(z, local + 6, 2), 0x0800u) << k;
        EXPECT_EQ(zipNumber(z, local + 8, 2), k == 0 ? 0u : 8u) << k;
        EXPECT_EQ(zipNumber(z, local + 10, 2), 0u) << k;
        EXPECT_EQ(zipNumber(z, local + 12, 2), 0x21u) << k;
        EXPECT_EQ(zipNumber(z, local + 28, 2), 0u) << "no extra field";
        // Central header: made by 2.0, needed 2.0, the same flags and time.
        EXPECT_EQ(zipNumber(z, central + 4, 2), 20u) << k;
        EXPECT_EQ(zipNumber(z, central + 6, 2), 20u) << k;
        EXPECT_EQ(zipNumber(z, central + 8, 2), 0x0800u) << k;
        EXPECT_EQ(zipNumber(z, central + 14, 2), 0x21u) << k;
        EXPECT_EQ(zipNumber(z, central + 30, 2), 0u) << k;
        EXPECT_EQ(zipNumber(z, central + 32, 2), 0u) << k;
        central += 46 + zipNumber(z, central + 28, 2);
    }
    // The end record: this disk, two entries on it and in all, no comment.
    EXPECT_EQ(zipNumber(z, end + 4, 2), 0u);
    EXPECT_EQ(zipNumber(z, end + 8, 2), 2u);
    EXPECT_EQ(zipNumber(z, end + 10, 2), 2u);
    EXPECT_EQ(zipNumber(z, end + 12, 4), end - zipNumber(z, end + 16, 4)) << "directory size";
    EXPECT_EQ(zipNumber(z, end + 20, 2), 0u);
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
