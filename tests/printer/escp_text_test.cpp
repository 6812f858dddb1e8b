// Hand-written ESC/P jobs: pitch, widths and heights, print styles, character tables, skipped
// commands, and what the reader reports about a job.
#include <gtest/gtest.h>

#include "escp_job.h"

using namespace folvek::printer;
using namespace folvek::printer::test;
using namespace std::string_literals;

namespace {
constexpr JobUnits kInch = kUnitsPerInch;
}

TEST(EscPText, PlainTextPrintsAtTenPitchFromTheTopOfTheForm) {
    const JobDocument doc = readEscP("AB\r\nC");
    ASSERT_EQ(doc.pages.size(), 1u);
    const PrintedChar b = find(doc, U'B'), c = find(doc, U'C');
    EXPECT_EQ(b.x, kInch / 10);
    EXPECT_EQ(b.advance, kInch / 10);
    EXPECT_EQ(b.y, 2100);  // the baseline, 7/72 inch below the top of the 9-dot box
    EXPECT_EQ(b.height, 2700);
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, kInch / 6 + 2100);
    EXPECT_EQ(doc.pages[0].width, 8 * kInch);
    EXPECT_EQ(doc.pages[0].height, 11 * kInch);
}

TEST(EscPText, EachPitchAndWidthCommandGivesTheReferenceAdvance) {
    struct Case {
        std::string codes;
        JobUnits advance;
    } cases[] = {
        {"\x1bP", 2160},           {"\x1bM", 1800},
        {"\x1bg", 1440},           {"\x0f", 1260},
        {"\x1b\x0f", 1260},        {"\x1bM\x0f", 1080},
        {"\x1bW1", 4320},          {"\x0e", 4320},
        {"\x1b\x0e", 4320},        {"\x1b!\x20", 4320},
        {"\x1b!\x01", 1800},       {"\x1b!\x04", 1260},
        {"\x1b \x05", 2160 + 900}, {"\x1b\x63\x48\x00"s, 72 * 60},
        {"\x0f\x12", 2160},        {"\x1bX\x24\x00\x00"s, 2160},
    };
    for (const Case& k : cases) {
        const JobDocument doc = readEscP(k.codes + "Z");
        EXPECT_EQ(find(doc, U'Z').advance, k.advance) << "codes of length " << k.codes.size();
    }
}

TEST(EscPText, OneLineDoubleWidthEndsWithTheLineAndDc4) {
    const JobDocument doc = readEscP(
        "\x0e"
        "A\r\nB\x0e"
        "C\x14"
        "D");
    EXPECT_EQ(find(doc, U'A').advance, 4320);
    EXPECT_EQ(find(doc, U'B').advance, 2160);
    EXPECT_EQ(find(doc, U'C').advance, 4320);
    EXPECT_EQ(find(doc, U'D').advance, 2160);
    EXPECT_EQ(find(doc, U'D').x, 2160 + 4320);
    EXPECT_TRUE(doc.features.widthsMixed);
}

TEST(EscPText, EscXTakesThreeBytesAndLosesNoText) {
    // ESC X m nL nH: 1/10 inch pitch (36/360) at 12 points; nH is NUL.
    const JobDocument doc = readEscP("\x1bX\x24\x18\x00Total: 42\r\n"s, JobLanguage::EscP2);
    EXPECT_EQ(allText(doc), U"Total: 42");
    const PrintedChar t = find(doc, U'T');
    EXPECT_EQ(t.advance, 2160);
    EXPECT_EQ(t.height, 12 * kInch / 72 * 4 / 5);  // the cell: four fifths of the em
    // Point sizes from half a point to 144 points are taken; 0 and more keep the size before.
    struct Case {
        int halfPoints;
        JobUnits height;
    } cases[] = {{1, kInch / 144 * 4 / 5},
                 {288, 144 * kInch / 72 * 4 / 5},
                 {289, 12 * kInch / 72 * 4 / 5},
                 {0, 12 * kInch / 72 * 4 / 5}};
    for (const Case& c : cases) {
        const JobDocument d = readEscP("\x1bX\x24\x18\x00\x1bX\x24"s + char(c.halfPoints & 255) +
                                           char(c.halfPoints >> 8) + "T",
                                       JobLanguage::EscP2);
        EXPECT_EQ(find(d, U'T').height, c.height) << c.halfPoints;
    }
}

TEST(EscPText, DoubleHeightGrowsUpwardFromTheBaselineAndOverridesCondensed) {
    const JobDocument doc = readEscP(
        "\x1bw\x01H\x1bw\x00h\x0f\x1bS\x00\x1bw\x01"
        "c"s);
    EXPECT_EQ(find(doc, U'H').height, 5400);
    EXPECT_EQ(find(doc, U'H').y, 2100);
    EXPECT_EQ(find(doc, U'c').advance, 2160);  // no condensed, no superscript in double height
    EXPECT_EQ(find(doc, U'c').y, 2100);
    EXPECT_EQ(find(doc, U'h').height, 2700);
    EXPECT_TRUE(doc.features.widthsMixed);
}

