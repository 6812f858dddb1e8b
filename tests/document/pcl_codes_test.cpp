// HP PCL 5 codes as the loader stores them: the text-mode commands become the same style tags
// and pitch the Epson ones give, every other sequence goes whole with its data bytes, broken
// or cut sequences lose no text around them, and Epson and PCL can meet in one file.
#include <gtest/gtest.h>

#include "print_file_fixture.h"
#include "style_tags.h"
#include "test_support.h"

namespace folvek {
namespace {

using namespace std::string_literals;
using coretest::texts;
using V = std::vector<std::string>;

class PclCodesTest : public coretest::PrintFileTest {};

TEST_F(PclCodesTest, TextModeCommandsBecomeTags) {
    // ESC E at the head of a PCL job is a reset, not Epson bold.
    EXPECT_EQ(load("\x1b"
                   "E\x1b(s3BBold\x1b(s0B plain \x1b(s1Sit\x1b(s0S \x1b&d0Du\x1b&d@.\r\n"),
              V{"<B>Bold</B> plain <I>it</I> <U>u</U>."});
    // Combined fields, floating underline, a condensed italic style, a negative weight.
    EXPECT_EQ(load("\x1b(s1s3BBI\x1b(s0s0B \x1b&d3Dfl\x1b&d@ \x1b(s5Sci\x1b(s0S\x1b(s-3Blight\n"),
              V{"<B><I>BI</B></I> <U>fl</U> <I>ci</I>light"});
    // The posture is the style's lowest two bits: condensed, outline and expanded upright
    // styles are upright, condensed alternate italic is italic.
    EXPECT_EQ(load("\x1b(s4Sc \x1b(s32So \x1b(s24Se \x1b(s6Sca\x1b(s0S.\n"), V{"c o e <I>ca</I>."});
    // Styles carry over lines; ESC E in the middle of a PCL job ends them all.
    EXPECT_EQ(load("\x1b&l0O\x1b(s3Ba\nb\x1b"
                   "Ec\n"),
              (V{"<B>a", "b</B>c"}));
    EXPECT_EQ(doc->lines.styleAt(1), kBold);
}

// A PCL job of plain text sent between two resets, as HP has every job writer send it: the
// first ESC E is a reset, not Epson's bold. An Epson report that starts with bold and turns it
// off keeps its bold title.
TEST_F(PclCodesTest, AJobFramedByResetsIsNotBold) {
    EXPECT_EQ(load("\x1b"
                   "EReport\r\nTotal 100\r\n\f\x1b"
                   "E"),
              (V{"Report", "Total 100", "", "\f", ""}));
    EXPECT_EQ(doc->lines.styleAt(1), 0);
    EXPECT_EQ(load("\x1b%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE=PCL\r\n\x1b"
                   "EText\r\n\x1b"
                   "E\x1b%-12345X@PJL EOJ\r\n\x1b%-12345X"),
              (V{"Text"}));
    EXPECT_EQ(doc->lines.styleAt(0), 0);
    // An exit after the last reset, with no job-language lines.
    EXPECT_EQ(load("\x1b"
                   "EText\r\n\x1b"
                   "E\x1b%-12345X"),
              (V{"Text"}));
    EXPECT_EQ(doc->lines.styleAt(0), 0);
    EXPECT_EQ(load("\x1b"
                   "ETitle\x1b"
                   "F\r\nbody\r\n"),
              (V{"<B>Title", "</B>body"}));
    EXPECT_EQ(load("\x1b"
                   "EAll bold\r\nstill\r\n"),  // never reset at the end: Epson's bold
              (V{"<B>All bold", "still"}));
    EXPECT_EQ(doc->lines.styleAt(1), kBold);
}

// A PCL XL job (PCL 6, binary after its stream header) is left to the job reader to lay out.
TEST_F(PclCodesTest, APclXlStreamAfterJobLanguageLinesMakesAJob) {
    load("\x1b%-12345X@PJL ENTER LANGUAGE = PCLXL\n) HP-PCL XL;1;1\n\xd1\x2c\x01"s);
    EXPECT_TRUE(doc->printerLayout.jobCommands);
    // Blank lines between the job-language lines and after them hide nothing.
    for (const std::string blank : {"\n", "\r\n", "\r\n\r\n"}) {
        load("\x1b%-12345X@PJL JOB\n" + blank + "@PJL ENTER LANGUAGE = PCLXL\n" + blank +
             ") HP-PCL XL;1;1\n\xd1\x2c\x01"s);
        EXPECT_TRUE(doc->printerLayout.jobCommands) << testing::PrintToString(blank);
    }
    load("\x1b%-12345X@PJL ENTER LANGUAGE = PCL\n(report)\n"s);
    EXPECT_FALSE(doc->printerLayout.jobCommands);
}

// Cursor moves, page and text length, top margin, pictures, rules and HP-GL/2 make a job that
// lays itself out; orientation, line spacing, paper size, fonts and underline keep a report.
TEST_F(PclCodesTest, WhichCommandsMakeAJobThatLaysItselfOut) {
    const struct {
        const char* command;
        bool job;
    } cases[] = {
        {"\x1b&a10C", true},   {"\x1b&a+2R", true},  {"\x1b&l66P", true}, {"\x1b&l60F", true},
        {"\x1b&l3E", true},    {"\x1b*p100X", true}, {"\x1b*r1A", true},  {"\x1b*b0W", true},
        {"\x1b*c100A", true},  {"\x1b%-1B", true},   {"\x1b&l1O", false}, {"\x1b&l8D", false},
        {"\x1b&l26A", false},  {"\x1b&l0L", false},  {"\x1b(s3B", false}, {"\x1b&d0D", false},
        {"\x1b*t300R", false}, {"\x1b*v1T", false},  {"\x1b(10U", false}, {"\x1b&k2S", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.command)));
        load(
            "\x1b"
            "E"s +
            c.command + "text\n");
        EXPECT_EQ(doc->printerLayout.jobCommands, c.job);
    }
}

