// ESC/P commands one by one against the Epson reference: each line-spacing command on 9 and 24
// pins, skipping spaces and lines, tab stops every n columns or lines, the perforation skip,
// the ESC ( U unit with separate horizontal and vertical parts, ESC ( - lines, ESC ( ^ data,
// and the blocks a reader steps over whole (remote mode, EJL lines, user-defined characters).
#include <gtest/gtest.h>

#include <string>

#include "escp_job.h"

using namespace folvek::printer;
using namespace folvek::printer::test;
using namespace std::string_literals;

namespace {

constexpr JobUnits kInch = kUnitsPerInch;
constexpr JobUnits kColumn = kInch / 10;

// How far below 'a' the 'b' of a job "<setup>a\r\n b" (9-pin) or its 24-pin twin lands.
JobUnits lineGap(const std::string& setup, JobLanguage dialect) {
    const JobDocument doc = readEscP(setup + "a\r\nb", dialect);
    return find(doc, U'b').y - find(doc, U'a').y;
}

}  // namespace

TEST(EscPCommands, LineSpacingOnNineAndTwentyFourPins) {
    struct Case {
        const char* name;
        std::string setup;
        JobUnits nine, twentyFour;
    };
    const Case cases[] = {
        {"default 1/6", "", kInch / 6, kInch / 6},
        {"ESC 0: 1/8",
         "\x1b"
         "0",
         kInch / 8, kInch / 8},
        {"ESC 1: 7/72",
         "\x1b"
         "1",
         kInch * 7 / 72, kInch * 7 / 72},
        {"ESC 2: 1/6",
         "\x1b"
         "0\x1b"
         "2",
         kInch / 6, kInch / 6},
        {"ESC 3 36: 36/216 or 36/180",
         "\x1b"
         "3\x24",
         36 * kInch / 216, 36 * kInch / 180},
        {"ESC A 12: 12/72 or 12/60",
         "\x1b"
         "A\x0c",
         12 * kInch / 72, 12 * kInch / 60},
        {"ESC + 90: 90/360", "\x1b+\x5a", 90 * kInch / 360, 90 * kInch / 360},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lineGap(c.setup, JobLanguage::EscP), c.nine) << c.name;
        EXPECT_EQ(lineGap(c.setup, JobLanguage::EscP2), c.twentyFour) << c.name;
    }
    // ESC J n feeds n/216 (n/180) at once, ESC j n feeds back n/216.
    JobDocument doc = readEscP(
        "a\x1bJ\x48"
        "b"s,
        JobLanguage::EscP);
    EXPECT_EQ(find(doc, U'b').y - find(doc, U'a').y, 72 * kInch / 216);
    EXPECT_EQ(find(doc, U'b').x, kColumn);  // the head stays where it was
    doc = readEscP(
        "a\x1bJ\x48"
        "b"s,
        JobLanguage::EscP2);
    EXPECT_EQ(find(doc, U'b').y - find(doc, U'a').y, 72 * kInch / 180);
    doc = readEscP(
        "a\r\n\r\n\x1bj\x48"
        "b"s,
        JobLanguage::EscP);
    EXPECT_EQ(find(doc, U'b').y - find(doc, U'a').y, 2 * kInch / 6 - 72 * kInch / 216);
}

TEST(EscPCommands, SkipSpacesOrLinesAndTabStopsEveryN) {
    // ESC f 0 n: n spaces to the right; ESC f 1 n: n lines down (to the line's start).
    JobDocument doc = readEscP(
        "ab\x1b"
        "f\x00\x05"
        "c"s);
    EXPECT_EQ(find(doc, U'c').x, 7 * kColumn);
    doc = readEscP(
        "ab\x1b"
        "f\x01\x03"
        "c"s);
    EXPECT_EQ(find(doc, U'c').y - find(doc, U'a').y, 3 * kInch / 6);
    // Spaces stop at the right margin (ESC Q 10: ten columns).
    doc = readEscP(
        "\x1bQ\x0a"
        "ab\x1b"
        "f\x00\x14"
        "c"s);
    EXPECT_NE(find(doc, U'c').x, 22 * kColumn);
    EXPECT_LE(find(doc, U'c').x, 10 * kColumn);
    // ESC e 0 n: a tab stop every n columns; ESC e 1 n: a vertical stop every n lines.
    doc = readEscP(
        "\x1b"
        "e\x00\x04"
        "a\tb\tc"s);
    EXPECT_EQ(find(doc, U'b').x, 4 * kColumn);
    EXPECT_EQ(find(doc, U'c').x, 8 * kColumn);
    doc = readEscP(
        "\x1b"
        "e\x01\x03"
        "a\x0b"
        "b\x0b"
        "c"s);
    EXPECT_EQ(find(doc, U'b').y - find(doc, U'a').y, 3 * kInch / 6);
    EXPECT_EQ(find(doc, U'c').y - find(doc, U'a').y, 6 * kInch / 6);
    // n = 0 sets nothing: the default stops every eight columns stay.
    doc = readEscP(
        "\x1b"
        "e\x00\x00"
        "a\tb"s);
    EXPECT_EQ(find(doc, U'b').x, 8 * kColumn);
}