TEST(EscPText, StylesSwitchOnAndOff) {
    const JobDocument doc = readEscP(
        "\x1b"
        "Eb\x1b"
        "F\x1b"
        "4i\x1b"
        "5\x1b-\x01u\x1b-0\x1bGd\x1bH\x1bS\x00p\x1bS\x01s\x1bTn"
        "\x1b!\x88x\x1b!\x00\x1bp1q"s);
    EXPECT_EQ(find(doc, U'b').style, kJobBold);
    EXPECT_EQ(find(doc, U'i').style, kJobItalic);
    EXPECT_EQ(find(doc, U'u').style, kJobUnderline);
    EXPECT_EQ(find(doc, U'd').style, kJobDoubleStrike);
    EXPECT_EQ(find(doc, U'p').style, kJobSuperscript);
    EXPECT_EQ(find(doc, U's').style, kJobSubscript);
    EXPECT_EQ(find(doc, U'n').style, 0);
    // Two thirds of the 9-dot box, in its upper or lower part.
    EXPECT_EQ(find(doc, U'p').height, 1800);
    EXPECT_EQ(find(doc, U'p').y, 1400);
    EXPECT_EQ(find(doc, U's').y, 2300);
    EXPECT_EQ(find(doc, U'x').style, kJobBold | kJobUnderline);
    EXPECT_EQ(find(doc, U'q').style, kJobProportional);
}

TEST(EscPText, ResetRestoresPitchStyleAndTable) {
    const JobDocument doc = readEscP(
        "\x1bM\x1b"
        "E\x1bt\x00"
        "a\x1b@b\x80"s);
    EXPECT_EQ(find(doc, U'b').advance, 2160);
    EXPECT_EQ(find(doc, U'b').style, 0);
    EXPECT_EQ(find(doc, U'А').style, 0);  // back to the default table (PC866)
}

TEST(EscPText, TheJobsCharacterTableDecidesTheCodePage) {
    // Default: the table of the options (PC866).
    EXPECT_EQ(allText(readEscP("\x80\x9f\xe0")), U"АЯр");
    // ESC ( t assigns PC437 to table 1 and ESC t 1 selects it.
    EXPECT_EQ(allText(readEscP("\x1b(t\x03\x00\x01\x01\x00\x1bt\x01\x80\x9b"s)), U"Ç¢");
    EXPECT_EQ(allText(readEscP("\x1b(t\x03\x00\x02\x03\x00\x1bt2\x9d"s)), U"Ø");     // PC850
    EXPECT_EQ(allText(readEscP("\x1b(t\x03\x00\x03\x0e\x00\x1bt\x03\x8f"s)), U"П");  // PC866
    // The italic table prints the lower half in italics; its upper control codes print nothing.
    const JobDocument italic = readEscP("\x1bt\x00\xc1\x8d"s);
    EXPECT_EQ(allText(italic), U"A");
    EXPECT_EQ(find(italic, U'A').style, kJobItalic);
    // ESC R: the German set replaces the brackets.
    EXPECT_EQ(allText(readEscP("\x1bR\x02[\\]{|}~")), U"ÄÖÜäöüß");
    EXPECT_EQ(allText(readEscP("\x1bR\x03#")), U"£");
    // The last sets: Korea (13) and Legal (64), the one whose number is out of line.
    EXPECT_EQ(allText(readEscP("\x1bR\x0d\\")), U"₩");
    EXPECT_EQ(allText(readEscP("\x1bR@@[~")), U"§°™");
    EXPECT_EQ(allText(readEscP("\x1bR\x0f@")), U"@");  // no such set: ASCII stays
    // Every set changes only its twelve places (# $ @ [ \ ] ^ ` { | } ~): the rest of ASCII
    // prints as itself in each.
    const std::string national = "#$@[\\]^`{|}~";
    std::string others;
    std::u32string othersText;
    for (char c = 0x20; c < 0x7F; ++c)
        if (national.find(c) == std::string::npos) others += c, othersText += char32_t(c);
    for (int set : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 64})
        EXPECT_EQ(allText(readEscP("\x1bR"s + char(set) + others)), othersText) << set;
}

