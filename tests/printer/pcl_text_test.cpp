// Hand-written PCL 5 jobs, one command family at a time, against the positions and sizes the
// PCL 5 reference gives: A4 portrait unless a job says otherwise, its logical page 71 dots of
// 300 in from the left edge, the first baseline three quarters of a line below the half-inch
// top margin, 10 characters per inch and 6 lines per inch after a reset.
#include <gtest/gtest.h>

#include <string>

#include "job_interpreter.h"

using namespace folvek::printer;

namespace {

constexpr JobUnits kInch = kUnitsPerInch;
constexpr JobUnits kDot = kInch / 300;
constexpr JobUnits kLeft = 71 * kDot;                   // A4 logical page
constexpr JobUnits kLine = kInch / 6;                   // default VMI
constexpr JobUnits kFirst = kInch / 2 + kLine * 3 / 4;  // first baseline
constexpr JobUnits kColumn = kInch / 10;                // default HMI

// A job with '~' standing for ESC.
std::string pcl(std::string text) {
    for (char& c : text)
        if (c == '~') c = '\x1b';
    return text;
}

JobDocument read(const std::string& text, JobOptions options = {}) {
    return interpretPcl(pcl(text), options);
}

// Where a character (the first of its kind on the page) was printed, and how.
struct Glyph {
    JobUnits x = -1, y = -1, advance = 0, height = 0;
    std::uint16_t style = 0;
};

Glyph glyph(const JobPage& page, char32_t c) {
    for (const auto& r : page.runs) {
        const auto at = r.text.find(c);
        if (at != std::u32string::npos)
            return {static_cast<JobUnits>(r.x + at * r.advance), r.y, r.advance, r.cellHeight,
                    r.style};
    }
    ADD_FAILURE() << "no " << static_cast<unsigned>(c) << " on the page";
    return {};
}

std::u32string textOf(const JobPage& page) {
    std::u32string all;
    for (const auto& r : page.runs) all += r.text;
    return all;
}

}  // namespace

TEST(PclText, ResetThenTextPrintsPlainAtTheHomePosition) {
    const JobDocument doc = read("~EHello~E");
    ASSERT_EQ(doc.pages.size(), 1u);
    const JobPage& page = doc.pages[0];
    EXPECT_EQ(page.width, 178583);  // A4: 210 mm
    ASSERT_EQ(page.runs.size(), 1u);
    const JobTextRun& run = page.runs[0];
    EXPECT_EQ(run.text, U"Hello");
    EXPECT_EQ(run.style, 0);  // the reset leaves no stroke weight behind: not bold
    EXPECT_EQ(run.x, kLeft);
    EXPECT_EQ(run.y, kFirst);
    EXPECT_EQ(run.advance, kColumn);
    EXPECT_EQ(run.cellHeight, 12 * kInch / 72 * 4 / 5);  // four fifths of the em, as ESC/P
    EXPECT_FALSE(doc.features.positions);
    EXPECT_FALSE(doc.features.graphics);
    EXPECT_FALSE(doc.features.formLength);
    EXPECT_FALSE(doc.features.widthsMixed);
    EXPECT_TRUE(doc.warnings.empty());
}

TEST(PclText, AReportThatOnlySetsStylesAndPitchKeepsItsFeaturesPlain) {
    const JobDocument doc =
        read("~E~&l26A~(3R~(s0p16.67h8.5v0s0b3T~&l8DItem  Sum\r\n~(s3BTotal~(s0B\r\n\f");
    EXPECT_FALSE(doc.features.positions);
    EXPECT_FALSE(doc.features.graphics);
    EXPECT_FALSE(doc.features.formLength);
    ASSERT_EQ(doc.pages.size(), 1u);
}

