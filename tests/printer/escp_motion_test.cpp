// Hand-written ESC/P jobs: horizontal and vertical moves, margins, tab stops, line spacing,
// page length and sheets, with the distances the Epson references give.
#include <gtest/gtest.h>

#include "escp_job.h"

using namespace folvek::printer;
using namespace folvek::printer::test;
using namespace std::string_literals;

namespace {
constexpr JobUnits kInch = kUnitsPerInch;
constexpr JobUnits kBase9 = 2100;  // baseline below the head on 9 pins
}  // namespace

TEST(EscPMotion, HorizontalTabsDefaultToEveryEightColumnsAndFollowEscD) {
    EXPECT_EQ(find(readEscP("ab\tX"), U'X').x, 8 * 2160);
    EXPECT_EQ(find(readEscP("\x1bM"
                            "ab\tX"),
                   U'X')
                  .x,
              8 * 1800);
    // ESC D: stops in columns of the pitch in force when they are set; later pitch changes
    // leave them where they are. The bar after a tab stands at its stop.
    const JobDocument doc = readEscP(
        "\x1b"
        "D\x05\x14\x00\x1bM"
        "a\tb\t|\tc"s);
    EXPECT_EQ(find(doc, U'b').x, 5 * 2160);
    EXPECT_EQ(find(doc, U'|').x, 20 * 2160);
    EXPECT_EQ(find(doc, U'c').x, 20 * 2160 + 1800);  // no stop left: the tab does nothing
    EXPECT_TRUE(doc.features.positions);
    // ESC D NUL clears every stop.
    EXPECT_EQ(find(readEscP("\x1b"
                            "D\x00"
                            "a\tb"s),
                   U'b')
                  .x,
              2160);
    // A stop on the right margin is reached (the next character no longer fits and goes to
    // the next line); one past it leaves the position as it is.
    const JobDocument edge = readEscP(
        "\x1bQ\x14\x1b"
        "D\x14\x00"
        "a\tX\r\n\x1b"
        "D\x15\x00"
        "b\tY"s);
    EXPECT_EQ(find(edge, U'X').x, 0);
    EXPECT_EQ(find(edge, U'X').y, find(edge, U'a').y + kInch / 6);
    EXPECT_EQ(find(edge, U'Y').x, 2160);
    // Plain tabs are not a layout of the job's own.
    EXPECT_FALSE(readEscP("a\tb\r\n").features.positions);
}

TEST(EscPMotion, AbsoluteAndRelativeMovesAreMeasuredFromTheLeftMargin) {
    // ESC $ in 1/60 inch from the left margin; ESC \ in 1/120 (9 pins) or 1/180 (24 pins).
    const JobDocument doc = readEscP(
        "\x1bl\x05\x1b$\x78\x00"
        "A\x1b\\\x78\x00"
        "B\x1b\\\x88\xff"
        "C"s);
    EXPECT_EQ(find(doc, U'A').x, 5 * 2160 + 2 * kInch);
    EXPECT_EQ(find(doc, U'B').x, 5 * 2160 + 2 * kInch + 2160 + kInch);
    EXPECT_EQ(find(doc, U'C').x, 5 * 2160 + 2 * kInch + 2 * 2160 + kInch - 120 * 180);
    EXPECT_TRUE(doc.features.positions);
    const JobDocument lq = readEscP(
        "\x1b+\x3c\x1b\\\xb4\x00"
        "A"s);  // ESC + makes it 24-pin
    EXPECT_EQ(find(lq, U'A').x, kInch);
    // A move to the right margin itself is allowed (a backspace then steps back from it).
    const JobDocument edge = readEscP(
        "\x1bQ\x0a"
        "a\x1b$\x3c\x00\bA"s);
    EXPECT_EQ(find(edge, U'A').x, 9 * 2160);
    // A move left of the left margin is ignored, with a warning.
    const JobDocument back = readEscP(
        "\x1bl\x05"
        "A\x1b\\\x00\xf0"
        "B"s);
    EXPECT_EQ(find(back, U'B').x, 6 * 2160);
    EXPECT_FALSE(back.warnings.empty());
}