// In a PCL job ESC %1B enters HP-GL/2 (vector drawing), which only the job's own layout can
// show; an Epson ESC % n stays Epson's, and the text after it stays text.
TEST_F(PclCodesTest, HpGl2InAPclJobMakesAJobAndEpsonsPercentStaysEpsons) {
    EXPECT_EQ(load("\x1b"
                   "E\x1b&l0OTitle\x1b%1BIN;SP1;PD100,200;\r\nLBlabel\x03;\x1b%0A after\r\n"s),
              V{"Title after"});
    EXPECT_TRUE(doc->printerLayout.jobCommands);
    EXPECT_EQ(load("\x1b"
                   "E\x1b&l0OTitle\x1b%0B\r\n"s),
              V{"Title"});
    EXPECT_TRUE(doc->printerLayout.jobCommands);
    // Epson: ESC % 1 selects the downloaded characters; the "Box" after it is text.
    EXPECT_EQ(load("\x1b%1Box\r\n"s), V{"Box"});
    EXPECT_FALSE(doc->printerLayout.jobCommands);
    EXPECT_EQ(load("\x1b"
                   "E\x1b&l0O\x1b%12 text\r\n"s),
              V{"2 text"});
}

TEST_F(PclCodesTest, PitchSpacingPageLengthAndOrientationAreKept) {
    load(
        "\x1b"
        "E\x1b&l1O\x1b&l66P\x1b&l8D\x1b(s16.67Hcompressed\n\x1b(s12Helite\n\x1b&l0O\n");
    EXPECT_NEAR(doc->printerLayout.cpi, 16.67, 1e-9);
    EXPECT_EQ(doc->printerLayout.lpi, 8);
    EXPECT_EQ(doc->printerLayout.pageLines, 66);
    EXPECT_EQ(doc->printerLayout.orientation, 1);  // the first one given
    EXPECT_TRUE(doc->printerLayout.pitchChanged);
    EXPECT_EQ(texts(doc->lines), (V{"compressed", "elite", ""}));
    load("\x1b&l0Oa\n\x1b&l1Ob\n");
    EXPECT_EQ(doc->printerLayout.orientation, 0);  // portrait given first is kept too
    // The older pitch mode and motion indexes: 1/120 inch columns, 1/48 inch lines.
    load("\x1b&k2Sa\n");
    EXPECT_EQ(doc->printerLayout.cpi, 16.67);
    load("\x1b&k10H\x1b&l6Ca\n");
    EXPECT_EQ(doc->printerLayout.cpi, 12);
    EXPECT_EQ(doc->printerLayout.lpi, 8);
    EXPECT_EQ(doc->printerLayout.orientation, -1);
    // Out of range: not honoured.
    load("\x1b(s0H\x1b(s900H\x1b&l0D\x1b&l-3P\x1b&l7Oa\n");
    EXPECT_EQ(doc->printerLayout.cpi, 0);
    EXPECT_EQ(doc->printerLayout.pageLines, 0);
    EXPECT_EQ(doc->printerLayout.orientation, -1);
    // Line termination: CR feeds a line too, until a reset.
    EXPECT_EQ(load("\x1b&k1Gone\rtwo\r\n\x1b"
                   "Eab\r__\n"),
              (V{"one", "two", "", "<U>ab</U>"}));
    // In PCL, SI and SO switch fonts; they do not condense.
    load(
        "\x1b"
        "E\x1b(s10H\x0f"
        "a\x0e\n");
    EXPECT_EQ(doc->printerLayout.cpi, 10);
}

