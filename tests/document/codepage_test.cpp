// The code-page tables against glibc's iconv, and DOS table frames through the conversion.
#include <iconv.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <set>

#include "codepage.h"
#include "input_tables.h"
#include "test_support.h"

namespace folvek {
namespace {

bool isControl(unsigned b) {
    return b < 0x20 || b == 0x7F;
}
bool isBox(unsigned b) {
    return b >= 0xB0 && b <= 0xDF;
}

// One byte through iconv; nullopt when iconv has no mapping.
std::optional<std::string> iconvByte(const char* from, const char* to, unsigned char byte) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    char in[1] = {static_cast<char>(byte)};
    char out[8];
    char* ip = in;
    char* op = out;
    size_t il = 1, ol = sizeof out;
    size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1) || il != 0) return std::nullopt;
    return std::string(out, op);
}

TEST(CodePage, ControlsMapToThemselvesAndNothingElseBecomesOne) {
    for (unsigned b = 0; b < 256; ++b) {
        if (isControl(b)) {
            EXPECT_EQ(oemToAnsiTable()[b], b);
            EXPECT_EQ(ansiToOemTable()[b], b);
            EXPECT_EQ(ansiToUnicodeTable()[b], b);
        } else {
            EXPECT_FALSE(isControl(oemToAnsiTable()[b])) << b;
            EXPECT_FALSE(isControl(ansiToOemTable()[b])) << b;
            EXPECT_FALSE(isControl(ansiToUnicodeTable()[b])) << b;
        }
    }
}

TEST(CodePage, DosToWindowsAgreesWithIconv) {
    int unmapped = 0;
    for (unsigned b = 0x20; b < 256; ++b) {
        if (isBox(b) || isControl(b)) continue;
        if (auto want = iconvByte("CP866", "CP1251", static_cast<unsigned char>(b))) {
            ASSERT_EQ(want->size(), 1u);
            EXPECT_EQ(oemToAnsiTable()[b], static_cast<unsigned char>((*want)[0])) << std::hex << b;
        } else {
            ++unmapped;  // the bullet operator, square root and black square: look-alikes
        }
    }
    EXPECT_EQ(unmapped, 3);
}

TEST(CodePage, WindowsToDosAndUnicodeAgreeWithIconv) {
    for (unsigned b = 0x20; b < 256; ++b) {
        if (isControl(b)) continue;
        if (auto want = iconvByte("CP1251", "CP866", static_cast<unsigned char>(b))) {
            EXPECT_EQ(ansiToOemTable()[b], static_cast<unsigned char>((*want)[0])) << std::hex << b;
        }
        if (auto want = iconvByte("CP1251", "UTF-16LE", static_cast<unsigned char>(b))) {
            ASSERT_EQ(want->size(), 2u);
            char16_t u = static_cast<unsigned char>((*want)[0]) |
                         static_cast<unsigned char>((*want)[1]) << 8;
            EXPECT_EQ(ansiToUnicodeTable()[b], u) << std::hex << b;
        } else {
            EXPECT_EQ(ansiToUnicodeTable()[b], u'\uFFFD') << std::hex << b;  // 0x98 is undefined
        }
    }
}

TEST(CodePage, DosAndKoi8ToUnicodeAgreeWithIconvForEveryByte) {
    const std::pair<const char*, const char16_t*> tables[] = {{"CP866", oemToUnicodeTable()},
                                                              {"KOI8-R", koi8ToUnicodeTable()}};
    for (const auto& [name, table] : tables) {
        for (unsigned b = 0; b < 256; ++b) {
            const auto want = iconvByte(name, "UTF-16LE", static_cast<unsigned char>(b));
            ASSERT_TRUE(want && want->size() == 2u) << name << " " << std::hex << b;
            const char16_t u = static_cast<unsigned char>((*want)[0]) |
                               static_cast<unsigned char>((*want)[1]) << 8;
            EXPECT_EQ(table[b], u) << name << " " << std::hex << b;
        }
    }
}

TEST(CodePage, RoundTripWhereACounterpartExists) {
    for (unsigned b = 0; b < 256; ++b) {
        const unsigned a = oemToAnsiTable()[b];
        const unsigned back = ansiToOemTable()[a];
        // Frames become shared look-alikes (some are letters, such as 0xE3), so only the other
        // characters come back as they were.
        if (isBox(b)) {
            EXPECT_FALSE(isControl(back)) << std::hex << b;
        } else if (b != 0xF9 && b != 0xFB && b != 0xFE) {
            EXPECT_EQ(back, b) << std::hex << b;
        }
    }
}

TEST(CodePage, FramesBecomeLineBytes) {
    // The bytes the renderer draws as lines.
    const std::set<unsigned> lineBytes = {'+', '-', '=', '|', 0xA6, 'L', 'T', 0xAC, 0xE3};
    for (unsigned b = 0xB3; b <= 0xDA; ++b)
        EXPECT_TRUE(lineBytes.count(oemToAnsiTable()[b])) << std::hex << b;
    // Single, double and mixed frames with tees and crosses, walked row by row.
    const char* frames[] = {
        "\xda\xc4\xc2\xc4\xbf", "\xb3 \xb3 \xb3",       "\xc3\xc4\xc5\xc4\xb4",
        "\xc0\xc4\xc1\xc4\xd9", "\xc9\xcd\xcb\xcd\xbb", "\xba \xba \xba",
        "\xcc\xcd\xce\xcd\xb9", "\xc8\xcd\xca\xcd\xbc", "\xd5\xcd\xd1\xcd\xb8",
        "\xc6\xcd\xd8\xcd\xb5", "\xd4\xcd\xcf\xcd\xbe", "\xd6\xc4\xd2\xc4\xb7",
        "\xc7\xc4\xd7\xc4\xb6", "\xd3\xc4\xd0\xc4\xbd",
    };
    for (const char* f : frames) {
        std::string row = f;
        oemToAnsi(row.data(), row.size());
        ASSERT_EQ(row.size(), std::strlen(f));
        for (std::size_t i = 0; i < row.size(); ++i)
            if (f[i] != ' ') {
                EXPECT_TRUE(lineBytes.count(static_cast<unsigned char>(row[i]))) << f;
            }
    }
    // Letters inside a frame are converted as letters.
    std::string cell = "\xb3\x8a\xae\xab-\xa2\xae\xb3";  // "│Кол-во│"
    oemToAnsi(cell.data(), cell.size());
    EXPECT_EQ(cell.substr(1, 6), "\xca\xee\xeb-\xe2\xee");
}

TEST(CodePage, ConvertCodePageKeepsLengthsAndPageBreaks) {
    coretest::ScratchDir dir;
    coretest::MessageRecorder messages;
    auto doc = coretest::makeRecord(dir, messages);
    for (const char* l : {"\x8f\xe0\xa8\xa2\xa5\xe2", "\f", "", "\xc4\xc4\t"})
        doc->lines.append(l, std::strlen(l));
    doc->convertCodePage(1);
    EXPECT_STREQ(doc->lines.textAt(0), "\xcf\xf0\xe8\xe2\xe5\xf2");  // "Привет"
    EXPECT_STREQ(doc->lines.textAt(1), "\f");
    EXPECT_STREQ(doc->lines.textAt(2), "");
    EXPECT_EQ(std::strlen(doc->lines.textAt(3)), 3u);
    doc->convertCodePage(0);
    EXPECT_STREQ(doc->lines.textAt(0), "\x8f\xe0\xa8\xa2\xa5\xe2");
}

}  // namespace
}  // namespace folvek