TEST(EscPCommands, ThePerforationSkipEndsTheFormEarly) {
    // A form of 6 lines (ESC C 6); ESC N 2 leaves the last two blank: the fifth line starts the
    // next page. ESC O cancels it.
    std::string lines;
    for (char c = 'a'; c <= 'f'; ++c) lines += std::string(1, c) + "\r\n";
    JobDocument doc = readEscP(
        "\x1b"
        "C\x06\x1bN\x02" +
        lines);
    EXPECT_EQ(find(doc, U'd').page, 0u);
    EXPECT_EQ(find(doc, U'e').page, 1u);
    doc = readEscP(
        "\x1b"
        "C\x06\x1bN\x02\x1bO" +
        lines);
    EXPECT_EQ(find(doc, U'f').page, 0u);
    // Past the end of a form the paper carries on into the next one, as continuous paper does;
    // with the perforation skipped the next form starts at its top.
    const std::string past =
        "a\x1bJ\xff"
        "b"s;  // 255/216 inch: 3900 units past a 1-inch form
    doc = readEscP(
        "\x1b"
        "C\x06\x1bN\x02\x1bO" +
        past);
    EXPECT_EQ(find(doc, U'b').page, 1u);
    EXPECT_EQ(find(doc, U'b').y - find(doc, U'a').y, 3900);
    doc = readEscP(
        "\x1b"
        "C\x06\x1bN\x02" +
        past);
    EXPECT_EQ(find(doc, U'b').page, 1u);
    EXPECT_EQ(find(doc, U'b').y, find(doc, U'a').y);
    // ESC C 0 n: the form length in inches.
    doc = readEscP(
        "\x1b"
        "C\x00\x02"
        "x"s);
    EXPECT_EQ(doc.pages.at(0).height, 2 * kInch);
}

TEST(EscPCommands, UnitsLinesAndDataOfTheParenCommands) {
    // ESC ( U 5 bytes: vertical 10/3600, horizontal 20/3600 inch (base 3600 = 0E10).
    const std::string unit = "\x1b@\x1b(U\x05\x00\x0a\x0a\x14\x10\x0e"s;
    JobDocument doc = readEscP(unit +
                                   "\x1b(V\x02\x00\x68\x01"
                                   "a\x1b($\x04\x00\x68\x01\x00\x00"
                                   "b"s,
                               JobLanguage::EscP2);
    EXPECT_EQ(find(doc, U'a').y, kInch + 2240);  // 360 x 10/3600
    EXPECT_EQ(find(doc, U'b').x, 2 * kInch);     // 360 x 20/3600
    // A base of 0 is refused: the unit stays 1/360 inch.
    doc = readEscP(
        "\x1b@\x1b(U\x05\x00\x0a\x0a\x14\x00\x00\x1b(V\x02\x00\x68\x01"
        "a"s,
        JobLanguage::EscP2);
    EXPECT_EQ(find(doc, U'a').y, kInch + 2240);
    // ESC ( U 1 byte: m/3600 for both.
    doc = readEscP(
        "\x1b@\x1b(U\x01\x00\x14\x1b(V\x02\x00\xb4\x00"
        "a\x1b($\x04\x00\xb4\x00\x00\x00"
        "b"s,
        JobLanguage::EscP2);
    EXPECT_EQ(find(doc, U'a').y, kInch + 2240);
    EXPECT_EQ(find(doc, U'b').x, kInch);

    // ESC ( - 3 0 1 d1 d2: d1 = 1 underline, 3 overline (2, strike-through, is not drawn);
    // d2 = 0 ends it.
    doc = readEscP(
        "\x1b(-\x03\x00\x01\x01\x01"
        "a\x1b(-\x03\x00\x01\x01\x00"
        "b\x1b(-\x03\x00\x01\x03\x01"
        "c\x1b(-\x03\x00\x01\x02\x01"
        "d"s);
    EXPECT_EQ(find(doc, U'a').style, kJobUnderline);
    EXPECT_EQ(find(doc, U'b').style, 0);
    EXPECT_EQ(find(doc, U'c').style, kJobOverline);
    EXPECT_EQ(find(doc, U'd').style, kJobOverline);

    // ESC ( ^: its bytes print as characters, a carriage return among them too.
    doc = readEscP(
        "\x1b(^\x03\x00"
        "a\x0d"
        "b"
        "c"s);
    EXPECT_EQ(allText(doc), U"a♪bc");
    EXPECT_EQ(find(doc, U'c').x, 3 * kColumn);
}