TEST_F(PclCodesTest, LayoutValuesAtTheEndsOfTheirRanges) {
    struct Case {
        const char* job;
        double cpi;
        double lpi;
        int pageLines, orientation;
    };
    // Once either is set, the other is the printer's default: 10 characters, 6 lines an inch.
    const Case cases[] = {
        {"\x1b&l2Oa\n", 0, 0, 0, 2},      {"\x1b&l3Oa\n", 0, 0, 0, 3},
        {"\x1b&l4Oa\n", 0, 0, 0, -1},     {"\x1b(s64Ha\n", 64, 6, 0, -1},
        {"\x1b(s64.5Ha\n", 0, 0, 0, -1},  {"\x1b&l64Da\n", 10, 64, 0, -1},
        {"\x1b&l65Da\n", 0, 0, 0, -1},    {"\x1b&l48Ca\n", 10, 1, 0, -1},
        {"\x1b&l1Ca\n", 10, 48, 0, -1},   {"\x1b&l0Ca\n", 0, 0, 0, -1},
        {"\x1b&l1Pa\n", 0, 0, 1, -1},     {"\x1b&l32767Pa\n", 0, 0, 32767, -1},
        {"\x1b&l32768Pa\n", 0, 0, 0, -1}, {"\x1b&l0Pa\n", 0, 0, 0, -1},
        {"\x1b&k120Ha\n", 1, 6, 0, -1},   {"\x1b&k2Ha\n", 60, 6, 0, -1},
        {"\x1b&k1Ha\n", 0, 0, 0, -1},     {"\x1b&k0Ha\n", 0, 0, 0, -1},
        {"\x1b&k0Sa\n", 10, 6, 0, -1},    {"\x1b&k4Sa\n", 12, 6, 0, -1},
        {"\x1b&k1Sa\n", 0, 0, 0, -1},     {"\x1b&k3Sa\n", 0, 0, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.job)));
        load(c.job);
        EXPECT_NEAR(doc->printerLayout.cpi, c.cpi, 0.01);
        EXPECT_NEAR(doc->printerLayout.lpi, c.lpi, 0.01);
        EXPECT_EQ(doc->printerLayout.pageLines, c.pageLines);
        EXPECT_EQ(doc->printerLayout.orientation, c.orientation);
    }
    // Line termination 1 and 3 make CR end a line; 0 and 2 do not, and 4 is no mode at all.
    EXPECT_EQ(load("\x1b&k3Gone\rtwo\n"), (V{"one", "two"}));
    EXPECT_EQ(load("\x1b&k2Gone\rtwo\n"), (V{"two"}));
    EXPECT_EQ(load("\x1b&k1G\x1b&k4Gone\rtwo\n"), (V{"one", "two"}));
    EXPECT_EQ(load("\x1b&k1G\x1b&k0Gone\rtwo\n"), (V{"two"}));
}

