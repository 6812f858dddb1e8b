// Box codes beside the text: which arms each DOS box character has, and which lines the
// loader and the code-page conversion file them for.
#include <gtest/gtest.h>

#include "text_encoding.h"

#include <cstring>
#include <fstream>

#include "box_cells.h"
#include "codepage.h"
#include "lookalike_frames.h"
#include "test_support.h"

namespace folvek {
namespace {

TEST(BoxCodes, ArmsOfTheDosBoxCharacters) {
    EXPECT_EQ(boxCodeOf866(0xC4), boxCode(0, 0, 1, 1));  // ─
    EXPECT_EQ(boxCodeOf866(0xBA), boxCode(2, 2, 0, 0));  // ║
    EXPECT_EQ(boxCodeOf866(0xD5), boxCode(0, 1, 0, 2));  // ╒ single down, double right
    EXPECT_EQ(boxCodeOf866(0xB6), boxCode(2, 2, 1, 0));  // ╢ double vertical, single left
    EXPECT_EQ(boxCodeOf866(0xCE), boxCode(2, 2, 2, 2));  // ╬
    // Shades, blocks, letters and ASCII have none.
    for (int b : {0x00, 0x2B, 0x2D, 0x7C, 0xA0, 0xB0, 0xB1, 0xB2, 0xDB, 0xDF, 0xE0})
        EXPECT_EQ(boxCodeOf866(static_cast<std::uint8_t>(b)), 0) << b;
    // Every box character has at least two arms, and the arms of a line join in pairs: no
    // character's double arm faces a single one on the same axis.
    for (int b = 0xB3; b <= 0xDA; ++b) {
        const std::uint8_t c = boxCodeOf866(static_cast<std::uint8_t>(b));
        int arms = 0;
        for (BoxArm a : {BoxArm::Up, BoxArm::Down, BoxArm::Left, BoxArm::Right})
            arms += boxArm(c, a) != 0;
        EXPECT_GE(arms, 2) << b;
        const int u = boxArm(c, BoxArm::Up), d = boxArm(c, BoxArm::Down);
        const int l = boxArm(c, BoxArm::Left), r = boxArm(c, BoxArm::Right);
        EXPECT_FALSE(u && d && u != d) << b;
        EXPECT_FALSE(l && r && l != r) << b;
    }
}

// The codes of line i, one per byte and the NUL; empty when the line has none.
std::vector<std::uint8_t> codesOf(const LineStore& lines, std::size_t i) {
    std::vector<std::uint8_t> out(std::strlen(lines.textAt(i)) + 1, 0xEE);
    if (!lines.boxCodes(i, 0, out.data(), out.size())) return {};
    return out;
}

struct BoxLoading : ::testing::Test {
    coretest::ScratchDir dir;
    coretest::MessageRecorder messages;
    std::unique_ptr<DocumentRecord> doc = coretest::makeRecord(dir, messages);
    std::string load(const std::string& bytes, int isDos) {
        const std::string path = dir.dir() + "r.txt";
        std::ofstream(path, std::ios::binary) << bytes;
        doc->freeText();
        doc->IsDos = isDos;
        // The samples are too short to tell their code page: it is fixed, as /d and /w do.
        doc->encodingOverride = isDos ? EncodingChoice::Cp866 : EncodingChoice::Cp1251;
        doc->loadText(path);
        return path;
    }
};

TEST_F(BoxLoading, OnlyDosLinesWithBoxCharactersGetCodes) {
    load("\xda\xc4\xbf ab\nplain -+|\n\f\n\xb3\x8a\xb3\n", 1);
    ASSERT_EQ(doc->lines.size(), 6u);  // the form feed gives an empty line and a break
    const auto first = codesOf(doc->lines, 0);
    ASSERT_EQ(first.size(), 7u);
    EXPECT_EQ(first[0], boxCodeOf866(0xDA));
    EXPECT_EQ(first[1], boxCodeOf866(0xC4));
    EXPECT_EQ(first[2], boxCodeOf866(0xBF));
    EXPECT_EQ(first[3], 0);
    EXPECT_EQ(first[4], 0);
    EXPECT_EQ(first[6], 0);
    EXPECT_FALSE(doc->lines.hasBoxCodes(1));
    EXPECT_FALSE(doc->lines.hasBoxCodes(2));
    EXPECT_FALSE(doc->lines.hasBoxCodes(3));
    const auto last = codesOf(doc->lines, 5);
    ASSERT_EQ(last.size(), 4u);
    EXPECT_EQ(last[0], boxCodeOf866(0xB3));
    EXPECT_EQ(last[1], 0);  // the letter
    EXPECT_EQ(last[2], boxCodeOf866(0xB3));
    EXPECT_STREQ(doc->lines.textAt(5), "|\xca|");

    // The double vertical is not filed: in a converted text its look-alike stands for it.
    load("\xba  \xba\n", 1);
    EXPECT_FALSE(doc->lines.hasBoxCodes(0));
    EXPECT_TRUE(doc->lines.doubleBarsImplied());
    EXPECT_STREQ(doc->lines.textAt(0), "\xa6  \xa6");

    // A Windows file holds letters where DOS has box characters: no codes.
    load("\xda\xc4\xbf\n", 0);
    EXPECT_FALSE(doc->lines.hasBoxCodes(0));
    EXPECT_FALSE(doc->lines.doubleBarsImplied());
}

TEST(BoxLineCodesTest, ADecoderThatMeetsRealBrokenBarsFilesTheDoubleVertical) {
    LineStore lines;
    lines.append("xx", 2);
    BoxLineCodes codes(false);
    EXPECT_EQ(codes.put(1, 0xBA), 0xA6);
    codes.commit(lines, 0, 2);
    std::uint8_t out[2] = {};
    ASSERT_TRUE(lines.boxCodes(0, 0, out, 2));
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], boxCodeOf866(0xBA));
    EXPECT_FALSE(lines.doubleBarsImplied());
}

