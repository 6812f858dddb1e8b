// PCL 5 font selection at its limits (each symbol set's table, pitch and point size clamped to
// the reference's ranges, weight and posture), the escape sequences' own code-page tables, and
// the life of macros: kept, made permanent or temporary, deleted one by one, the temporary ones
// or all, and what a printer reset leaves.
#include <gtest/gtest.h>

#include <string>

#include "char_tables.h"
#include "job_interpreter.h"
#include "pcl_font.h"

using namespace folvek::printer;

namespace {

constexpr JobUnits kInch = kUnitsPerInch;
constexpr JobUnits kDot = kInch / 300;  // spacing is kept in whole PCL units

JobDocument read(std::string text, JobOptions options = {}) {
    for (char& c : text)
        if (c == '~') c = '\x1b';
    return interpretPcl(text, options);
}

std::u32string textOf(const JobPage& page) {
    std::u32string all;
    for (const auto& r : page.runs) all += r.text;
    return all;
}

std::u32string textOf(const JobDocument& doc) {
    std::u32string all;
    for (const JobPage& p : doc.pages) all += textOf(p);
    return all;
}

// The first run a job prints (a copy: the document is usually a temporary).
JobTextRun firstRun(const JobDocument& doc) {
    if (doc.pages.empty() || doc.pages[0].runs.empty()) {
        ADD_FAILURE() << "nothing printed";
        return {};
    }
    return doc.pages[0].runs[0];
}

}  // namespace

TEST(PclFonts, EachSymbolSetPrintsThroughItsTable) {
    struct Case {
        const char* set;
        char byte;
        char32_t shows;
    };
    const Case cases[] = {
        {"0U", '\x80', U'Ç'},   // ASCII jobs that send upper bytes get the PC-8 letters
        {"10U", '\x80', U'Ç'},  // PC-8
        {"11U", '\x9B', U'¢'},  // PC-8 Danish/Norwegian, as PC-8 here
        {"12U", '\xD5', U'ı'},  // PC-850
        {"13U", '\x9D', U'Ø'},  // PC-858 read as 850
        {"17U", '\xA5', U'ą'},  // PC-852
        {"3R", '\x80', U'А'},   // PC Cyrillic (866)
        {"14R", '\xF0', U'Ё'},  // PC Ukrainian, as 866
        {"9R", '\xC0', U'А'},   // Windows Cyrillic
        {"19U", '\x80', U'€'},  // Windows Latin 1
        {"9U", '\x80', U'€'},   // Windows 3.0 Latin 1
        {"0N", '\xE9', U'é'},   // ISO 8859-1
        {"8U", '\xE9', U'é'},   // Roman-8, nearest as 1252
    };
    for (const Case& c : cases) {
        const JobDocument doc =
            read("~E~(" + std::string(c.set) + "A" + c.byte + "\f", JobOptions{CharTable::Pc866});
        EXPECT_EQ(textOf(doc), std::u32string(U"A") + c.shows) << c.set;
    }
    // A set none of our tables covers prints through the table the printer was set up with.
    EXPECT_EQ(textOf(read("~E~(2U\x80\f", JobOptions{CharTable::Pc866})), U"А");
    EXPECT_EQ(textOf(read("~E~(2U\x80\f", JobOptions{CharTable::Pc437})), U"Ç");
    EXPECT_EQ(pclSymbolSet(10, 'U'), 341);
    EXPECT_EQ(pclSymbolSet(-5, 'U'), 21);
    EXPECT_EQ(pclSymbolSet(5000, 'A'), 2047 * 32 + 1);
}