TEST_F(PclCodesTest, EverySequenceGoesWithItsData) {
    // Font, symbol-set, cursor, margin and macro commands: nothing of them shows.
    EXPECT_EQ(load("A\x1b(8U\x1b(3R\x1b(10U\x1b(0N\x1b(3@\x1b(12X"
                   "B\x1b(s0p10h12v0s0b3T\x1b)s1p12v4148T\x1b)8U\x1b*c5D\x1b*c4F"
                   "C\x1b&a10C\x1b&a+2.5R\x1b*p100x200Y\x1b&f0S\x1b&l0e66F\x1b&k0G\x1b&s0C"
                   "D\x1b&l26A\x1b*t300R\x1b*r1A\x1b*rB\x1b&u600D\x1b*v1T\x1b&p0X"
                   "E\n"),
              V{"ABCDE"});
    // Data blocks hold any byte, Ctrl-Z, line ends and ESC included.
    EXPECT_EQ(load("\x1b*r1A\x1b*b5Wa\nb\x1a\x1b\x1b*b3W\0\f\r\x1b*rBtext\x1b)s6W\x1b(s3B\nx\n"s),
              V{"textx"});
    // The smallest block: one byte, here a line feed.
    EXPECT_EQ(load("\x1b*b1W\ntext\n"), V{"text"});
    // A lower-case w announces data and the sequence goes on after it.
    EXPECT_EQ(load("\x1b*b2wXY3WABCtext\n"), V{"text"});
    // A data block cut by a read block goes on in the next one.
    const std::string head(256 * 1024 - 3, 'a');
    const V got = load(head + "\x1b*b10W0123456789z\n");
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back().back(), 'z');
    std::size_t as = 0, digits = 0;
    for (const std::string& l : got) {
        as += std::count(l.begin(), l.end(), 'a');
        digits += std::count_if(l.begin(), l.end(), [](char c) { return c >= '0' && c <= '9'; });
    }
    EXPECT_EQ(as, head.size());
    EXPECT_EQ(digits, 0u);
}

// A job as Windows-era drivers wrap it: the job-language exit and @PJL lines around it.
TEST_F(PclCodesTest, JobLanguageLinesAroundTheJobGo) {
    EXPECT_EQ(load("\x1b%-12345X@PJL JOB NAME=\"x\"\r\n@PJL ENTER LANGUAGE=PCL\r\n\x1b"
                   "E\x1b(s3Bhi\x1b(s0B there\r\n\x1b"
                   "E\x1b%-12345X@PJL EOJ\r\n\x1b%-12345X"),
              V{"<B>hi</B> there"});
    // Text right after the exit is text; so is a line too long for the job language.
    EXPECT_EQ(load("\x1b%-12345Xplain\n"), V{"plain"});
    const V got = load("\x1b%-12345X@" + std::string(2000, 'p') + "\nq\n");
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[2], "q");
    // The Epson ESC % takes one byte.
    EXPECT_EQ(load("a\x1b%\x01"
                   "b\x1b%0c\n"),
              V{"abc"});
}

TEST_F(PclCodesTest, CutAndBrokenSequencesLoseNoText) {
    // Cut at the end of the input, at every point of the sequence.
    for (const char* cut : {"\x1b&", "\x1b(", "\x1b)", "\x1b*", "\x1b(s", "\x1b(s1", "\x1b(s-",
                            "\x1b&l1.", "\x1b&l1.5d", "\x1b*b10W12", "\x1b*b10W",
                            "\x1b"
                            "E"})
        EXPECT_EQ(load("text"s + cut), V{"text"}) << cut;
    // Data announced beyond the end of the input: nothing is read past it.
    EXPECT_EQ(load("text\x1b*b32767Wabc"), V{"text"});
    EXPECT_EQ(load("text\x1b)s99999999W" + std::string(32767 + 10, 'x') + "tail\n"),
              V{"textxxxxxxxxxxtail"});
    // A byte that cannot go on a sequence ends it and is text.
    EXPECT_EQ(load("a\x1b&l1\nb\x1b(s1 c\x1b&l1.2.3Dd\n"), (V{"a", "b c.3Dd"}));
    EXPECT_EQ(load("a\x1b(s3\x1b"
                   "4b\x1b"
                   "5\n"),
              V{"a<I>b"});
    // A run of digits is no endless value: what follows it shows.
    const V got = load("a\x1b&l" + std::string(1000, '1') + "\n");
    ASSERT_EQ(got.size(), 1u);
    EXPECT_GT(got[0].size(), 900u);
}