TEST(EscPCommands, BlocksThatAreSteppedOverWhole) {
    // Remote mode: two-letter commands with their lengths, up to ESC 00 00 00.
    JobDocument doc = readEscP(
        "\x1b(R\x08\x00\x00REMOTE1"
        "LD\x00\x00"
        "JS\x04\x00\x00\x00\x00\x00"
        "\x1b\x00\x00\x00"
        "ok"s,
        JobLanguage::EscP2);
    EXPECT_EQ(allText(doc), U"ok");
    // Epson's driver lines.
    doc = readEscP("\x1b\x01@EJL 1284.4\n@EJL     \n\x1b@ok"s);
    EXPECT_EQ(allText(doc), U"ok");
    // User-defined characters: 12 bytes each on 9 pins, 3 + 3 x width on 24.
    doc = readEscP(
        "\x1b&\x00"
        "AB"s +
            std::string(24, 'Z') + "ok",
        JobLanguage::EscP);
    EXPECT_EQ(allText(doc), U"ok");
    doc = readEscP(
        "\x1b&\x00"
        "AA"
        "\x00\x02\x00"s +
            std::string(6, 'Z') + "ok",
        JobLanguage::EscP2);
    EXPECT_EQ(allText(doc), U"ok");
    // VFU channels: a byte, then up to a NUL.
    doc = readEscP(
        "\x1b"
        "b\x01\x02\x03\x00"
        "ok"s);
    EXPECT_EQ(allText(doc), U"ok");
    // Commands with parameters to skip, and their counts.
    doc = readEscP(
        "\x1bU\x01"
        "a\x1b:\x00\x01\x02"
        "b\x1b<c\x1bx\x01"
        "d"s);
    EXPECT_EQ(allText(doc), U"abcd");
}

TEST(EscPCommands, RasterDensityOfZeroIsRefused) {
    // ESC ( D base v h: 3600/10 down and 3600/20 across; a zero density leaves what was set.
    const std::string line = "\x1bi\x00\x00\x01\x01\x00\x01\x80"s;  // one dot
    const std::string mode = "\x1b@\x1b(G\x01\x00\x01"s;
    JobDocument doc = readEscP(mode + "\x1b(D\x04\x00\x10\x0e\x0a\x14"s + line, JobLanguage::EscP2);
    ASSERT_EQ(doc.pages.at(0).rasters.size(), 1u);
    EXPECT_EQ(doc.pages[0].rasters[0].dpiY, 360);
    EXPECT_EQ(doc.pages[0].rasters[0].dpiX, 180);
    for (const std::string& bad :
         {"\x1b(D\x04\x00\x10\x0e\x00\x14"s, "\x1b(D\x04\x00\x10\x0e\x0a\x00"s,
          "\x1b(D\x03\x00\x10\x0e\x0a"s}) {
        doc = readEscP(mode + "\x1b(D\x04\x00\x10\x0e\x0a\x14"s + bad + line, JobLanguage::EscP2);
        ASSERT_EQ(doc.pages.at(0).rasters.size(), 1u);
        EXPECT_EQ(doc.pages[0].rasters[0].dpiY, 360);
        EXPECT_EQ(doc.pages[0].rasters[0].dpiX, 180);
    }
    // ESC ( t with fewer than three bytes assigns nothing.
    EXPECT_EQ(allText(readEscP("\x1b(t\x02\x00\x01\x01\x00\x1bt\x01\xe1"s)), U"с");
}