TEST(PclFonts, CodePagesOfTheEscapeTables) {
    CharTable t = CharTable::Pc866;
    const std::pair<int, CharTable> known[] = {
        {437, CharTable::Pc437}, {850, CharTable::Pc850},    {852, CharTable::Pc852},
        {866, CharTable::Pc866}, {1251, CharTable::Win1251}, {1252, CharTable::Win1252},
    };
    for (const auto& [page, table] : known) {
        t = page == 437 ? CharTable::Pc866 : CharTable::Pc437;
        EXPECT_TRUE(charTableForCodePage(page, t)) << page;
        EXPECT_EQ(t, table) << page;
    }
    for (const int page : {0, 436, 851, 855, 865, 1250, 1253, 20866}) {
        t = CharTable::Win1252;
        EXPECT_FALSE(charTableForCodePage(page, t)) << page;
        EXPECT_EQ(t, CharTable::Win1252) << page;
    }
    // Both ends of each table's upper half, from the code pages' charts.
    EXPECT_EQ(toUnicode(CharTable::Pc437, 0xFF), U'\u00A0');
    EXPECT_EQ(toUnicode(CharTable::Pc437, 0xE1), U'ß');
    EXPECT_EQ(toUnicode(CharTable::Pc850, 0x80), U'Ç');
    EXPECT_EQ(toUnicode(CharTable::Pc850, 0xFF), U'\u00A0');
    EXPECT_EQ(toUnicode(CharTable::Pc852, 0x80), U'Ç');
    EXPECT_EQ(toUnicode(CharTable::Pc852, 0xFE), U'■');
    EXPECT_EQ(toUnicode(CharTable::Win1252, 0xFF), U'ÿ');
    EXPECT_EQ(toUnicode(CharTable::Win1251, 0xFF), U'я');
    EXPECT_EQ(toUnicode(CharTable::Pc866, 0xEF), U'я');
    EXPECT_EQ(toUnicode(CharTable::Pc866, 0x7F), U'\x7F');
}

TEST(PclFonts, PitchAndPointSizeAreClampedToTheReferenceRanges) {
    struct Case {
        const char* command;
        JobUnits advance, height;
    };
    // The font's own advance and box before spacing is rounded to the printer's units.
    PclFont f;
    f.pitch = 0.44;
    EXPECT_EQ(pclFontAdvance(f), 49091);
    EXPECT_EQ(pclFontHeight(f), 65455);
    f.proportional = true;
    f.points = 999.75;
    EXPECT_EQ(pclFontAdvance(f), 149963);
    EXPECT_EQ(pclFontHeight(f), 239940);
    f.points = 0.25;
    EXPECT_EQ(pclFontAdvance(f), 38);
    EXPECT_EQ(pclFontHeight(f), 60);

    const Case cases[] = {
        {"", kInch / 10, 2880},               // 10 cpi, 12 points: 12/72 inch x 4/5
        {"~(s12H", 1800, 2400},               // 12 cpi is 10 points
        {"~(s0.5H", 43200, 57600},            // half a character per inch: kept
        {"~(s0H", kInch / 10, 2880},          // zero is no pitch: ignored
        {"~(s0.2H", 682 * kDot, 65455},       // below 0.44: the least pitch
        {"~(s600H", kDot, 50},                // above 576: the greatest
        {"~&u600D~(s600H", kDot / 2, 50},     // spacing in whole units of ESC &u
        {"~(s1p0.5V", kDot, 120},             // proportional: half a point is kept
        {"~(s1p0V", 1800, 2880},              // zero keeps 12 points
        {"~(s1p0.1V", kDot, 60},              // below a quarter point: a quarter
        {"~(s1p1200V", 2083 * kDot, 239940},  // above 999.75: 999.75
        {"~(s1p24v0P", kInch / 10, 2880},     // fixed pitch again: the point size is unused
    };
    for (const Case& c : cases) {
        const JobTextRun run = firstRun(read("~E" + std::string(c.command) + "X\f"));
        EXPECT_EQ(run.advance, c.advance) << c.command;
        EXPECT_EQ(run.cellHeight, c.height) << c.command;
    }
}

TEST(PclFonts, WeightAndPostureGiveBoldAndItalic) {
    struct Case {
        const char* command;
        std::uint16_t style;
    };
    const Case cases[] = {
        {"~(s1B", kJobBold},   {"~(s0B", 0},
        {"~(s-3B", 0},         {"~(s9B", kJobBold},
        {"~(s1S", kJobItalic}, {"~(s2S", kJobItalic},
        {"~(s3S", 0},          {"~(s4S", 0},
        {"~(s5S", kJobItalic}, {"~(s1P", kJobProportional},
    };
    for (const Case& c : cases)
        EXPECT_EQ(firstRun(read("~E" + std::string(c.command) + "X\f")).style, c.style)
            << c.command;
    PclFont f;
    f.weight = 1;
    f.style = 33;  // italic, of another structure
    EXPECT_EQ(pclFontStyle(f), kJobBold | kJobItalic);
}