TEST_F(PclCodesTest, EpsonAndPclInOneFile) {
    // An Epson job, a PCL job, an Epson job again: ESC E is bold in the Epson parts and a reset
    // in the PCL one.
    EXPECT_EQ(load("\x1b@\x1b"
                   "Ebold\x1b"
                   "F \x1b"
                   "E\x1b(s3Bpcl\x1b(s0B \x1b"
                   "E\x1b&d0Dreset\x1b"
                   "E \x1b@\x1b"
                   "Eagain\x1b"
                   "F\n"),
              V{"<B>bold</B> <B>pcl</B> <U>reset</U> <B>again"});
    // Epson ESC ( and ESC * with binary parameters are still Epson commands.
    EXPECT_EQ(load("A\x1b(c\x04\x00\x01\x00\x02\x00"
                   "B\x1b(-\x03\x00\x01\x01\x01"
                   "C\x1b(s\x01\x00\x07"
                   "D\x1b*\x21\x02\x00"
                   "123456E\x1b&\x00\x41\x41"
                   "F\n"s),
              V{"ABCDEF"});
    // Epson bold right before an Epson command stays bold.
    EXPECT_EQ(load("\x1b"
                   "E\x1b"
                   "4x\x1b"
                   "5\x1b"
                   "F\n"),
              V{"<B><I>x"});
    // The pitch of the later language wins.
    load(
        "\x0f"
        "a\x1b(s12Hb\n");
    EXPECT_EQ(doc->printerLayout.cpi, 17);
    EXPECT_TRUE(doc->printerLayout.pitchChanged);
    load("\x1b(s16.67Ha\x1bPb\n");
    EXPECT_NEAR(doc->printerLayout.cpi, 16.67, 1e-9);
    EXPECT_TRUE(doc->printerLayout.pitchChanged);
}

// Raster and font data hold any bytes: they never count as text when the encoding is told
// from the file.
TEST_F(PclCodesTest, DataBlocksAreNoTextForEncodingDetection) {
    const std::string text866 =
        "\x82\xa5\xa4\xae\xac\xae\xe1\xe2\xec \xae\xe1\xe2\xa0\xe2\xaa\xae\xa2 \xe2\xae\xa2\xa0\xe0"
        "\xae\xa2 \xad\xa0 \xe1\xaa\xab\xa0\xa4\xa5 \xa7\xa0 \xac\xa5\xe1\xef\xe6";
    const std::string text1251 =
        "\xc2\xe5\xe4\xee\xec\xee\xf1\xf2\xfc \xee\xf1\xf2\xe0\xf2\xea\xee\xe2 \xf2\xee\xe2\xe0\xf0"
        "\xee\xe2 \xed\xe0 \xf1\xea\xeb\xe0\xe4\xe5 \xe7\xe0 \xec\xe5\xf1\xff\xf6";
    std::string raster;
    for (int i = 0; i < 60; ++i) raster += text1251 + " ";
    doc->freeText();
    doc->encodingOverride = EncodingChoice::Auto;
    ASSERT_EQ(doc->loadText(dir.file("job.prn",
                                     "\x1b"
                                     "E\x1b*r1A\x1b*b" +
                                         std::to_string(raster.size()) + "W" + raster + "\x1b*rB" +
                                         text866 + "\r\n")),
              1);
    EXPECT_EQ(doc->textEncoding, TextEncoding::Cp866);
    EXPECT_EQ(texts(doc->lines), V{text1251});  // text in memory is 1251
}

}  // namespace
}  // namespace folvek