TEST_F(BoxLoading, CodesFollowALongLineIntoItsPieces) {
    std::string line(1023 + 5, 'x');
    line[1023 + 2] = '\xc4';
    load(line + "\n", 1);
    ASSERT_EQ(doc->lines.size(), 2u);
    EXPECT_FALSE(doc->lines.hasBoxCodes(0));
    ASSERT_TRUE(doc->lines.hasBoxCodes(1));
    EXPECT_EQ(codesOf(doc->lines, 1)[2], boxCodeOf866(0xC4));
    // A part of the line, as a continuation sheet asks for it.
    std::uint8_t part[3] = {9, 9, 9};
    ASSERT_TRUE(doc->lines.boxCodes(1, 1, part, 3));
    EXPECT_EQ(part[0], 0);
    EXPECT_EQ(part[1], boxCodeOf866(0xC4));
    EXPECT_EQ(part[2], 0);
}

// Converting lines already in the store gives the text and codes loading them gives, for
// every byte of the DOS box range and the letters and signs around it.
TEST_F(BoxLoading, ConvertingTheStoreAndLoadingAgreeOnEveryFrameByte) {
    std::string line = "\x8a\xae\xab ";  // "Кол "
    for (int b = 0xA0; b <= 0xE0; ++b) line += static_cast<char>(b);
    line += " |-+=";
    load(line + "\n", 1);
    ASSERT_EQ(doc->lines.size(), 1u);
    const std::string loadedText = doc->lines.textAt(0);
    const std::vector<std::uint8_t> loadedCodes = codesOf(doc->lines, 0);
    ASSERT_FALSE(loadedCodes.empty());

    coretest::ScratchDir otherDir;
    auto other = coretest::makeRecord(otherDir, messages);
    other->lines.append(line.data(), line.size());
    other->convertCodePage(1);
    EXPECT_EQ(other->lines.textAt(0), loadedText);
    EXPECT_EQ(codesOf(other->lines, 0), loadedCodes);
    EXPECT_EQ(other->lines.doubleBarsImplied(), doc->lines.doubleBarsImplied());
}