TEST(PclFonts, TheDefaultFontCommandResetsPrimarySecondaryOrBoth) {
    // ESC ( 3 @ and ESC ( 0 @ take the primary font back to the default; 1 only the secondary.
    // SO selects the secondary font, SI the primary.
    const std::string bothBold = "~E~(s3B~)s3B";
    EXPECT_EQ(firstRun(read(bothBold + "~(0@a\f")).style, 0);
    EXPECT_EQ(firstRun(read(bothBold + "~(1@a\f")).style, kJobBold);
    EXPECT_EQ(firstRun(read(bothBold + "~(1@\x0E"
                                       "a\f"))
                  .style,
              0);
    EXPECT_EQ(firstRun(read(bothBold + "~(0@\x0E"
                                       "a\f"))
                  .style,
              kJobBold);
    EXPECT_EQ(firstRun(read(bothBold + "~(3@a\f")).style, 0);
    EXPECT_EQ(firstRun(read(bothBold + "~(3@\x0E"
                                       "a\f"))
                  .style,
              0);
    EXPECT_EQ(firstRun(read(bothBold + "~(2@a\f")).style, kJobBold);
}

// SO and SI switch the spacing too: the secondary font at 16.67 pitch sets its characters
// 18 dots apart (whole PCL units), the primary at 10 pitch 30 dots.
TEST(PclFonts, ShiftOutAndInSwitchThePitch) {
    const JobDocument doc = read(
        "~E~(s10H~)s16.67Ha\x0E"
        "b\x0F"
        "c\f");
    ASSERT_EQ(doc.pages.size(), 1u);
    std::vector<JobUnits> advances;
    for (const auto& r : doc.pages[0].runs)
        for (std::size_t i = 0; i < r.text.size(); ++i) advances.push_back(r.advance);
    EXPECT_EQ(advances, (std::vector<JobUnits>{30 * kDot, 18 * kDot, 30 * kDot}));
    EXPECT_EQ(textOf(doc), U"abc");
}

TEST(PclMacros, TemporaryAndPermanentMacrosAndTheirDeletion) {
    // Macro 1 prints "a", macro 2 prints "b"; each case then runs both (ESC &f2X).
    const std::string define = "~E~&f1Y~&f0Xa~&f1X~&f2Y~&f0Xb~&f1X";
    const std::string runBoth = "~&f1Y~&f2X~&f2Y~&f2X\f";
    struct Case {
        const char* name;
        std::string between;
        std::u32string printed;
    };
    const Case cases[] = {
        {"both kept", "", U"ab"},
        {"delete all", "~&f6X", U""},
        {"delete all, permanent too", "~&f10X~&f6X", U""},
        {"delete temporary", "~&f7X", U""},
        {"delete temporary keeps the permanent", "~&f10X~&f7X", U"b"},
        {"delete one", "~&f1Y~&f8X", U"b"},
        {"delete one that does not exist", "~&f9Y~&f8X", U"ab"},
        {"a reset keeps the permanent", "~&f10X~E", U"b"},
        {"made temporary again", "~&f10X~&f9X~E", U""},
        {"a reset deletes the temporary", "~E", U""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(read(define + c.between + runBoth)), c.printed) << c.name;
}

TEST(PclMacros, AnOverlayStopsWhenDisabledOrAfterAReset) {
    const std::string form = "~E~&f7Y~&f0XO~&f1X~&f4X";
    JobDocument doc = read(form + "A\f~&f5XB\f");
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(textOf(doc.pages[0]), U"AO");
    EXPECT_EQ(textOf(doc.pages[1]), U"B");
    // A call leaves its settings behind it undone, an execute does not.
    doc = read("~E~&f3Y~&f0X~&a1200h600V~&f1X~&f3XA~&f2XB\f");
    ASSERT_EQ(doc.pages.size(), 1u);
    const auto& runs = doc.pages[0].runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, U"A");
    EXPECT_EQ(runs[1].text, U"B");
    EXPECT_EQ(runs[0].y, kInch / 2 + kInch / 8);  // home: the call's move was undone
    EXPECT_LT(runs[0].y, runs[1].y);
}

