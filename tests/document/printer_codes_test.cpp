// Printer control codes and overstrike as the loader stores them: commands and their
// parameters vanish, styles become tags that carry over lines and pages, pitch and page
// length are kept for layout, and struck-over characters become bold or underlined.
#include <gtest/gtest.h>

#include "print_file_fixture.h"
#include "style_tags.h"
#include "test_support.h"

namespace folvek {
namespace {

using namespace std::string_literals;
using coretest::texts;
using V = std::vector<std::string>;

class PrinterCodesTest : public coretest::PrintFileTest {};

TEST_F(PrinterCodesTest, StyleCommandsBecomeTags) {
    EXPECT_EQ(load("\x1b@\x1b"
                   "EBold\x1b"
                   "F plain\r\n"),
              V{"<B>Bold</B> plain"});
    EXPECT_EQ(load("\x1bGdouble\x1bH \x1b"
                   "4it\x1b"
                   "5 \x1b-\x01u\x1b-\x30.\n"),
              V{"<B>double</B> <I>it</I> <U>u</U>."});
    // Emphasized and double-strike are both bold: bold ends when both are off.
    EXPECT_EQ(load("\x1b"
                   "E\x1bGa\x1b"
                   "Fb\x1bHc\n"),
              V{"<B>ab</B>c"});
    // ESC ! sets several at once; ESC @ resets them.
    EXPECT_EQ(load("\x1b!\x88x\x1b@y\n"), V{"<B><U>x</B></U>y"});
    // Switched on and off with nothing between: no tags.
    EXPECT_EQ(load("a\x1b"
                   "E\x1b"
                   "Fb\n"),
              V{"ab"});
}

TEST_F(PrinterCodesTest, StylesCarryOverLinesAndPageBreaks) {
    EXPECT_EQ(load("\x1b"
                   "Ea\n\fb\x1b"
                   "F\nc\n"),
              (V{"<B>a", "", "\f", "b", "</B>c"}));
    EXPECT_EQ(doc->lines.styleAt(3), kBold);  // "b" starts bold
    EXPECT_EQ(doc->lines.styleAt(4), kBold);
}

TEST_F(PrinterCodesTest, EveryCommandGoesWithItsParameters) {
    EXPECT_EQ(load("A\x1bx\x01"
                   "B\x1bk\x02"
                   "C\x1b$\x10\x00"
                   "D\x1b(U\x01\x00\x0a"
                   "E\x1bW\x01"
                   "F"
                   "\x1bt\x01\x1bR\x07\x1bM\x1bP\x1bg\x1bp\x01\x1b"
                   "0\x1b"
                   "1\x1b"
                   "2\x1b"
                   "3\x18"
                   "\x1b"
                   "A\x0c\x1b"
                   "C\x42\x1b"
                   "C\x00\x0b\x1bN\x06\x1bO\x1bl\x05\x1bQ\x50"
                   "\x1bJ\x0a\x0f\x1b\x0f\x12\x0e\x1b\x0e\x14\x07\x18\x11\x13G\n"s),
              V{"ABCDEFG"});
    // Graphics data of its announced length.
    EXPECT_EQ(load("\x1bK\x03\x00\nab"
                   "Z\x1b*\x21\x02\x00"
                   "123456Y\n"s),
              V{"ZY"});
}

TEST_F(PrinterCodesTest, DataLengthsOfEveryGraphicsCommand) {
    // ESC * m n: 1 byte a column below m = 32, 3 up to 70, 6 from 71 on.
    const std::pair<unsigned char, std::size_t> modes[] = {{0, 1},  {31, 1}, {32, 3},
                                                           {70, 3}, {71, 6}, {73, 6}};
    for (const auto& [m, perColumn] : modes) {
        const std::string job =
            "X\x1b*"s + char(m) + "\x02\x00"s + std::string(2 * perColumn, 'a') + "Y\n";
        EXPECT_EQ(load(job), V{"XY"}) << int(m);
    }
    // Lengths past 255 take their high byte; ESC ^ takes two bytes a column.
    EXPECT_EQ(load("X\x1bL\x00\x01"s + std::string(256, 'a') + "Y\n"), V{"XY"});
    EXPECT_EQ(load("X\x1b(G\x00\x01"s + std::string(256, 'a') + "Y\n"), V{"XY"});
    EXPECT_EQ(load("X\x1b^\x00\x03\x00"s + std::string(6, 'a') + "Y\n"), V{"XY"});
    // Graphics and raster commands make a job that lays itself out; ESC ( t and ESC ( - do not.
    load("\x1b(t\x03\x00\x01\x02\x00text\n"s);
    EXPECT_FALSE(doc->printerLayout.jobCommands);
    load("\x1b(-\x03\x00\x01\x01\x01text\n"s);
    EXPECT_FALSE(doc->printerLayout.jobCommands);
    load("\x1b(V\x02\x00\x10\x00text\n"s);
    EXPECT_TRUE(doc->printerLayout.jobCommands);
    load("\x1bK\x01\x00\x01text\n"s);
    EXPECT_TRUE(doc->printerLayout.jobCommands);
}

// Commands that move the head, set margins or the form, or draw make a job that lays itself
// out; styles, pitches and line spacing keep a report. Each goes with its parameters: the text
// after it stays whole.
TEST_F(PrinterCodesTest, WhichCommandsMakeAJobThatLaysItselfOut) {
    const struct {
        std::string command;
        bool job;
    } cases[] = {
        {"\x1b$\x10\x00"s, true},   // absolute position
        {"\x1b\\\x10\x00"s, true},  // relative position
        {"\x1bJ\x10"s, true},       // paper feed
        {"\x1bl\x05"s, true},       // left margin
        {"\x1bQ\x50"s, true},       // right margin
        {"\x1b"
         "f\x00\x05"s,
         true},  // skip spaces
        {"\x1b"
         "C\x42"s,
         true},  // form length in lines
        {"\x1b"
         "C\x00\x0b"s,
         true},                        // in inches
        {"\x1bK\x01\x00\x01"s, true},  // bit images of each density
        {"\x1bL\x01\x00\x01"s, true},
        {"\x1bY\x01\x00\x01"s, true},
        {"\x1bZ\x01\x00\x01"s, true},
        {"\x1b*\x00\x01\x00\x01"s, true},
        {"\x1b^\x00\x01\x00\x01\x01"s, true},
        {"\x1b"
         "D\x08\x10\x00"s,
         true},  // tab stops
        {"\x1b"
         "B\x02\x00"s,
         true},
        {"\x1b(V\x02\x00\x10\x00"s, true},       // the extended group places
        {"\x1b(t\x03\x00\x01\x02\x00"s, false},  // but for the character table
        {"\x1b(-\x03\x00\x01\x01\x01"s, false},  // and underline
        {"\x1b-\x01"s, false},
        {"\x1b!\x08"s, false},
        {"\x1b"
         "E"s,
         false},
        {"\x1bG"s, false},
        {"\x1b"
         "0"s,
         false},
        {"\x1b"
         "2"s,
         false},
        {"\x1b"
         "3\x24"s,
         false},  // line spacing
        {"\x1b"
         "A\x0c"s,
         false},
        {"\x1bW\x01"s, false},
        {"\x1bM"s, false},
        {"\x1bx\x01"s, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.command));
        load(c.command + "text\n");
        EXPECT_EQ(texts(doc->lines).at(0).find("text") != std::string::npos, true);
        EXPECT_EQ(doc->printerLayout.jobCommands, c.job);
    }
}

// Tab-stop lists (ESC D, ESC B, ESC b with its channel) end at their NUL; a list of more than
// 64 stops has lost its NUL, and the 65th byte ends it in its stead.
TEST_F(PrinterCodesTest, TabStopListsEndAtTheirNulOrAfterSixtyFourStops) {
    for (const std::string& command : {"\033D"s, "\033B"s, "\033b\001"s}) {
        SCOPED_TRACE(testing::PrintToString(command));
        EXPECT_EQ(load("X" + command + std::string(64, 'a') + '\0' + "Y\n"), V{"XY"});
        EXPECT_EQ(load("X" + command + std::string(65, 'a') + "Y\n"), V{"XY"});
        EXPECT_EQ(load("X" + command + std::string(66, 'a') + "Y\n"), V{"XaY"});
        EXPECT_EQ(load("X" + command + '\0' + "Y\n"), V{"XY"});  // an empty list
    }
}

TEST_F(PrinterCodesTest, MasterSelectPitchesAndAResetsSpacing) {
    const std::pair<unsigned char, double> masters[] = {{0, 10}, {1, 12}, {4, 17}, {5, 20}};
    for (const auto& [n, cpi] : masters) {
        load("\x1b!"s + char(n) + "a\n");
        EXPECT_EQ(doc->printerLayout.cpi, cpi) << int(n);
    }
    // DC2 ends SI's condensed print.
    load(
        "\x0f\x12"
        "b\n"s);
    EXPECT_EQ(doc->printerLayout.cpi, 10);
    // ESC @ puts the line spacing back to 1/6 inch.
    load(
        "\x1b"
        "3\x18\x1b@a\nb\n"s);
    EXPECT_EQ(doc->printerLayout.lpi, 6);
}

TEST_F(PrinterCodesTest, BrokenSequencesLoseNothingAroundThem) {
    EXPECT_EQ(load("text\x1b"), V{"text"});
    EXPECT_EQ(load("text\x1b"
                   "C"),
              V{"text"});
    EXPECT_EQ(load("a\x1b\nb\x1b\r\n"), (V{"a", "b"}));  // ESC at the end of a line
    EXPECT_EQ(load("x" + std::string(10000, '\x1b') + "\ny\n"), (V{"x", "y"}));
    // A sequence cut by a read block goes on in the next one.
    const std::string head(256 * 1024 - 2, 'a');
    const V got = load(head.substr(0, 1000) + "\n" + head.substr(1001) + "\x1bx\x01z\n");
    const std::string& last = got.back();
    ASSERT_GE(last.size(), 2u);
    EXPECT_EQ(last.substr(last.size() - 2), "az");
    std::size_t as = 0;
    for (const std::string& l : got) as += std::count(l.begin(), l.end(), 'a');
    EXPECT_EQ(as, head.size() - 1);
}

TEST_F(PrinterCodesTest, PitchSpacingAndPageLengthAreKept) {
    load(
        "\x1b@\x1b"
        "C\x42\x0f"
        "condensed\n\x1b"
        "0eight\n\fnext\n");
    EXPECT_EQ(doc->printerLayout.cpi, 17);
    EXPECT_EQ(doc->printerLayout.lpi, 8);
    EXPECT_EQ(doc->printerLayout.pageLines, 66);
    EXPECT_TRUE(doc->printerLayout.pitchChanged);  // the first line was still at 6 lines/inch
    EXPECT_EQ(texts(doc->lines), (V{"condensed", "eight", "", "\f", "next"}));
    load(
        "\x1b"
        "C\x00\x0b\x1bMelite\n"s);
    EXPECT_EQ(doc->printerLayout.cpi, 12);
    EXPECT_EQ(doc->printerLayout.pageInches, 11);
    EXPECT_FALSE(doc->printerLayout.pitchChanged);
    load("plain\n");
    EXPECT_EQ(doc->printerLayout.cpi, 0);
}

TEST_F(PrinterCodesTest, OverstrikeMakesBoldAndUnderline) {
    EXPECT_EQ(load("a\bab\bb c\n"), V{"<B>ab</B> c"});
    EXPECT_EQ(load("_\bx_\by\n"), V{"<U>xy</U>"});
    EXPECT_EQ(load("x\b_\n"), V{"<U>x</U>"});
    EXPECT_EQ(load("Total: 5\rTotal\n"), V{"<B>Total</B>: 5"});
    EXPECT_EQ(load("Name\r____\r\n"), V{"<U>Name</U>"});
    EXPECT_EQ(load("\b\bab\b\n"), V{"ab"});  // backspaces at the start of a line
    EXPECT_EQ(load("ab\rX\n"), V{"Xb"});     // a different character: the later one shows
    // Backspacing over a printer code's tag goes to the character before it, the first one too.
    EXPECT_EQ(load("x\x1b"
                   "Ea\b\b_\n"),
              V{"<U>x</U><B>a"});
    // Already bold from the printer: no extra tags.
    EXPECT_EQ(load("\x1b"
                   "Ea\ba\n"),
              V{"<B>a"});
}

// A line rebuilt with the tags of its overstruck cells is cut into pieces by the bytes it holds,
// tags and all: at every length round the longest piece the pieces hold the whole line, and an
// empty line follows only where it follows the same line without overstrike (a line that fills
// its last piece exactly leaves its line feed a line of its own).
TEST_F(PrinterCodesTest, AnOverstruckLineIsCutIntoWholePiecesAtTheLongestPieceLength) {
    for (std::size_t tail = 1005; tail <= 1025; ++tail) {
        const std::string xs(tail, 'x');
        const V lines = load("a\ba" + xs + "\n");
        const V plain = load("a" + xs + "\n");
        std::string joined;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i + 1 < lines.size()) {
                EXPECT_FALSE(lines[i].empty()) << tail;
            }
            joined += lines[i];
        }
        EXPECT_EQ(joined, "<B>a</B>" + xs) << tail;
        EXPECT_EQ(lines.back().empty(), plain.back().empty()) << tail;
    }
}

}  // namespace
}  // namespace folvek