TEST(EscPMotion, MovesCountInTheirOwnUnitsUntilEscP2SetsOne) {
    // ESC $ counts 1/60 inch, ESC \ 1/180 on 24 pins and 1/120 on 9, however an ESC ( U
    // sets the unit on a printer that is not ESC/P2; on ESC/P2 both count in its unit.
    struct Case {
        const char* name;
        std::string unit;
        JobLanguage dialect;
        JobUnits dollar, backslash;  // the units of 60 and of 180 steps
    } cases[] = {
        {"ESC/P2 with no unit set", "", JobLanguage::EscP2, kUnitsPerInch, kUnitsPerInch},
        {"ESC/P2 in 1/360", "\x1b(U\x01\x00\x0a"s, JobLanguage::EscP2, kUnitsPerInch / 6,
         kUnitsPerInch / 2},
        {"24 pins, a unit set", "\x1b(U\x01\x00\x0a"s, JobLanguage::EscP, kUnitsPerInch,
         kUnitsPerInch},
        {"9 pins", "", JobLanguage::EscP, kUnitsPerInch, kUnitsPerInch * 3 / 2},
    };
    for (const Case& c : cases) {
        const JobDocument doc =
            readEscP(c.unit + "\x1b$\x3c\x00"s + "A\r\x1b\\\xb4\x00"s + "B", c.dialect);
        EXPECT_EQ(find(doc, U'A').x, c.dollar) << c.name;
        EXPECT_EQ(find(doc, U'B').x, c.backslash) << c.name;
    }
}

TEST(EscPMotion, ExtendedRelativeMovesCountInTheUnitTheyName) {
    // ESC ( \ 4 0 d n: n steps of 1/d inch, from where the head is; d = 0 moves nothing.
    struct Case {
        int denominator, steps;
        JobUnits move;
    } cases[] = {
        {1, 1, kUnitsPerInch}, {2, 3, kUnitsPerInch * 3 / 2}, {360, 360, kUnitsPerInch}, {0, 5, 0}};
    for (const Case& c : cases) {
        const std::string move = "\x1b(\\\x04\x00"s + char(c.denominator & 255) +
                                 char(c.denominator >> 8) + char(c.steps & 255) +
                                 char(c.steps >> 8);
        const JobDocument doc = readEscP("a" + move + "B", JobLanguage::EscP2);
        EXPECT_EQ(find(doc, U'B').x, kUnitsPerInch / 10 + c.move) << c.denominator;
    }
}

TEST(EscPMotion, MarginsBoundTheLineAndCarriageReturnGoesToTheLeftOne) {
    const JobDocument doc = readEscP(
        "\x1bl\x05\x1bQ\x14"
        "abcdefghijklmnopq\r\nZ"s);
    EXPECT_EQ(find(doc, U'a').x, 5 * 2160);
    // Fifteen columns fit between 5 and 20; the sixteenth goes to the next line.
    EXPECT_EQ(find(doc, U'p').x, 5 * 2160);
    EXPECT_EQ(find(doc, U'p').y, kInch / 6 + kBase9);
    EXPECT_EQ(find(doc, U'Z').x, 5 * 2160);
    EXPECT_EQ(find(doc, U'Z').y, 2 * kInch / 6 + kBase9);
}

TEST(EscPMotion, LineSpacingCommandsGiveTheReferenceDistances) {
    struct Case {
        std::string codes;
        JobUnits spacing;
    } cases[] = {
        {"\x1b"
         "0",
         kInch / 8},
        {"\x1b"
         "1",
         7 * kInch / 72},
        {"\x1b"
         "2",
         kInch / 6},
        {"\x1b"
         "3\x24",
         36 * 100},
        {"\x1b"
         "A\x0c",
         12 * 300},
        {"", kInch / 6},
    };
    for (const Case& k : cases) {
        const JobDocument doc = readEscP(k.codes + "a\nb");
        EXPECT_EQ(find(doc, U'b').y - find(doc, U'a').y, k.spacing) << k.codes;
    }
    // 24 pins: ESC 3 in 1/180, ESC A in 1/60, ESC + in 1/360.
    const JobDocument lq = readEscP(
        "\x1b+\x5a"
        "a\nb\x1b"
        "3\x3c\nc\x1b"
        "A\x0a\nd"s);
    EXPECT_EQ(find(lq, U'b').y - find(lq, U'a').y, kInch / 4);
    EXPECT_EQ(find(lq, U'c').y - find(lq, U'b').y, kInch / 3);
    EXPECT_EQ(find(lq, U'd').y - find(lq, U'c').y, kInch / 6);
}