// The overlay (here macro 0) draws from the printer's own settings whatever the job set (10
// pitch, 6 lines an inch, no margins, the primary font, no underline, from the page's top-left
// corner), and the job goes on in its own settings after it.
TEST(PclMacros, AnOverlayDrawsInThePrintersDefaultsAndTheJobKeepsItsOwn) {
    const JobUnits left = 71 * kDot;  // A4's logical page
    const JobUnits first = kInch / 2 + kInch / 6 * 3 / 4;
    const JobDocument doc = read(
        "~E~&f0Y~&f0XO\r\nP~&f1X~&f4X"
        "~(s3B~)s3B~&d0D~&l12D~&a10L\x0E~&k6H"
        "\rA\fB\f");
    ASSERT_EQ(doc.pages.size(), 2u);
    for (const JobPage& page : doc.pages) {
        ASSERT_EQ(page.runs.size(), 3u);
        const JobTextRun& o = page.runs[1];
        const JobTextRun& p = page.runs[2];
        EXPECT_EQ(o.text + p.text, U"OP");
        EXPECT_EQ(o.x, left);
        EXPECT_EQ(o.y, first);
        EXPECT_EQ(p.x, left);
        EXPECT_EQ(p.y, first + kInch / 6);
        EXPECT_EQ(o.advance, kInch / 10);
        EXPECT_EQ(o.style | p.style, 0);
        const JobTextRun& job = page.runs[0];
        EXPECT_EQ(job.style, kJobBold | kJobUnderline);
        EXPECT_EQ(job.advance, kInch / 20);
    }
    EXPECT_EQ(doc.pages[0].runs[0].x, left + kInch);
    EXPECT_EQ(doc.pages[1].runs[0].x, left + kInch + kInch / 20);
}

namespace {

// Everything a job's pages show, one line an item, for comparing two jobs whole.
std::string pagesOf(const JobDocument& doc) {
    std::string s;
    for (const JobPage& p : doc.pages) {
        s += "page\n";
        for (const auto& r : p.runs) {
            s += "text " + std::to_string(r.x) + " " + std::to_string(r.y) + " " +
                 std::to_string(r.advance) + " " + std::to_string(r.cellHeight) + " " +
                 std::to_string(r.style) + " ";
            for (char32_t c : r.text) s += static_cast<char>(c);
            s += "\n";
        }
        for (const auto& r : p.rules)
            s += "rule " + std::to_string(r.x) + " " + std::to_string(r.y) + " " +
                 std::to_string(r.width) + " " + std::to_string(r.height) + "\n";
        for (const auto& r : p.rasters) {
            std::uint32_t hash = 2166136261u;  // FNV-1a of the dots
            for (std::uint8_t b : r.bits) hash = (hash ^ b) * 16777619u;
            s += "dots " + std::to_string(r.x) + " " + std::to_string(r.y) + " " +
                 std::to_string(r.width) + "x" + std::to_string(r.height) + " " +
                 std::to_string(hash) + "\n";
        }
    }
    return s;
}

}  // namespace

