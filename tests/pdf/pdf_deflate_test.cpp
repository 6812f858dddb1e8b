// The PDF streams' compression: every level, in range or not, gives zlib data that inflates back
// to the input; a level out of range compresses as the default one does.
#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

#include "pdf_deflate.h"

namespace folvek {
namespace {

std::string inflated(const std::string& packed, std::size_t size) {
    std::string out(size, '\0');
    uLongf n = static_cast<uLongf>(size);
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &n,
                         reinterpret_cast<const Bytef*>(packed.data()),
                         static_cast<uLong>(packed.size())),
              Z_OK);
    out.resize(n);
    return out;
}

TEST(PdfDeflate, EveryLevelInflatesBackAndOutOfRangeIsTheDefault) {
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "BT /F1 10 Tf " + std::to_string(i * 37 % 1000) + " Tj ET\n";
    std::string standard = "kept";  // appended to, not replaced
    deflateInto(text, standard);
    ASSERT_EQ(standard.compare(0, 4, "kept"), 0);
    standard.erase(0, 4);
    EXPECT_EQ(inflated(standard, text.size()), text);
    EXPECT_LT(standard.size(), text.size() / 4);
    for (const int level : {0, 6, 12}) {
        std::string packed;
        deflateInto(text, packed, level);
        EXPECT_EQ(inflated(packed, text.size()), text) << level;
    }
    for (const int level : {-1, 13, 1000}) {
        std::string packed;
        deflateInto(text, packed, level);
        EXPECT_EQ(packed, standard) << level;
    }
}

}  // namespace
}  // namespace folvek