TEST(EscPMotion, FeedsAndReverseFeedsMoveOnlyThePaper) {
    const JobDocument doc = readEscP(
        "ab\x1bJ\x6c"
        "c\x1bj\x36"
        "d"s);
    EXPECT_EQ(find(doc, U'c').y, kInch / 2 + kBase9);  // 108/216 inch, same column
    EXPECT_EQ(find(doc, U'c').x, 2 * 2160);
    EXPECT_EQ(find(doc, U'd').y, kInch / 4 + kBase9);
    EXPECT_TRUE(doc.features.positions);
}

TEST(EscPMotion, VerticalTabsFeedALineWithoutStopsAndGoToTheirStopsWithThem) {
    EXPECT_EQ(find(readEscP("a\x0b"
                            "b"),
                   U'b')
                  .y,
              kInch / 6 + kBase9);
    const JobDocument doc = readEscP(
        "\x1b"
        "B\x03\x06\x00"
        "a\x0b"
        "b\x0b"
        "c\x0b"
        "d"s);
    EXPECT_EQ(find(doc, U'b').y, 3 * kInch / 6 + kBase9);
    EXPECT_EQ(find(doc, U'b').x, 0);
    EXPECT_EQ(find(doc, U'c').y, 6 * kInch / 6 + kBase9);
    EXPECT_EQ(find(doc, U'd').page, 1u);  // no stop below: the next sheet
    EXPECT_TRUE(doc.features.positions);
}

// ESC e 0 n: 32 tab stops every n columns; ESC e 1 n: 16 vertical stops every n lines; n = 0
// changes nothing.
TEST(EscPMotion, FixedTabIncrementsSetThirtyTwoColumnsAndSixteenLines) {
    const std::string tabs = std::string(32, '\t');
    const JobDocument across = readEscP("\033e\000\002"s + tabs + "X\r\n" + tabs + "\tY"s);
    EXPECT_EQ(find(across, U'X').x, 64 * 2160);
    EXPECT_EQ(find(across, U'Y').x, 64 * 2160) << "no 33rd stop: the tab does nothing";
    EXPECT_TRUE(across.features.positions);
    EXPECT_EQ(find(readEscP("\033e\000\000ab\tX"s), U'X').x, 8 * 2160);
    EXPECT_EQ(find(readEscP("\033e\002\003a\tX"s), U'X').x, 3 * 2160) << "even m: across";

    const JobDocument down = readEscP("\033e\001\002a"s + std::string(15, '\v') + "b\vc\vd"s);
    EXPECT_EQ(find(down, U'b').y, 30 * kInch / 6 + kBase9);
    EXPECT_EQ(find(down, U'c').y, 32 * kInch / 6 + kBase9);
    EXPECT_EQ(find(down, U'c').page, 0u);
    EXPECT_EQ(find(down, U'd').page, 1u);  // no stop below: the next sheet
    EXPECT_EQ(find(readEscP("\033e\001\000a\vb"s), U'b').y, kInch / 6 + kBase9);
}