TEST(PclText, PitchStrokeWeightPostureAndUnderline) {
    const JobDocument doc =
        read("~E~(s16.67Ha~(s3Bb~(s0b1Sc~(s0S~&d0Dd~&d@e~&k0Sf~(s12Hg~(s1P~(s14Vh");
    const JobPage& p = doc.pages.at(0);
    EXPECT_EQ(glyph(p, 'a').advance, 18 * kDot);  // 16.67 pitch: 18 dots, whole PCL units
    EXPECT_EQ(glyph(p, 'a').style, 0);
    EXPECT_EQ(glyph(p, 'b').style, kJobBold);
    EXPECT_EQ(glyph(p, 'c').style, kJobItalic);
    EXPECT_EQ(glyph(p, 'd').style, kJobUnderline);
    EXPECT_EQ(glyph(p, 'e').style, 0);
    EXPECT_EQ(glyph(p, 'f').advance, kColumn);  // ESC &k0S: 10 pitch
    EXPECT_EQ(glyph(p, 'g').advance, 25 * kDot);
    EXPECT_EQ(glyph(p, 'h').style, kJobProportional);
    EXPECT_EQ(glyph(p, 'h').height, 14 * kInch / 72 * 4 / 5);  // 14 points: a cell of 4/5
    // Each character stands where the one before it ended.
    EXPECT_EQ(glyph(p, 'b').x, glyph(p, 'a').x + 18 * kDot);
    EXPECT_EQ(glyph(p, 'g').x, glyph(p, 'f').x + kColumn);
    EXPECT_TRUE(doc.features.widthsMixed);
}

TEST(PclText, LineSpacingHmiAndControlCodes) {
    const JobDocument doc = read("~E~&l8Da\nb\r\nc~&l12Cd\re~&k24Hf\bg~=h\ti");
    const JobPage& p = doc.pages.at(0);
    constexpr JobUnits line8 = kInch / 8;
    // The VMI set before anything printed moves the home position with it.
    EXPECT_EQ(glyph(p, 'a').y, kInch / 2 + line8 * 3 / 4);
    EXPECT_EQ(glyph(p, 'b').y, glyph(p, 'a').y + line8);  // LF alone keeps the column
    EXPECT_EQ(glyph(p, 'b').x, kLeft + kColumn);
    EXPECT_EQ(glyph(p, 'c').x, kLeft);  // CR LF
    EXPECT_EQ(glyph(p, 'd').x, kLeft + kColumn);
    EXPECT_EQ(glyph(p, 'e').y, glyph(p, 'd').y);  // CR alone stays on the line
    EXPECT_EQ(glyph(p, 'e').x, kLeft);
    EXPECT_EQ(glyph(p, 'f').advance, kInch / 5);              // ESC &k24H: 24/120 inch
    EXPECT_EQ(glyph(p, 'g').x, glyph(p, 'f').x);              // BS: back one column, overstrike
    EXPECT_EQ(glyph(p, 'h').y, glyph(p, 'd').y + kInch / 8);  // ESC =: half of 12/48 inch
    EXPECT_EQ(glyph(p, 'i').x, kLeft + 8 * kInch / 5);        // HT: eight columns from the margin
}

// ESC &k#H sets the spacing in 1/120 inch, 0 included (characters then overprint), a
// negative value leaves it; ESC &k#S gives 10 (0), 16.67 (2) or 12 (4) characters an inch
// and ignores other modes.
TEST(PclText, SpacingByHmiAndPitchMode) {
    struct Case {
        const char* commands;
        JobUnits spacing;
    };
    const Case cases[] = {
        {"~&k0H", 0},
        {"~&k12H", 30 * kDot},
        {"~&k6H~&k-6H", 15 * kDot},
        {"~&k2S", 18 * kDot},
        {"~&k4S", 25 * kDot},
        {"~&k2S~&k0S", 30 * kDot},
        {"~&k2S~&k1S", 18 * kDot},
        {"~&k2S~&k3S", 18 * kDot},
    };
    for (const Case& c : cases) {
        const JobDocument doc = read("~E" + std::string(c.commands) + "ab\f");
        ASSERT_EQ(doc.pages.size(), 1u) << c.commands;
        const JobPage& p = doc.pages[0];
        EXPECT_EQ(glyph(p, 'a').x, kLeft) << c.commands;
        EXPECT_EQ(glyph(p, 'b').x - glyph(p, 'a').x, c.spacing) << c.commands;
    }
}