// A call (ESC &f3X) leaves every setting as it found it, whatever its macro changed, and so
// does a reset (ESC E); an execute (ESC &f2X) leaves the macro's settings in force, as if its
// body stood in the job.
// Each case changes one setting in the macro and then prints something that shows it.
TEST(PclMacros, ACallUndoesEachSettingItsMacroChangedAndAnExecuteKeepsIt) {
    std::string lines25, lines66;
    for (int i = 0; i < 66; ++i) (i < 25 ? lines25 : lines66) += "x\n";
    lines66 += lines25;
    struct Case {
        const char* name;
        std::string before, body, after;
    };
    const Case cases[] = {
        {"primary font", "", "~(s3B", "ab\f"},
        {"secondary font", "", "~)s3B",
         "\x0E"
         "ab\f"},
        {"font in use", "~)s3B\x0E", "\x0F", "ab\f"},
        {"character spacing", "", "~&k6H", "ab\f"},
        {"underline", "", "~&d0D", "a b\f"},
        {"line spacing", "", "~&l12D", "a\nb\f"},
        {"cursor across", "", "~&a1200H", "ab\f"},
        {"cursor down", "", "~&a1200V", "ab\f"},
        {"cursor following the top margin", "", "~&a0H", "~&l12Dab\f"},
        {"left margin", "~&a5L", "~&a10L", "\rab\f"},
        {"right margin", "", "~&a20M", "~&a30L\rab\f"},
        {"top margin", "", "~&l10E", "~&a2Rab\f"},
        {"text length", "", "~&l20F", lines25 + "\f"},
        {"perforation skip", "", "~&l0L", lines66 + "\f"},
        {"end-of-line wrap", "", "~&s0C", std::string(90, 'x') + "\f"},
        {"line termination", "~&k1G", "~&k2G", "ab\ncd\ref\f"},
        {"rectangle width", "~*c30a30b", "~*c600A", "~*c0P\f"},
        {"rectangle height", "~*c30a30b", "~*c600B", "~*c0P\f"},
        {"PCL unit", "", "~&u600D", "~*c300a300b0P\f"},
        {"fill pattern", "~*c30a30b1G", "~*c2G", "~*c3P\f"},
    };
    for (const Case& c : cases) {
        const std::string start = "~E" + c.before;
        const std::string define = "~&f5Y~&f0X" + c.body + "~&f1X";
        const std::string without = pagesOf(read(start + c.after));
        const std::string with = pagesOf(read(start + c.body + c.after));
        ASSERT_NE(without, with) << c.name << ": the setting does not show";
        EXPECT_EQ(pagesOf(read(start + define + "~&f3X" + c.after)), without) << c.name;
        EXPECT_EQ(pagesOf(read(start + define + "~&f2X" + c.after)), with) << c.name;
        // A printer reset undoes the setting as well.
        EXPECT_EQ(pagesOf(read(start + c.body + "~E" + c.before + c.after)), without) << c.name;
    }
}

TEST(PclLanguageParts, AnHpglPartIsSkippedUpToTheReturnToPcl) {
    // ESC % 1 B enters HP-GL/2 (not drawn); only ESC % # A, ESC % -12345 X or ESC E end it,
    // not another ESC % sequence inside it.
    EXPECT_EQ(textOf(read("~EA~%1BIN;LBxx\x03;~%2Zyy;~%0AB\f")), U"AB");
    EXPECT_EQ(textOf(read("~EA~%1BIN;LBxx\x03;~EB\f")), U"AB");
    EXPECT_EQ(textOf(read("~EA~%1BIN;LBxx\x03;~%-12345X~EB\f")), U"AB");
    EXPECT_EQ(textOf(read("~EA\f~%1BIN;LBxx\x03;~%12")), U"A");
}

TEST(PclLanguageParts, JobLanguageLinesChooseWhatIsRead) {
    const std::string exit = "~%-12345X";
    // Entering PCL: its text is read.
    JobDocument doc = read(exit + "@PJL JOB\r\n@PJL ENTER LANGUAGE = PCL\r\n~EHello\f" + exit);
    EXPECT_EQ(textOf(doc), U"Hello");
    EXPECT_TRUE(doc.warnings.empty());
    doc = read(exit + "@pjl enter language=pcl\n~EHello\f");
    EXPECT_EQ(textOf(doc), U"Hello");
    // Another language: its part is left out up to the next exit, said once with its name.
    struct Case {
        const char* language;
        const char* named;
    };
    for (const Case& c : {Case{"POSTSCRIPT", "PostScript"}, Case{"PCLXL", "PCL XL"},
                          Case{"HPGL2", "an unknown language"}}) {
        doc = read(exit + "@PJL ENTER LANGUAGE=" + c.language + "\r\nnot text\f" + exit +
                   "@PJL ENTER LANGUAGE=PCL\r\n~EAfter\f");
        EXPECT_EQ(textOf(doc), U"After") << c.language;
        ASSERT_EQ(doc.warnings.size(), 1u) << c.language;
        EXPECT_NE(doc.warnings[0].find(c.named), std::string::npos) << doc.warnings[0];
    }
    // A job that starts as a PCL XL stream holds nothing for this reader.
    doc = read(") HP-PCL XL;2;0\nxyz" + exit + "~EAfter\f");
    EXPECT_EQ(textOf(doc), U"After");
    ASSERT_EQ(doc.warnings.size(), 1u);
    EXPECT_NE(doc.warnings[0].find("PCL XL"), std::string::npos);
}