TEST_F(BoxLoading, ConversionFilesCodesAndTheWayBackDropsThem) {
    // Appending to a loaded document converts afterwards, over every line.
    load("a\n", 0);
    const std::string path = dir.dir() + "more.txt";
    std::ofstream(path, std::ios::binary) << "\xc9\xcd\n";
    doc->IsDos = 1;
    doc->encodingOverride = EncodingChoice::Cp866;
    doc->loadText(path);
    ASSERT_EQ(doc->lines.size(), 2u);
    ASSERT_TRUE(doc->lines.hasBoxCodes(1));
    EXPECT_EQ(codesOf(doc->lines, 1)[1], boxCodeOf866(0xCD));
    doc->convertCodePage(0);
    EXPECT_FALSE(doc->lines.hasBoxCodes(1));
    doc->freeText();
    EXPECT_FALSE(doc->lines.hasBoxCodes(0));
}

TEST(BoxLookalikes, GoingBackGivesTheFirstFrameCharacterOfALookAlike) {
    // The editor writes a typed 1251-only sign into a DOS file as the frame character that
    // became it; every such sign must come back as itself.
    for (unsigned a = 0x80; a < 256; ++a) {
        bool isLookalike = false;
        unsigned first = 0;
        for (unsigned d = 0xB0; d <= 0xDF && !isLookalike; ++d)
            if (oemToAnsiTable()[d] == a) isLookalike = true, first = d;
        if (!isLookalike) continue;
        const unsigned back = ansiToOemTable()[a];
        EXPECT_EQ(oemToAnsiTable()[back], a) << std::hex << a;
        // A 1251 letter keeps its own DOS letter; only signs 866 lacks go to a frame.
        if (back >= 0xB0 && back <= 0xDF) {
            EXPECT_EQ(back, first) << std::hex << a;
        }
    }
    EXPECT_EQ(ansiToOemTable()[0xA6], 0xBA);  // ¦ -> ║
    EXPECT_EQ(ansiToOemTable()[0xAC], 0xB7);  // ¬ -> ╖
}

TEST(BoxLookalikes, OnlyTheDosFrameAndBlockBytesHaveALookAlike) {
    for (unsigned b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        if (b < 0xB0 || b > 0xDF) {
            EXPECT_EQ(boxLookalike(byte), byte) << std::hex << b;
        }
    }
    EXPECT_EQ(boxLookalike(0xB0), '#');  // the lightest shade, the first of the range
    EXPECT_EQ(boxLookalike(0xDF), '#');  // the upper half block, the last
    EXPECT_EQ(boxLookalike(0xCD), '=');
}

}  // namespace
}  // namespace folvek

