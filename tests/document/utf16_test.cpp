// UTF-16 files: the decoder across block ends and broken pairs, and the loader, which must make
// of a UTF-16 report exactly the document it makes of the same report in UTF-8.
#include <gtest/gtest.h>

#include "test_support.h"
#include "utf16_decoder.h"

namespace folvek {
namespace {

std::string utf16(const std::u16string& s, bool big, bool mark = true) {
    std::string out = mark ? (big ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (const char16_t u : s) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += big ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

std::string decodeInPieces(const std::string& bytes, bool big, std::size_t piece) {
    Utf16Decoder d(big);
    std::string out;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        const std::size_t n = std::min(piece, bytes.size() - at);
        d.decode(reinterpret_cast<const unsigned char*>(bytes.data()) + at, n, out);
    }
    d.finish(out);
    return out;
}

TEST(Utf16Decoder, EveryCutOfTheInputGivesTheSameUtf8) {
    const std::u16string text = u"Ведомость ╔═╗ a😀b\r\n\f𝄞";
    const std::string expected = "Ведомость ╔═╗ a😀b\r\n\f𝄞";
    for (const bool big : {false, true}) {
        const std::string bytes = utf16(text, big, false);
        for (std::size_t piece = 1; piece <= 7; ++piece)
            EXPECT_EQ(decodeInPieces(bytes, big, piece), expected) << big << " " << piece;
    }
}

TEST(Utf16Decoder, BrokenPairsAndAHalfUnitAtTheEnd) {
    const std::string replacement = "\xEF\xBF\xBD";
    // A low surrogate alone, a high one followed by a letter, a high one at the very end.
    const std::u16string broken = {0xDC00, u'a', 0xD83D, u'b', 0xD83D};
    EXPECT_EQ(decodeInPieces(utf16(broken, false, false), false, 3),
              replacement + "a" + replacement + "b" + replacement);
    // An odd byte count: the last half unit is dropped.
    EXPECT_EQ(decodeInPieces(utf16(u"ab", true, false) + "\x04", true, 2), "ab");
}

// The ends of each range: UTF-8's one-, two- and three-byte forms, and the surrogates' edges
// (RFC 3629, RFC 2781). Expected bytes are written out by hand.
TEST(Utf16Decoder, TheEdgesOfEachRange) {
    const std::string fffd = "\xEF\xBF\xBD";
    const struct {
        std::u16string units;
        std::string utf8;
    } cases[] = {
        {{0x007F, 0x0080}, "\x7F\xC2\x80"},
        {{0x07FF, 0x0800}, "\xDF\xBF\xE0\xA0\x80"},
        {{0xD7FF, 0xE000, 0xFFFF}, "\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF"},
        {{0xD800, 0xDC00}, "\xF0\x90\x80\x80"},  // U+10000
        {{0xDBFF, 0xDFFF}, "\xF4\x8F\xBF\xBF"},  // U+10FFFF
        {{0xD800, 0xDBFF, 0xDFFF}, fffd + "\xF4\x8F\xBF\xBF"},
        {{0xDC00, 0xDFFF, u'x'}, fffd + fffd + "x"},
        {{0xDBFF, 0xE000}, fffd + "\xEE\x80\x80"},
        {{0xD800}, fffd},
    };
    for (const auto& c : cases)
        for (const bool big : {false, true})
            EXPECT_EQ(decodeInPieces(utf16(c.units, big, false), big, 2), c.utf8)
                << big << " " << std::hex << int(c.units[0]);
}

class Utf16Load : public ::testing::Test {
  protected:
    void load(const std::string& bytes, EncodingChoice choice = EncodingChoice::Auto) {
        doc->freeText();
        doc->encodingOverride = choice;
        ASSERT_EQ(doc->loadText(dir.file("r.txt", bytes)), 1);
    }
    struct Shape {
        std::vector<std::string> lines;
        std::vector<std::vector<std::uint8_t>> boxes;
        std::int64_t unmappable = 0;
    };
    Shape shape() const {
        Shape s;
        for (std::size_t i = 0; i < doc->lines.size(); ++i) {
            s.lines.emplace_back(doc->lines.textAt(i));
            std::vector<std::uint8_t> codes(s.lines.back().size());
            if (!doc->lines.boxCodes(i, 0, codes.data(), codes.size())) codes.clear();
            s.boxes.push_back(codes);
        }
        s.unmappable = doc->unmappableChars;
        return s;
    }
    coretest::ScratchDir dir;
    coretest::MessageRecorder messages;
    std::unique_ptr<DocumentRecord> doc = coretest::makeRecord(dir, messages);
};

TEST_F(Utf16Load, AReportInUtf16IsTheDocumentItIsInUtf8) {
    // The same page in both, several read blocks of it.
    const std::u16string page16 =
        u"<B>ВЕДОМОСТЬ</B> 😀\r\n╔════╤═══╗\r\n║ Болт │ 3 ║\r\n╚════╧═══╝\r\n\f";
    const std::string page8 =
        "<B>ВЕДОМОСТЬ</B> 😀\r\n╔════╤═══╗\r\n║ Болт │ 3 ║\r\n╚════╧═══╝\r\n\f";
    std::u16string text;
    std::string utf8 = "\xEF\xBB\xBF";
    for (int i = 0; i < 3000; ++i) text += page16, utf8 += page8;
    load(utf8);
    const Shape expected = shape();
    ASSERT_EQ(expected.lines.size(), 3000u * 6 + 1);  // and the line after the last form feed
    EXPECT_EQ(expected.unmappable, 3000);
    for (const bool big : {false, true}) {
        SCOPED_TRACE(big);
        load(utf16(text, big));
        EXPECT_EQ(doc->utf16, big ? Utf16Form::BigEndian : Utf16Form::LittleEndian);
        EXPECT_EQ(doc->textEncoding, TextEncoding::Utf8);
        EXPECT_TRUE(doc->encodingDetected);
        const Shape got = shape();
        EXPECT_EQ(got.lines, expected.lines);
        EXPECT_EQ(got.boxes, expected.boxes);
        EXPECT_EQ(got.unmappable, expected.unmappable);
    }
    // Told to read UTF-8, the mark still says UTF-16.
    load(utf16(u"Итого", false), EncodingChoice::Utf8);
    EXPECT_EQ(shape().lines, std::vector<std::string>{"\xC8\xF2\xEE\xE3\xEE"});
}

TEST_F(Utf16Load, AFixedCodePageAndUtf32AreNotTakenForUtf16) {
    load(utf16(u"ab", false), EncodingChoice::Cp1251);
    EXPECT_EQ(doc->utf16, Utf16Form::None);
    // FF FE 00 00 starts UTF-32, which is no UTF-16 file.
    load(std::string("\xFF\xFE\0\0a\0\0\0", 8));
    EXPECT_EQ(doc->utf16, Utf16Form::None);
    // The next file is read on its own terms.
    load("plain\n");
    EXPECT_EQ(doc->utf16, Utf16Form::None);
}

}  // namespace
}  // namespace folvek