TEST(PclLanguageParts, OnlyTheWholeUniversalExitEndsTheJob) {
    // ESC % -12345 X resets the printer and ends the page; ESC % 1 X is no exit.
    JobDocument doc = read("~EA~%-12345XB\f");
    EXPECT_EQ(doc.pages.size(), 2u);
    doc = read("~EA~%1XB\f");
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(textOf(doc.pages[0]), U"AB");
}

TEST(PclText, MixedWidthsAreSeenInAdvanceOrHeightAlone) {
    // A proportional 12-point font after 10 pitch: another advance, the same cell height.
    EXPECT_TRUE(read("~EA~(s1PB\f").features.widthsMixed);
    // 12 pitch after 10: both change.
    EXPECT_TRUE(read("~EA~(s12HB\f").features.widthsMixed);
    // Bold and italic alone change nothing of the size.
    EXPECT_FALSE(read("~EA~(s3BB~(s1SC\f").features.widthsMixed);
}

TEST(PclText, ALeftMarginAtTheRightOneIsRefused) {
    constexpr JobUnits kLeft = 71 * kDot;
    // Right margin after column 9 (10 columns); a left margin at column 10 would leave nothing.
    JobDocument doc = read("~E~&a9M~&a10LX\f");
    EXPECT_EQ(doc.pages.at(0).runs.at(0).x, kLeft);
    doc = read("~E~&a9M~&a9LX\f");
    EXPECT_EQ(doc.pages.at(0).runs.at(0).x, kLeft + 9 * 2160);
    // A right margin at the left one is refused too: the line runs on to the full width.
    doc = read("~E~&a10L~&a9M" + std::string(20, 'x') + "\f");
    ASSERT_EQ(doc.pages.at(0).runs.size(), 1u);
    EXPECT_EQ(doc.pages[0].runs[0].text.size(), 20u);
}

TEST(PclText, LineTerminationBackToZero) {
    constexpr JobUnits kLeft = 71 * kDot;
    // ESC &k2G: a line feed also returns the carriage; ESC &k0G: it only feeds again.
    JobDocument doc = read("~E~&k2Ga\nb\f");
    EXPECT_EQ(doc.pages.at(0).runs.back().x, kLeft);
    doc = read("~E~&k2G~&k0Ga\nb\f");
    EXPECT_EQ(doc.pages.at(0).runs.back().x, kLeft + kInch / 10);
    doc = read("~E~&k2G~&k4Ga\nb\f");  // no such mode: 2 stays
    EXPECT_EQ(doc.pages.at(0).runs.back().x, kLeft);
}

// An overlay that ejects a page itself (a form drawn by a macro that ends in a form feed) runs
// once on each page the job ejects; its own form feed ejects nothing.
TEST(PclMacros, AnOverlayThatFeedsAPageDoesNotRunItselfAgain) {
    const JobDocument doc = read("~E~&f0Y~&f0XO\f~&f1X~&f4XA\fB\f");
    std::vector<std::u32string> pages;
    for (const JobPage& p : doc.pages) pages.push_back(textOf(p));
    EXPECT_EQ(pages, (std::vector<std::u32string>{U"AO", U"BO"}));
    EXPECT_TRUE(doc.warnings.empty()) << doc.warnings.front();
}