namespace folvek {
namespace {

// Windows text with the look-alikes of a DOS frame: 0xE3 and 0xAC at the top corners, '+'
// elsewhere, 0xA6 for the double vertical.
TEST_F(BoxLoading, LookalikeFramesInWindowsTextGetTheCodesOfTheirDosOriginals) {
    load(
        "\xE3--+--\xAC \xE3=\xAC\n"
        "|  |  | \xA6 \xA6\n"
        "+--+--+ +=+\n",
        0);
    const std::uint8_t S = 1, D = 2;
    auto top = codesOf(doc->lines, 0), mid = codesOf(doc->lines, 1),
         bottom = codesOf(doc->lines, 2);
    ASSERT_FALSE(top.empty());
    EXPECT_EQ(top[0], boxCode(0, S, 0, S));  // ┌
    EXPECT_EQ(top[3], boxCode(0, S, S, S));  // ┬: a tee of the top border reaches no higher
    EXPECT_EQ(top[6], boxCode(0, S, S, 0));  // ┐
    EXPECT_EQ(top[8], boxCode(0, D, 0, D));  // ╔: its sides are as double as its top
    EXPECT_EQ(mid[3], boxCode(S, S, 0, 0));
    EXPECT_EQ(mid[10], boxCode(D, D, 0, 0));
    EXPECT_EQ(bottom[0], boxCode(S, 0, 0, S));  // └
    EXPECT_EQ(bottom[3], boxCode(S, 0, S, S));  // ┴
    // Two boxes side by side: their corners do not join.
    EXPECT_EQ(bottom[6], boxCode(S, 0, S, 0));
    EXPECT_EQ(bottom[8], boxCode(D, 0, 0, D));
    EXPECT_EQ(top[7], 0);
}

TEST_F(BoxLoading, LookalikeFramesOfEveryShapeGetTheCodesOfTheirDosOriginals) {
    // Each frame drawn in code page 866, then as the look-alike bytes it becomes in 1251: the
    // codes worked out from the look-alikes must be the ones the box characters have.
    struct Shape {
        const char* name;
        std::string dos;
    };
    const Shape shapes[] = {
        {"two tables, the second right under the first",
         "\xDA\xC4\xC4\xC2\xC4\xC4\xBF\n\xB3"
         "a \xB3"
         "b \xB3\n\xC0\xC4\xC4\xC1\xC4\xC4\xD9\n"
         "\xDA\xC4\xC4\xC2\xC4\xC4\xBF\n\xB3"
         "c \xB3"
         "d \xB3\n\xC0\xC4\xC4\xC1\xC4\xC4\xD9\n"},
        {"a table with a separator row and a cross",
         "\xDA\xC4\xC4\xC4\xC2\xC4\xC4\xBF\n\xB3"
         "abc\xB3"
         "de\xB3\n"
         "\xC3\xC4\xC4\xC4\xC5\xC4\xC4\xB4\n\xB3"
         "1  \xB3"
         "2 \xB3\n"
         "\xC0\xC4\xC4\xC4\xC1\xC4\xC4\xD9\n"},
        {"a box two columns wide, and one from the first column after text",
         "\xDA\xBF x \xDA\xC4\xBF\n\xB3\xB3 x \xB3 \xB3\n\xC0\xD9 x \xC0\xC4\xD9\n"},
        {"a double frame",
         "\xC9\xCD\xCD\xCB\xCD\xBB\n\xBA"
         "ab\xBA"
         "c\xBA\n\xCC\xCD\xCD\xCE\xCD\xB9\n"
         "\xBA"
         "  \xBA"
         " \xBA\n\xC8\xCD\xCD\xCA\xCD\xBC\n"},
        {"single across, double down",
         "\xD6\xC4\xD2\xC4\xB7\n\xBA"
         "a\xBA"
         "b\xBA\n\xC7\xC4\xD7\xC4\xB6\n\xBA"
         "c\xBA"
         "d\xBA\n"
         "\xD3\xC4\xD0\xC4\xBD\n"},
        {"double across, single down",
         "\xD5\xCD\xD1\xCD\xB8\n\xB3"
         "a\xB3"
         "b\xB3\n\xD4\xCD\xCF\xCD\xBE\n"},
        {"a heading box over a wider table, which goes on to the right",
         "\xDA\xC4\xC4\xBF\n\xB3"
         "ab\xB3\n"
         "\xC3\xC4\xC4\xC5\xC4\xC4\xBF\n\xB3"
         "12\xB3"
         "34\xB3\n"
         "\xC0\xC4\xC4\xC1\xC4\xC4\xD9\n"},
        {"a heading box over a wider table, which goes on to the left",
         "   \xDA\xC4\xC4\xBF\n   \xB3"
         "ab\xB3\n"
         "\xDA\xC4\xC4\xC5\xC4\xC4\xB4\n\xB3"
         "12\xB3"
         "34\xB3\n"
         "\xC0\xC4\xC4\xC1\xC4\xC4\xD9\n"},
        {"column bars without a tee in the top border, the bottom one, or either",
         "\xDA\xC4\xC2\xC4\xC4\xC4\xC4\xC4\xBF\n\xB3"
         "a\xB3"
         "b\xB3"
         "c\xB3"
         "d\xB3\n\xC0\xC4\xC4\xC4\xC1\xC4\xC4\xC4\xD9\n"},
        {"text with a bar right under a box's bottom",
         "\xDA\xC4\xC4\xC4\xBF\n\xB3"
         "abc\xB3\n\xC0\xC4\xC4\xC4\xD9\nx|y\n"},
        {"a column bar that the bottom border has no tee for",
         "\xDA\xC4\xC2\xC4\xC4\xC2\xC4\xBF\n\xB3"
         "a\xB3"
         "bc\xB3"
         "d\xB3\n\xC0\xC4\xC1\xC4\xC4\xC4\xC4\xD9\n"},
        {"a box standing on a rule that runs out to the left",
         "     \xDA\xC4\xC4\xBF\n     \xB3"
         "ab\xB3\n\xC4\xC4\xC4\xC4\xC4\xC1\xC4\xC4\xD9\n"},
        {"a frame indented under text",
         "Title\n  \xDA\xC4\xC4\xBF\n  \xB3"
         "ab\xB3\n  \xC0\xC4\xC4\xD9\nend\n"},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        load(shape.dos, 1);
        std::vector<std::vector<std::uint8_t>> dos;
        for (std::size_t i = 0; i < doc->lines.size(); ++i) {
            // A DOS file leaves its double verticals unfiled: 0xA6 means nothing else there.
            std::vector<std::uint8_t> codes = codesOf(doc->lines, i);
            const char* text = doc->lines.textAt(i);
            if (doc->lines.doubleBarsImplied() && std::strchr(text, '\xA6')) {
                codes.resize(std::strlen(text) + 1, 0);
                for (std::size_t k = 0; text[k]; ++k)
                    if (text[k] == '\xA6' && !codes[k]) codes[k] = boxCodeOf866(0xBA);
            }
            dos.push_back(codes);
        }
        std::string windows = shape.dos;
        oemToAnsi(windows.data(), windows.size());
        load(windows, 0);
        ASSERT_EQ(doc->lines.size(), dos.size());
        for (std::size_t i = 0; i < dos.size(); ++i)
            EXPECT_EQ(codesOf(doc->lines, i), dos[i])
                << "line " << i << ": " << doc->lines.textAt(i);
    }
}

TEST(LookalikeFrames, TheTextsEndIsQuietOnlyFourLinesPastTheLastFrame) {
    // A frame on lines 0-2, then text: a page break within four lines could still carry it on.
    for (int after = 1; after <= 6; ++after) {
        LineStore lines;
        for (const char* l : {"\xE3-\xAC", "|x|", "+-+"}) lines.append(l, std::strlen(l));
        for (int k = 0; k < after; ++k) lines.append("text", 4);
        EXPECT_EQ(fileLookalikeFrames(lines, 0), after >= 4) << after;
        EXPECT_TRUE(lines.hasBoxCodes(1));
    }
    // A last line that holds a frame cell is no quiet end, nor an empty text.
    LineStore open;
    for (const char* l : {"\xE3-\xAC", "|x|"}) open.append(l, std::strlen(l));
    EXPECT_FALSE(fileLookalikeFrames(open, 0));
    LineStore none;
    EXPECT_TRUE(fileLookalikeFrames(none, 0));
    LineStore plain;
    plain.append("----", 4);
    EXPECT_TRUE(fileLookalikeFrames(plain, 0)) << "a rule alone reaches no other line";
}

TEST_F(BoxLoading, TwoPlusSignsJoinOnlyWithNoRuleRightBesideThem) {
    // A box two columns wide: its bottom corners join each other.
    load("  \xE3\xAC\n  ||\n  ++ \n", 0);
    auto bottom = codesOf(doc->lines, 2);
    ASSERT_GE(bottom.size(), 4u);
    EXPECT_EQ(bottom[2], boxCode(1, 0, 0, 1));  // └
    EXPECT_EQ(bottom[3], boxCode(1, 0, 1, 0));  // ┘
    // A rule that ends right at the pair, or starts right after it: two boxes' corners.
    for (const char* last : {" -++ ", "  ++-"}) {
        load(std::string("  \xE3\xAC\n  ||\n") + last + "\n", 0);
        bottom = codesOf(doc->lines, 2);
        ASSERT_GE(bottom.size(), 4u) << last;
        EXPECT_EQ(boxArm(bottom[2], BoxArm::Right), 0) << last;
        EXPECT_EQ(boxArm(bottom[3], BoxArm::Left), 0) << last;
    }
}

TEST_F(BoxLoading, TopCornersKeepTheirArmDownWithNoBarUnderThem) {
    // A side missing under a top corner (a ragged line): the corner is still a corner.
    load("\xE3-\xAC\n|\n+-+\n", 0);
    auto top = codesOf(doc->lines, 0);
    ASSERT_GE(top.size(), 3u);
    EXPECT_EQ(top[0], boxCode(0, 1, 0, 1));  // ┌
    EXPECT_EQ(top[2], boxCode(0, 1, 1, 0));  // ┐
    load("\xE3-\xAC\n  |\n+-+\n", 0);
    top = codesOf(doc->lines, 0);
    ASSERT_GE(top.size(), 3u);
    EXPECT_EQ(top[0], boxCode(0, 1, 0, 1));
    EXPECT_EQ(top[2], boxCode(0, 1, 1, 0));
}

TEST_F(BoxLoading, ARuleGoesOnFromABoxCornerToItsEnd) {
    // The bottom line runs on past the box's corner: every cell of it joins, to the last.
    load("\xE3-\xAC\n| |\n+-+-+-\n", 0);
    const auto bottom = codesOf(doc->lines, 2);
    ASSERT_GE(bottom.size(), 6u);
    EXPECT_EQ(bottom[0], boxCode(1, 0, 0, 1));                                  // └
    EXPECT_EQ(bottom[2], boxCode(1, 0, 1, 1));                                  // ┴
    for (int c : {1, 3, 4, 5}) EXPECT_EQ(bottom[c], boxCode(0, 0, 1, 1)) << c;  // ─
}

TEST_F(BoxLoading, LookalikeCellsAreFoundByColumnPastTheTags) {
    load("\xE3--\xAC\n|<B>ab</B>|\n+--+\n", 0);
    const auto mid = codesOf(doc->lines, 1);
    ASSERT_FALSE(mid.empty());
    EXPECT_EQ(mid[0], boxCode(1, 1, 0, 0));
    EXPECT_EQ(mid[10], boxCode(1, 1, 0, 0));  // the bar after "<B>ab</B>", in column 3
    EXPECT_EQ(mid[3], 0);
}

TEST_F(BoxLoading, AsciiFramesAndRunningTextKeepTheLineRules) {
    load("+--+\n|  |\n+--+\n", 0);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_TRUE(codesOf(doc->lines, i).empty()) << i;
    // A ghe before a minus in running text, even over a bar, is a letter.
    load("\xE3-\xED \xC8\xE2\xE0\xED\xEE\xE2\n|\n\xE3--\n\xE0|\n", 0);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_TRUE(codesOf(doc->lines, i).empty()) << i;
}

TEST_F(BoxLoading, ALookalikeTableGoesOnAfterAPageBreakWithoutATopCorner) {
    load("\xE3-\xAC\n|x|\n\f\n+-+\n|y|\n+-+\n", 0);
    std::size_t after = 0;
    for (std::size_t i = 0; i < doc->lines.size(); ++i)
        if (doc->lines.textAt(i)[0] == '\f') after = i + 2;
    ASSERT_EQ(std::string(doc->lines.textAt(after)), "+-+");
    const auto codes = codesOf(doc->lines, after);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes[0], boxCode(1, 1, 0, 1));  // ├: the table comes from the page before
}

}  // namespace
}  // namespace folvek