TEST(EscPText, ProprinterPrintsControlCodesAsCharactersWhenAsked) {
    const JobDocument doc =
        readEscP("\x1b\\\x03\x00\x01\x03\x0d\x1b^\x10!"s, JobLanguage::Proprinter);
    EXPECT_EQ(allText(doc), U"☺♥♪►!");
    // Its own ESC X sets margins (two bytes) and ESC : is 12 pitch.
    const JobDocument margins = readEscP("\x1bX\x0b\x32\r\x1b:A", JobLanguage::Proprinter);
    EXPECT_EQ(find(margins, U'A').x, 10 * 2160);
    EXPECT_EQ(find(margins, U'A').advance, 1800);
    // ESC _ overlines, ESC [ @ doubles height and width, ESC A + ESC 2 sets the spacing.
    const JobDocument big = readEscP(
        "\x1b_\x01o\x1b_\x00\x1b[@\x05\x00\x00\x00\x00\x02\x02W\x1b"
        "A\x18\x1b"
        "2\n\rn"s,
        JobLanguage::Proprinter);
    EXPECT_EQ(find(big, U'o').style, kJobOverline);
    EXPECT_EQ(find(big, U'W').height, 5400);
    EXPECT_EQ(find(big, U'W').advance, 4320);
    EXPECT_EQ(find(big, U'n').y, kInch / 3 + 2100);  // 24/72 inch down, on the same baseline
}

TEST(EscPText, OverstrikeOfTwoCharactersPrintsBoth) {
    const JobDocument doc = readEscP("a=\b/b");
    EXPECT_EQ(find(doc, U'=').x, 2160);
    EXPECT_EQ(find(doc, U'/').x, 2160);
    EXPECT_EQ(find(doc, U'b').x, 2 * 2160);
}

TEST(EscPText, CancelAndDeleteTakeBackWhatTheLineBufferHolds) {
    EXPECT_EQ(allText(readEscP("abc\x18"
                               "de\r\n")),
              U"de");
    EXPECT_EQ(find(readEscP("abc\x18"
                            "de\r\n"),
                   U'd')
                  .x,
              0);
    EXPECT_EQ(allText(readEscP("abc\x7f"
                               "d")),
              U"abd");
    EXPECT_EQ(find(readEscP("abc\x7f"
                            "d"),
                   U'd')
                  .x,
              2 * 2160);
    EXPECT_EQ(allText(readEscP("ab\r\nc\x18")), U"ab");  // printed lines stay printed
}

TEST(EscPText, CommandsThatDrawNothingAreSkippedWithTheirParameters) {
    const std::string skipped =
        "\x1b\x19\x31\x1bx\x01\x1bk\x00\x1bU\x01\x1bs\x01\x1b\x61\x01\x1bq\x01\x1b/\x01"
        "\x1b&\x00\x41\x41\x8b\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b"
        "\x1b:\x00\x01\x00\x1b%\x01\x1b<\x1bI\x01\x1b(i\x01\x00\x01\x1b(K\x02\x00\x00\x01"
        "\x1bz"s;
    const JobDocument doc = readEscP(skipped + "OK");
    EXPECT_EQ(allText(doc), U"OK");
    EXPECT_EQ(find(doc, U'O').x, 0);
    ASSERT_EQ(doc.warnings.size(), 1u);  // only ESC z is unknown
    EXPECT_TRUE(readEscP(skipped.substr(0, skipped.size() - 2) + "OK").warnings.empty());
}

TEST(EscPText, AReportOfStylesPitchAndSpacingOnlyNeedsNoLayoutOfItsOwn) {
    const JobDocument doc = readEscP(
        "\x1b@\x1b"
        "E\x1b"
        "3\x18"
        "Title\x1b"
        "F\r\n\x0f"
        "body\t1\x12\r\n\x1b"
        "0\x1bM\x1b-1x"
        "\x1b"
        "2\x1bP\x1b"
        "4y\x1b!\x08z\r\n\x0c"s);
    EXPECT_FALSE(doc.features.positions);
    EXPECT_FALSE(doc.features.graphics);
    EXPECT_FALSE(doc.features.formLength);
    EXPECT_TRUE(doc.features.widthsMixed);  // condensed body under a pica title
    EXPECT_TRUE(readEscP("\x1b"
                         "C\x14text")
                    .features.formLength);
    EXPECT_FALSE(readEscP("plain text\r\n").features.widthsMixed);
}

TEST(EscPText, TheCarriageIsAsWideAsTheWidestLineNeeds) {
    EXPECT_EQ(readEscP(std::string(80, 'x')).pages.at(0).width, 8 * kInch);
    EXPECT_EQ(readEscP("\x0f" + std::string(132, 'x')).pages.at(0).width, 8 * kInch);
    EXPECT_EQ(readEscP(std::string(132, 'x')).pages.at(0).width, 136 * kInch / 10);
    JobOptions narrow;
    narrow.carriageWidth = 8 * kInch;
    // On a narrow carriage a line past the right margin goes on on the next line.
    const JobDocument doc = interpretEscP(std::string(85, 'x') + "y", narrow, JobLanguage::EscP);
    EXPECT_EQ(find(doc, U'y').x, 5 * 2160);
    EXPECT_EQ(find(doc, U'y').y, kInch / 6 + 2100);
}