TEST(EscPMotion, PageLengthInLinesOrInchesMakesTheSheets) {
    std::string lines;
    for (int i = 0; i < 25; ++i) lines += "line\r\n";
    const JobDocument doc = readEscP(
        "\x1b"
        "C\x14" +
        lines);
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(doc.pages[0].height, 20 * kInch / 6);
    EXPECT_EQ(doc.pages[0].runs.size(), 20u);
    EXPECT_TRUE(doc.features.formLength);
    const JobDocument inches = readEscP(
        "\x1b"
        "C\x00\x03"
        "a\x0c"
        "b"s);
    ASSERT_EQ(inches.pages.size(), 2u);
    EXPECT_EQ(inches.pages[1].height, 3 * kInch);
    // Skip-over-perforation ends a sheet that many lines before its bottom.
    std::string skip =
        "\x1b"
        "C\x0a\x1bN\x02"s;
    for (int i = 0; i < 9; ++i) skip += "x\r\n";
    EXPECT_EQ(readEscP(skip).pages.size(), 2u);
}

TEST(EscPMotion, AFormFilledToTheBottomThenFedMakesNoBlankSheet) {
    std::string job;
    for (int i = 0; i < 66; ++i) job += "row\r\n";
    EXPECT_EQ(readEscP(job + "\x0c").pages.size(), 1u);
    EXPECT_EQ(readEscP(job + "\n\x0c").pages.size(), 2u);  // fed further: that sheet comes out
    EXPECT_EQ(readEscP("a\x0c\x0c"
                       "b")
                  .pages.size(),
              3u);  // a blank form fed is a sheet
}

// ESC ( C takes a 16- or a 32-bit length; a length cut short changes nothing.
TEST(EscPMotion, ThePageLengthInItsTwoFormsAndCutShort) {
    const JobUnits plain = readEscP("A", JobLanguage::EscP2).pages.at(0).height;
    const std::string unit = "\x1b@\x1b(U\x01\x00\x0a"s;  // 1/360 inch
    const struct {
        std::string length;
        JobUnits height;
    } cases[] = {
        {"\x1b(C\x02\x00\x08\x07"s, 5 * kInch},          // 1800/360
        {"\x1b(C\x04\x00\x08\x07\x00\x00"s, 5 * kInch},  // the same in 32 bits
        {"\x1b(C\x04\x00\x10\x0e\x00\x00"s, 10 * kInch},
        {"\x1b(C\x01\x00\x08"s, plain},  // one byte: no length
        // 1/3600 inch: 20 inches need the high half.
        {"\x1b(U\x01\x00\x01\x1b(C\x04\x00\x40\x19\x01\x00"s, 20 * kInch},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readEscP(unit + c.length + "AB", JobLanguage::EscP2).pages.at(0).height, c.height)
            << testing::PrintToString(c.length);
}

TEST(EscPMotion, EscP2PositionsAndPageFormatCountInItsUnit) {
    const std::string job =
        "\x1b@\x1b(U\x01\x00\x0a"         // 1/360 inch
        "\x1b(C\x02\x00\x08\x07"          // page length 1800/360 = 5 inches
        "\x1b(c\x04\x00\xb4\x00\x38\x06"  // top 0.5 inch, bottom 1592/360
        "\x1b(V\x02\x00\x68\x01"
        "A"  // 1 inch below the top margin
        "\x1b(v\x02\x00\x4c\xff"
        "B"  // 180/360 back up
        "\x1b(\x24\x04\x00\xd0\x02\x00\x00"
        "C"  // 720/360 from the left
        "\x1b$\x68\x01"
        "D"s;  // ESC $ in the same unit
    const JobDocument doc = readEscP(job, JobLanguage::EscP2);
    const JobUnits base24 = 2240;
    EXPECT_EQ(find(doc, U'A').y, kInch / 2 + kInch + base24);
    EXPECT_EQ(find(doc, U'B').y, kInch + base24);
    EXPECT_EQ(find(doc, U'C').x, 2 * kInch);
    EXPECT_EQ(find(doc, U'D').x, kInch);
    EXPECT_EQ(doc.pages.at(0).height, 5 * kInch);
    EXPECT_TRUE(doc.features.positions);
    EXPECT_TRUE(doc.features.formLength);
    // After a form feed printing starts at the top margin.
    EXPECT_EQ(find(readEscP(job + "\x0c"
                                  "E",
                            JobLanguage::EscP2),
                   U'E')
                  .y,
              kInch / 2 + base24);
}
