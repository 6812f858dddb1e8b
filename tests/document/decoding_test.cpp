// Loading in every encoding: detection through loadText, UTF-8 and KOI8-R decoded into the
// same 1251 text as DOS files (frames included), bad UTF-8, and the pieces cut on the decoded
// text.
#include <gtest/gtest.h>

#include "test_support.h"

namespace folvek {
namespace {

using namespace std::string_literals;
using coretest::texts;
using V = std::vector<std::string>;

class DecodingTest : public ::testing::Test {
  protected:
    V load(const std::string& bytes) {
        doc->freeText();
        EXPECT_EQ(doc->loadText(dir.file("doc.txt", bytes)), 1);
        return texts(doc->lines);
    }
    V loadAs(EncodingChoice c, const std::string& bytes) {
        doc->encodingOverride = c;
        return load(bytes);
    }
    coretest::ScratchDir dir;
    coretest::MessageRecorder messages;
    std::unique_ptr<DocumentRecord> doc = coretest::makeRecord(dir, messages);
};

// "Остатки на складе" and a double frame with a single inner line, in each encoding.
const std::string k1251 = "\xce\xf1\xf2\xe0\xf2\xea\xe8 \xed\xe0 \xf1\xea\xeb\xe0\xe4\xe5";
const std::string k866Text = "\x8e\xe1\xe2\xa0\xe2\xaa\xa8 \xad\xa0 \xe1\xaa\xab\xa0\xa4\xa5";
const std::string kKoiText = "\xef\xd3\xd4\xc1\xd4\xcb\xc9 \xce\xc1 \xd3\xcb\xcc\xc1\xc4\xc5";
const std::string kUtf8Text =
    "\xd0\x9e\xd1\x81\xd1\x82\xd0\xb0\xd1\x82\xd0\xba\xd0\xb8 \xd0\xbd\xd0\xb0 "
    "\xd1\x81\xd0\xba\xd0\xbb\xd0\xb0\xd0\xb4\xd0\xb5";
// ╔═╤═╗ / ║x│y║ / ╟─┼─╢ / ╚═╧═╝
const std::string k866Frame =
    "\xc9\xcd\xd1\xcd\xbb\n\xba"
    "x\xb3y\xba\n\xc7\xc4\xc5\xc4\xb6\n"
    "\xc8\xcd\xcf\xcd\xbc\n";
const std::string kKoiFrame =
    "\xa5\xa0\xb6\xa0\xa8\n\xa1"
    "x\x81y\xa1\n\xb0\x80\x8a\x80\xb4\n"
    "\xab\xa0\xb9\xa0\xae\n";
const std::string kUtf8Frame =
    "\xe2\x95\x94\xe2\x95\x90\xe2\x95\xa4\xe2\x95\x90\xe2\x95\x97\n"
    "\xe2\x95\x91x\xe2\x94\x82y\xe2\x95\x91\n"
    "\xe2\x95\x9f\xe2\x94\x80\xe2\x94\xbc\xe2\x94\x80\xe2\x95\xa2\n"
    "\xe2\x95\x9a\xe2\x95\x90\xe2\x95\xa7\xe2\x95\x90\xe2\x95\x9d\n";

TEST_F(DecodingTest, EveryEncodingIsDetectedAndGivesTheSameText) {
    const V frame = loadAs(EncodingChoice::Cp866, k866Frame);
    doc->encodingOverride.reset();
    const struct {
        const char* name;
        std::string bytes;
        TextEncoding expected;
        int isDos;
    } files[] = {
        {"866", k866Text + "\r\n" + k866Frame, TextEncoding::Cp866, 1},
        {"1251", k1251 + "\r\n", TextEncoding::Cp1251, 0},
        {"KOI8-R", kKoiText + "\n" + kKoiFrame, TextEncoding::Koi8r, 0},
        {"UTF-8", kUtf8Text + "\n" + kUtf8Frame, TextEncoding::Utf8, 0},
        {"UTF-8 with BOM", "\xef\xbb\xbf" + kUtf8Text + "\n" + kUtf8Frame, TextEncoding::Utf8, 0},
    };
    for (const auto& f : files) {
        const V got = load(f.bytes);
        EXPECT_EQ(doc->textEncoding, f.expected) << f.name;
        EXPECT_TRUE(doc->encodingDetected) << f.name;
        EXPECT_EQ(doc->IsDos, f.isDos) << f.name;
        ASSERT_FALSE(got.empty()) << f.name;
        EXPECT_EQ(got[0], k1251) << f.name;
        if (got.size() > 1) {
            EXPECT_EQ(V(got.begin() + 1, got.end()), frame) << f.name;
        }
        EXPECT_EQ(doc->unmappableChars, 0) << f.name;
    }
    // Double and mixed frame characters keep their own look-alikes.
    EXPECT_EQ(frame[0], "\xe3=+=\xac");
    EXPECT_EQ(frame[1], "\xa6x|y\xa6");
}

TEST_F(DecodingTest, UndecidedTextFallsBackToIsDosAndAFixedChoiceWins) {
    doc->setIsDos(1);
    load("plain ASCII\n");
    EXPECT_FALSE(doc->encodingDetected);
    EXPECT_EQ(doc->textEncoding, TextEncoding::Cp866);
    doc->setIsDos(0);
    load("plain ASCII\n");
    EXPECT_EQ(doc->textEncoding, TextEncoding::Cp1251);
    // UTF-8 text read as fixed 1251 stays as its bytes.
    EXPECT_EQ(loadAs(EncodingChoice::Cp1251, "\xd0\x9f\n"), V{"\xd0\x9f"});
    doc->encodingOverride.reset();
    doc->Encoding = EncodingChoice::Koi8r;
    EXPECT_EQ(load("\xf0\n"), V{"\xcf"});
}

TEST_F(DecodingTest, CharactersOutside1251AndBadUtf8BecomeQuestionMarks) {
    EXPECT_EQ(loadAs(EncodingChoice::Utf8,
                     "a\xf0\x9f\x98\x80"
                     "b\xe2\x82\xac\n"),
              V{"a?b\x88"});  // an emoji; the euro sign is in 1251
    EXPECT_EQ(doc->unmappableChars, 1);
    // Overlong, surrogate, stray continuation, a lead cut by a line end or the file's end.
    EXPECT_EQ(loadAs(EncodingChoice::Utf8, "\xc0\xaf|\xed\xa0\x80|\x80|\xd0\n\xd0"),
              (V{"??|???|?|?", "?"}));
    EXPECT_EQ(doc->unmappableChars, 8);
    // Auto: invalid UTF-8 is one of the single-byte code pages, never a crash.
    doc->encodingOverride.reset();
    load("\xc0\xaf\xe0\xee\xea \xed\xa0\x80\n");
    EXPECT_NE(doc->textEncoding, TextEncoding::Utf8);
    // UTF-16 with its mark is decoded, not cut at its NULs.
    EXPECT_EQ(load("\xff\xfe\x1f\x04\x40\x04\n\x00"s), V{"\xcf\xf0"});
    EXPECT_EQ(doc->utf16, Utf16Form::LittleEndian);
}

// The second byte of each three- and four-byte lead at both ends of its range: the first and
// last characters of each form are one character (here none is in 1251), one byte past them
// is not UTF-8 and each byte becomes a question mark.
TEST_F(DecodingTest, SecondBytesAtTheEndsOfTheirRanges) {
    const struct {
        const char* bytes;
        const char* shown;
    } cases[] = {
        {"\xe0\xa0\x80", "?"},     {"\xe0\x9f\xbf", "???"},       // U+0800; overlong
        {"\xed\x9f\xbf", "?"},     {"\xed\xa0\x80", "???"},       // U+D7FF; a surrogate
        {"\xf0\x90\x80\x80", "?"}, {"\xf0\x8f\xbf\xbf", "????"},  // U+10000; overlong
        {"\xf4\x8f\xbf\xbf", "?"}, {"\xf4\x90\x80\x80", "????"},  // U+10FFFF; past it
        {"\xe1\x80\x80", "?"},     {"\xe1\xc0\x80", "???"},       // a second byte no continuation
    };
    for (const auto& c : cases) {
        EXPECT_EQ(loadAs(EncodingChoice::Utf8, std::string("a") + c.bytes + "b\n"),
                  V{std::string("a") + c.shown + "b"})
            << testing::PrintToString(std::string(c.bytes));
    }
}

TEST_F(DecodingTest, PiecesAreCutOnTheDecodedTextAcrossReadBlocks) {
    // 1500 letters of two bytes each: pieces of 1023 and 477 decoded bytes.
    std::string line;
    for (int i = 0; i < 1500; ++i) line += "\xd0\x96";
    V got = loadAs(EncodingChoice::Utf8, line + "\n");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], std::string(1023, '\xc6'));
    EXPECT_EQ(got[1], std::string(477, '\xc6'));
    EXPECT_EQ(doc->maxLineLength, 1023);

    // An odd start puts characters across every 256 KB read block: none of them is lost.
    std::string big = "x";
    for (int i = 0; i < 300000; ++i) big += (i % 100 == 99) ? "\n" : "\xd0\x96";
    doc->encodingOverride.reset();
    got = load(big);
    EXPECT_EQ(doc->textEncoding, TextEncoding::Utf8);
    EXPECT_EQ(doc->unmappableChars, 0);
    std::size_t letters = 0;
    for (const std::string& s : got) letters += std::count(s.begin(), s.end(), '\xc6');
    EXPECT_EQ(letters, 300000u - 3000u);
}

}  // namespace
}  // namespace folvek