// ESC &k#G: 1 adds a line feed to CR, 2 a carriage return to LF and FF, 3 both; other
// modes leave it as it was.
TEST(PclText, EachLineTerminationMode) {
    struct Case {
        const char* modes;
        int cLine, cColumn, dLine, dColumn;  // where "ab\rc\nd" puts c and d
    };
    const Case cases[] = {
        {"~&k0G", 0, 0, 1, 1}, {"~&k1G", 1, 0, 2, 1},      {"~&k2G", 0, 0, 1, 0},
        {"~&k3G", 1, 0, 2, 0}, {"~&k3G~&k4G", 1, 0, 2, 0}, {"~&k2G~&k-1G", 0, 0, 1, 0},
    };
    for (const Case& c : cases) {
        const JobDocument doc = read("~E" + std::string(c.modes) + "ab\rc\nd\f");
        const JobPage& p = doc.pages.at(0);
        EXPECT_EQ(glyph(p, 'c').y, kFirst + c.cLine * kLine) << c.modes;
        EXPECT_EQ(glyph(p, 'c').x, kLeft + c.cColumn * kColumn) << c.modes;
        EXPECT_EQ(glyph(p, 'd').y, kFirst + c.dLine * kLine) << c.modes;
        EXPECT_EQ(glyph(p, 'd').x, kLeft + c.dColumn * kColumn) << c.modes;
    }
}

// The cursor stack holds twenty places (ESC &f0S); a pop (ESC &f1S) with none left stays.
TEST(PclText, TheCursorStackHoldsTwentyPlaces) {
    std::string job = "~E";
    for (int column = 1; column <= 21; ++column) job += "~&a" + std::to_string(column) + "C~&f0S";
    job += "~&a0C~&f1Sa";  // back to the 20th place: the 21st was not kept
    for (int i = 0; i < 19; ++i) job += "~&f1S";
    job += "b~&f1S~&a40Cc~&f1Sd\f";  // b at the 1st place; the pops after it move nothing
    const JobDocument doc = read(job);
    const JobPage& p = doc.pages.at(0);
    EXPECT_EQ(glyph(p, 'a').x, kLeft + 20 * kColumn);
    EXPECT_EQ(glyph(p, 'b').x, kLeft + 1 * kColumn);
    EXPECT_EQ(glyph(p, 'd').x, kLeft + 41 * kColumn);
}

// ESC &u#D takes whole numbers of units an inch from 96 to 7200 that divide the printer's
// resolution evenly; other values leave the unit (ESC *p#X moves in it) as it was.
TEST(PclText, UnitsOfMeasureFrom96To7200) {
    struct Case {
        const char* units;
        int move;  // ESC *p#X that lands one inch right of the left edge
    };
    const Case cases[] = {
        {"96", 96},    {"7200", 7200}, {"600", 600},  {"95", 300},
        {"7201", 300}, {"48", 300},    {"7000", 300}, {"100.5", 300},
    };
    for (const Case& c : cases) {
        const JobDocument doc =
            read("~E~&u" + std::string(c.units) + "D~*p" + std::to_string(c.move) + "Xa\f");
        EXPECT_EQ(glyph(doc.pages.at(0), 'a').x, kLeft + kInch) << c.units;
    }
}

// Line spacing, top margin and text length at the ends of their ranges, the registration
// offsets, copies and the paper-source eject. Values out of range leave the setting.
TEST(PclText, PageControlValuesAtTheEndsOfTheirRanges) {
    struct Case {
        const char* commands;
        JobUnits lineSpacing;  // from 'a' to 'b' on the next line
        JobUnits aX, aY;       // where 'a' stands, from the first column and baseline
        std::size_t pages;
    };
    constexpr JobUnits kDeci = kInch / 720;
    const Case cases[] = {
        {"", kLine, 0, 0, 1},
        {"~&l48C", kInch, 0, kInch * 3 / 4 - kLine * 3 / 4, 1},  // VMI in 1/48 inch
        {"~&l49C~&l337C", kInch * 49 / 48, 0, kInch * 49 / 48 * 3 / 4 - kLine * 3 / 4, 1},
        {"~&l0C", 0, 0, -kLine * 3 / 4, 1},
        {"~&l336C", 0, 0, 7 * kInch * 3 / 4 - kLine * 3 / 4, 2},   // 7 inches: 'b' falls off
        {"~&l48D", kInch / 48, 0, kInch / 64 - kLine * 3 / 4, 1},  // lines an inch
        {"~&l1D", kInch, 0, kInch * 3 / 4 - kLine * 3 / 4, 1},
        {"~&l49D~&l0D", kLine, 0, 0, 1},
        {"~&l0E", kLine, 0, -kInch / 2, 1},  // top margin in lines
        {"~&l3E", kLine, 0, 3 * kLine - kInch / 2, 1},
        {"~&l-1E~&l100E", kLine, 0, 0, 1},
        {"~&l1F", kLine, 0, 0, 2},  // a text length of one line: 'b' on the next page
        {"~&l2F~&l0F", kLine, 0, 0, 1},
        {"~&l720U", kLine, 720 * kDeci, 0, 1},  // registration in decipoints
        {"~&l9000U", kLine, 7200 * kDeci, 0, 1},
        {"~&l-720Z", kLine, 0, -720 * kDeci, 1},
        {"~&l9000Z", kLine, 0, 7200 * kDeci, 1},
    };
    for (const Case& c : cases) {
        const JobDocument doc = read("~E" + std::string(c.commands) + "a\r\nb\f");
        ASSERT_EQ(doc.pages.size(), c.pages) << c.commands;
        const Glyph a = glyph(doc.pages[0], 'a');
        EXPECT_EQ(a.x, kLeft + c.aX) << c.commands;
        EXPECT_EQ(a.y, kFirst + c.aY) << c.commands;
        if (c.pages == 1) {
            EXPECT_EQ(glyph(doc.pages[0], 'b').y - a.y, c.lineSpacing) << c.commands;
        }
    }
    // Copies are said once and shown once; paper source 0 ejects the page, others do not.
    EXPECT_EQ(read("~E~&l2Xa\f").warnings.size(), 1u);
    EXPECT_TRUE(read("~E~&l1Xa\f").warnings.empty());
    EXPECT_EQ(read("~Ea~&l0Hb\f").pages.size(), 2u);
    EXPECT_EQ(read("~Ea~&l1Hb\f").pages.size(), 1u);
    // A form shorter than its half-inch margins has no text area: with no line spacing, a line
    // feed 1/21600 inch below its top already ejects the page.
    EXPECT_EQ(read("~E~&l1P~&l0C~&u7200D~*p0.34Ya\nb\f").pages.size(), 2u);
    EXPECT_EQ(read("~E~&l1P~&l0C~&u7200D~*p0Ya\nb\f").pages.size(), 1u);
}