TEST(EscPCommands, RelativeMovesAndPageFormatsRefused) {
    // ESC ( \ 4 0 base nL nH: a signed move of n/base inch from where the head is.
    JobDocument doc = readEscP(
        "\x1b@abc\x1b(\\\x04\x00\xa0\x05\x68\x01"
        "d"s,
        JobLanguage::EscP2);
    EXPECT_EQ(find(doc, U'd').x, 3 * kColumn + kInch / 4);  // 360/1440
    doc = readEscP(
        "\x1b@abc\x1b(\\\x04\x00\xa0\x05\x98\xfe"
        "d"s,
        JobLanguage::EscP2);
    EXPECT_EQ(find(doc, U'd').x, 3 * kColumn - kInch / 4);
    doc = readEscP(
        "\x1b@abc\x1b(\\\x04\x00\x00\x00\x68\x01"
        "d"s,
        JobLanguage::EscP2);
    EXPECT_EQ(find(doc, U'd').x, 3 * kColumn);  // a base of 0 moves nothing
    // ESC ( $ takes four bytes: with three it moves nothing (the byte after it is not its own).
    doc = readEscP(
        "\x1b@ab\x1b($\x03\x00\x68\x01\x00\x00"
        "c"s,
        JobLanguage::EscP2);
    EXPECT_EQ(find(doc, U'c').x, 2 * kColumn);
    // ESC ( c with the bottom above the top, or below the page, is refused with a warning.
    const std::string unit = "\x1b@\x1b(U\x01\x00\x0a\x1b(C\x02\x00\x08\x07"s;  // 5 inches
    for (const std::string& format : {"\x1b(c\x04\x00\x68\x01\xb4\x00"s,        // 1 inch, 0.5 inch
                                      "\x1b(c\x04\x00\xb4\x00\x10\x0e"s,     // 0.5 inch, 10 inches
                                      "\x1b(c\x04\x00\xb4\x00\xb4\x00"s}) {  // equal
        doc = readEscP(unit + format + "A", JobLanguage::EscP2);
        EXPECT_EQ(doc.warnings.size(), 1u);
        EXPECT_EQ(find(doc, U'A').y, 2240);  // printing starts at the top of the form
    }
    // Remote mode without its end takes the rest of the job.
    doc = readEscP(
        "\x1b(R\x08\x00\x00REMOTE1"
        "LD\x00\x00"
        "text"s,
        JobLanguage::EscP2);
    EXPECT_EQ(allText(doc), U"");
    // So does one whose last bytes are too few for another command: nothing is read past them.
    for (const std::string& tail : {"t"s, "te"s, "tex"s, "\x1b\x00\x00"s}) {
        doc = readEscP("\x1b(R\x08\x00\x00REMOTE1LD\x00\x00"s + tail, JobLanguage::EscP2);
        EXPECT_EQ(allText(doc), U"") << tail.size();
    }
}

TEST(EscPCommands, ACommandWholeAtTheJobsEndIsReadAndOneCutShortIsSaid) {
    // Each command with all its parameters as the job's last bytes; then the same one byte short.
    const std::string commands[] = {
        "\x1bp\x01"s,
        "\x1bW\x01"s,
        "\x1bw\x01"s,
        "\x1b!\x00"s,
        "\x1b-\x01"s,
        "\x1bS\x00"s,
        "\x1b \x01"s,
        "\x1b"
        "c\x01\x00"s,
        "\x1bX\x05\x00\x00"s,
        "\x1bt\x01"s,
        "\x1bR\x00"s,
        "\x1b"
        "3\x10"s,
        "\x1b"
        "A\x0c"s,
        "\x1b+\x10"s,
        "\x1bJ\x10"s,
        "\x1bj\x01"s,
        "\x1b"
        "C\x10"s,
        "\x1b"
        "C\x00\x02"s,
        "\x1bN\x02"s,
        "\x1b$\x00\x00"s,
        "\x1b\\\x00\x00"s,
        "\x1bQ\x50"s,
        "\x1bl\x01"s,
        "\x1b"
        "f\x00\x01"s,
        "\x1b"
        "e\x00\x04"s,
        "\x1b(U\x01\x00\x0a"s,
        "\x1b(t\x03\x00\x01\x01\x00"s,
        "\x1bU\x01"s,
        "\x1bx\x01"s,
    };
    for (const std::string& c : commands) {
        const std::string name = testing::PrintToString(c);
        EXPECT_TRUE(readEscP("A" + c, JobLanguage::EscP2).warnings.empty()) << name;
        const JobDocument cut = readEscP("A" + c.substr(0, c.size() - 1), JobLanguage::EscP2);
        ASSERT_EQ(cut.warnings.size(), 1u) << name;
        EXPECT_EQ(cut.warnings[0], "the job ends inside a printer command") << name;
    }
    // ESC b: a channel byte, then stops up to a NUL, 17 at most; what follows prints.
    EXPECT_EQ(allText(readEscP("\x1b"
                               "b\x01"
                               "ABCDEFGHIJKLMNOPQok"s)),
              U"ok");
}

TEST(EscPCommands, ThirtyTwoTabStopsAcrossAndSixteenDown) {
    // ESC D: up to 32 stops, here every second column; the 32nd tab reaches column 64.
    std::string across =
        "\x1b"
        "D";
    for (int n = 2; n <= 64; n += 2) across += char(n);
    across += '\0';
    JobDocument doc = readEscP(across + std::string(32, '\t') + "x");
    EXPECT_EQ(find(doc, U'x').x, 64 * kColumn);
    // ESC B: up to 16 stops, every second line; the 16th vertical tab reaches line 32.
    std::string down =
        "\x1b"
        "B";
    for (int n = 2; n <= 32; n += 2) down += char(n);
    down += '\0';
    doc = readEscP(down + "a" + std::string(16, '\x0b') + "y");
    EXPECT_EQ(find(doc, U'y').y - find(doc, U'a').y, 32 * kInch / 6);
    EXPECT_EQ(find(doc, U'y').page, 0u);
}