TEST(PclText, CursorPositioningAbsoluteAndRelative) {
    const JobDocument doc = read(
        "~E~&a10Ca~&a+5Cb~&a-3Cc~&a720Hd~*p300Xe~&u600D~*p600Xf~&a2Rg~&a720Vh~*p0Yi"
        "~*p+150Y~*p-30Xj");
    const JobPage& p = doc.pages.at(0);
    EXPECT_EQ(glyph(p, 'a').x, kLeft + 10 * kColumn);
    EXPECT_EQ(glyph(p, 'b').x, kLeft + 16 * kColumn);  // after 'a', five more columns
    EXPECT_EQ(glyph(p, 'c').x, kLeft + 14 * kColumn);
    EXPECT_EQ(glyph(p, 'd').x, kLeft + kInch);  // 720 decipoints
    EXPECT_EQ(glyph(p, 'e').x, kLeft + kInch);  // 300 PCL units
    EXPECT_EQ(glyph(p, 'f').x, kLeft + kInch);  // 600 units of 1/600
    // Rows are counted from the top margin, each standing on its baseline.
    EXPECT_EQ(glyph(p, 'g').y, kInch / 2 + 2 * kLine + kLine * 3 / 4);
    EXPECT_EQ(glyph(p, 'h').y, kInch / 2 + kInch);
    EXPECT_EQ(glyph(p, 'i').y, kInch / 2);
    EXPECT_EQ(glyph(p, 'j').y, kInch / 2 + kInch / 4);
    EXPECT_EQ(glyph(p, 'j').x, glyph(p, 'i').x + kColumn - kInch / 20);
    EXPECT_TRUE(doc.features.positions);
    EXPECT_TRUE(doc.warnings.empty());
}

TEST(PclText, MarginsTabsPushPopAndLineTermination) {
    const JobDocument doc =
        read("~E~&l0E~&a10L~&a29Ma\rb~&f0S~&a5R~&a40Cc~&f1Sd~&k2G\ne\n~&s0C0123456789ABCDEFGHIJK");
    const JobPage& p = doc.pages.at(0);
    EXPECT_EQ(glyph(p, 'a').y, kLine * 3 / 4);         // top margin 0, the cursor still at home
    EXPECT_EQ(glyph(p, 'a').x, kLeft + 10 * kColumn);  // a new left margin takes the cursor
    EXPECT_EQ(glyph(p, 'b').x, kLeft + 10 * kColumn);
    EXPECT_EQ(glyph(p, 'c').x, kLeft + 40 * kColumn);  // column moves ignore the margins
    EXPECT_EQ(glyph(p, 'c').y, 5 * kLine + kLine * 3 / 4);
    EXPECT_EQ(glyph(p, 'd').x, glyph(p, 'b').x + kColumn);  // popped back behind 'b'
    EXPECT_EQ(glyph(p, 'd').y, glyph(p, 'b').y);
    EXPECT_EQ(glyph(p, 'e').x, kLeft + 10 * kColumn);  // LF is CR LF now
    EXPECT_EQ(glyph(p, 'e').y, glyph(p, 'b').y + kLine);
    // End-of-line wrap at the right margin (after column 29): twenty columns to a line.
    EXPECT_EQ(glyph(p, 'J').x, kLeft + 29 * kColumn);
    EXPECT_EQ(glyph(p, 'K').x, kLeft + 10 * kColumn);
    EXPECT_EQ(glyph(p, 'K').y, glyph(p, 'e').y + 2 * kLine);
    // A left margin at or right of the right margin is ignored, and so is a right margin at or
    // left of the left one.
    const JobDocument crossed = read("~E~&a20M~&a30Lx\r~&a5L~&a3My");
    const JobPage& q = crossed.pages.at(0);
    EXPECT_EQ(glyph(q, 'x').x, kLeft);
    EXPECT_EQ(glyph(q, 'y').x, kLeft + 5 * kColumn);
}

TEST(PclText, PageLengthTextLengthAndPerforationSkip) {
    // A 20-line form: the sheet is 20 lines long; five lines of text to a page from the top.
    JobDocument doc = read("~E~&l20P~&l0E~&l5F1\n2\n3\n4\n5\n6\n7");
    EXPECT_TRUE(doc.features.formLength);
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(doc.pages[0].height, 20 * kLine);
    EXPECT_EQ(doc.pages[0].runs.size(), 5u);
    EXPECT_EQ(doc.pages[1].runs.at(0).y, kLine * 3 / 4);
    // With the skip off, lines go on to the sheet's bottom.
    doc = read("~E~&l20P~&l0E~&l5F~&l0L1\n2\n3\n4\n5\n6\n7");
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(doc.pages[0].runs.size(), 7u);
    // A top margin alone leaves half an inch (three lines) at the bottom: 20 - 2 - 3 lines.
    std::string lines = "~E~&l20P~&l2E";
    for (int i = 0; i < 20; ++i) lines += "x\n";
    doc = read(lines);
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(doc.pages[0].runs.size(), 15u);
    // The shortest form a printer takes is one dot (1/300 inch) long; a shorter one is ignored.
    doc = read("~E~&l0.16C~&l1Px");
    EXPECT_TRUE(doc.features.formLength);
    EXPECT_EQ(doc.pages.at(0).height, kUnitsPerInch / 300);
    doc = read("~E~&l0.15C~&l1Px");
    EXPECT_FALSE(doc.features.formLength);
}

TEST(PclText, ACharacterWiderThanTheLinePrintsAtTheLeftMarginWithoutAWrap) {
    // Margins a column apart at 10 pitch, then 2-inch characters with end-of-line wrap on:
    // the first prints where it stands, the next wraps to the following line.
    const JobDocument doc = read("~E~&s0C~&a0L~&a0M~&k240HAB");
    ASSERT_EQ(doc.pages.size(), 1u);
    const Glyph a = glyph(doc.pages[0], U'A'), b = glyph(doc.pages[0], U'B');
    EXPECT_EQ(a.x, kLeft);
    EXPECT_EQ(a.y, kFirst);
    EXPECT_EQ(b.x, kLeft);
    EXPECT_EQ(b.y, kFirst + kLine);
}

TEST(PclText, PaperSizesOrientationAndPages) {
    const JobDocument doc = read("~E~&l2Aletter\f~&l1Olandscape~&l26A~&l0Oa4\f\f");
    ASSERT_EQ(doc.pages.size(), 4u);
    EXPECT_EQ(doc.pages[0].width, 17 * kInch / 2);
    EXPECT_EQ(doc.pages[0].runs.at(0).x, 75 * kDot);
    // Landscape turns the sheet; the logical page sits 60 dots in.
    EXPECT_EQ(doc.pages[1].width, 11 * kInch);
    EXPECT_EQ(doc.pages[1].height, 17 * kInch / 2);
    EXPECT_EQ(doc.pages[1].runs.at(0).x, 60 * kDot);
    // A new paper ejects the marked page; a form feed on a blank sheet still feeds it.
    EXPECT_EQ(textOf(doc.pages[1]), U"landscape");
    EXPECT_EQ(textOf(doc.pages[2]), U"a4");
    EXPECT_TRUE(doc.pages[3].runs.empty());
    // Reverse landscape turns the sheet as landscape does; reverse portrait keeps it upright.
    const JobDocument reverse = read("~E~&l3Oturned\f~&l2Oupright");
    ASSERT_EQ(reverse.pages.size(), 2u);
    EXPECT_GT(reverse.pages[0].width, reverse.pages[0].height);
    EXPECT_LT(reverse.pages[1].width, reverse.pages[1].height);
}

TEST(PclText, SymbolSetsChooseTheCharacterTable) {
    JobOptions options;
    options.charTable = CharTable::Pc866;
    const JobDocument doc = read(
        "~E\x80~(10U\x80~(12U\x9D~(17U\xA5~(3R\x80~(9R\xC0~(19U\x80~(0N\xE9~(8U\xE9"
        "~(99Q\x80~)10U\x0E\x80\x0F\x80",
        options);
    EXPECT_EQ(textOf(doc.pages.at(0)), U"АÇØąАА€ééАÇА");
}

TEST(PclText, JobLanguageHpglAndCopiesAreNotText) {
    const JobDocument doc = read(
        "~%-12345X@PJL JOB NAME=\"x\"\r\n@PJL SET COPIES=1\r\n@PJL ENTER LANGUAGE = PCL\r\n"
        "~E~&l3XBefore~%0BIN;SP1;PU100,100;PD200,200;LBText\x03;~%0AAfter~E~%-12345X"
        "@PJL EOJ\r\n~%-12345X");
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(textOf(doc.pages[0]), U"BeforeAfter");
    EXPECT_EQ(doc.warnings.size(), 2u);  // HP-GL/2 not drawn, three copies shown once
}

TEST(PclText, JobLanguageLinesAtTheVeryStartAreNotText) {
    const JobDocument doc = read("@PJL JOB\r\n@PJL ENTER LANGUAGE=PCL\r\n~EText");
    EXPECT_EQ(textOf(doc.pages.at(0)), U"Text");
}

TEST(PclText, TransparentDataPrintsItsBytes) {
    const JobDocument doc = read(
        "~E~&p3X\x1b"
        "A\x80Z",
        JobOptions{CharTable::Pc437});
    EXPECT_EQ(textOf(doc.pages.at(0)), U"AÇZ");
}

TEST(PclMacros, AnOverlayPrintsItsFormUnderEveryPage) {
    const JobDocument doc = read(
        "~E~&f1Y~&f0X~*p0x0Y~*c300a2b0P~(s3BFORM~&f1X~&f4X"  // macro 1: a rule and a title
        "A\fB\f");
    ASSERT_EQ(doc.pages.size(), 2u);
    for (const JobPage& p : doc.pages) {
        EXPECT_EQ(p.rules.size(), 1u);
        EXPECT_EQ(glyph(p, 'F').style, kJobBold);  // the form's own settings...
        EXPECT_EQ(glyph(p, 'F').y, kInch / 2);
    }
    // ... are undone for the page's own text, which keeps its place.
    EXPECT_EQ(glyph(doc.pages[0], 'A').style, 0);
    EXPECT_EQ(glyph(doc.pages[0], 'A').y, kFirst);
    EXPECT_EQ(glyph(doc.pages[1], 'B').x, kLeft + kColumn);
}

TEST(PclMacros, ExecuteKeepsSettingsCallUndoesThemAndNestingStops) {
    JobDocument doc = read("~E~&f2Y~&f0X~(s3B~&f1X~&f2Xa~(s0B~&f3Xb");
    EXPECT_EQ(glyph(doc.pages.at(0), 'a').style, kJobBold);
    EXPECT_EQ(glyph(doc.pages.at(0), 'b').style, 0);
    // A macro that runs itself stops at the printer's nesting depth.
    doc = read("~E~&f5Y~&f0Xx~&f2X~&f1X~&f2X");
    EXPECT_EQ(textOf(doc.pages.at(0)), U"xxx");
    EXPECT_FALSE(doc.warnings.empty());
    // A definition the job never ends prints nothing of itself.
    doc = read("~E~&f0Xhidden");
    EXPECT_TRUE(doc.pages.empty());
    EXPECT_FALSE(doc.warnings.empty());
}
