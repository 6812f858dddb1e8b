// ESC/P jobs at the edges of what the reader decides: the carriage chosen by the widest line,
// spaces and upper control codes, bit images whose column count is not a whole byte, and the
// 16- and 32-bit forms of the ESC ( moves.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "escp_job.h"

using namespace folvek::printer;
using namespace folvek::printer::test;
using namespace std::string_literals;

namespace {

constexpr JobUnits kInch = kUnitsPerInch;
constexpr JobUnits kColumn = kInch / 10;  // 10 cpi
constexpr JobUnits kBase = 2100;          // baseline of the first line below the top (ESC/P)

// Every inked dot of the first page, as (x, y) of its top-left corner.
std::vector<std::pair<JobUnits, JobUnits>> inkDots(const JobDocument& doc) {
    std::vector<std::pair<JobUnits, JobUnits>> dots;
    if (doc.pages.empty()) return dots;
    for (const JobRaster& r : doc.pages[0].rasters)
        for (int row = 0; row < r.height; ++row)
            for (int col = 0; col < r.width; ++col)
                if (r.bits[std::size_t(row) * r.rowBytes + col / 8] & (0x80 >> (col % 8)))
                    dots.emplace_back(r.x + JobUnits(col) * kInch / r.dpiX,
                                      r.y + JobUnits(row) * kInch / r.dpiY);
    return dots;
}

}  // namespace

TEST(EscPLimits, TheCarriageFollowsTheWidestLineWithATenthOfAnInchToSpare) {
    const auto widthFor = [](std::size_t columns) {
        return readEscP(std::string(columns, 'x')).pages.at(0).width;
    };
    EXPECT_EQ(widthFor(81), 8 * kInch);  // 8.1 inches still fit the 8-inch carriage
    EXPECT_EQ(widthFor(82), 136 * kInch / 10);
    EXPECT_EQ(widthFor(137), 136 * kInch / 10);  // 13.7 inches: the wide carriage
    // Past the wide carriage the page is as wide as what was printed: a 1000-column bit
    // image at 60 dots an inch...
    const auto image = [](std::size_t columns) {
        return readEscP("\x1bK"s + char(columns & 0xFF) + char(columns >> 8) +
                        std::string(columns, '\x80'));
    };
    EXPECT_EQ(image(1000).pages.at(0).width, 1000 * kInch / 60);
    // ... up to twice the wide carriage.
    EXPECT_EQ(image(2000).pages.at(0).width, 2 * 136 * kInch / 10);
    // The job's own carriage width wins.
    JobOptions wide;
    wide.carriageWidth = 15 * kInch;
    EXPECT_EQ(interpretEscP("x", wide, JobLanguage::EscP).pages.at(0).width, 15 * kInch);
}

TEST(EscPLimits, SpacesAndUpperControlCodes) {
    JobDocument doc = readEscP("A B  C");
    EXPECT_EQ(allText(doc), U"A B  C");
    EXPECT_EQ(find(doc, U'B').x, 2 * kColumn);
    EXPECT_EQ(find(doc, U'C').x, 5 * kColumn);
    // Under the italic table, 0x80-0x9F are control codes: 0x8D returns the carriage and
    // 0x8A feeds a line; 0xA0 up print.
    doc = readEscP(
        "\x1bt\x00"
        "AB\x8D"
        "C\x8A"
        "D\xC1"s);
    EXPECT_EQ(find(doc, U'C').x, 0);
    EXPECT_EQ(find(doc, U'C').y, kBase);
    EXPECT_EQ(find(doc, U'D').y, kBase + kInch / 6);
    EXPECT_EQ(find(doc, U'D').x, 0);
    EXPECT_EQ(allText(doc).size(), 5u);  // A, B, C, D and the italic A of 0xC1
    // ESC 6 makes them print; ESC 7 makes them controls again.
    doc = readEscP(
        "\x1bt\x00\x1b"
        "6AB\x8D"
        "C\x1b"
        "7\x8D"
        "D"s);
    EXPECT_EQ(find(doc, U'C').x, 3 * kColumn);
    EXPECT_EQ(find(doc, U'D').x, 0);
    // A graphics table prints them as its own characters.
    doc = readEscP(
        "\x1bt\x01"
        "A\x80\x9F"s);
    EXPECT_EQ(allText(doc), U"AАЯ");  // the job's table: 866
    // DEL prints nothing on a 24-pin printer and deletes the last character on a 9-pin one.
    EXPECT_EQ(allText(readEscP("AB\x7F"
                               "C",
                               JobLanguage::EscP2)),
              U"ABC");
    EXPECT_EQ(allText(readEscP("AB\x7F"
                               "C",
                               JobLanguage::EscP)),
              U"AC");
}

TEST(EscPLimits, BitImagesOfEveryColumnCount) {
    // ESC K: 60 dots an inch, one byte a column, top pin in the top bit. Only the last column
    // is inked, with its top pin: every dot printed is in that column.
    for (const std::size_t columns : {1u, 7u, 8u, 9u, 16u, 17u}) {
        std::string data(columns, '\0');
        data.back() = '\x80';
        const JobDocument doc = readEscP("\x1bK"s + char(columns) + '\0' + data + "Z");
        const auto dots = inkDots(doc);
        ASSERT_FALSE(dots.empty()) << columns;
        for (const auto& [x, y] : dots) EXPECT_EQ(x, JobUnits(columns - 1) * kInch / 60) << columns;
        EXPECT_EQ(dots.front().second, 0) << columns;  // the top pin at the top of the line
        // Text goes on after the picture.
        EXPECT_EQ(find(doc, U'Z').x, static_cast<JobUnits>(columns) * kInch / 60) << columns;
    }
    // ESC ^ m: nine-dot columns of two bytes, 60 dots an inch for m = 0 and 120 for m = 1.
    for (const int m : {0, 1}) {
        const JobDocument nine =
            readEscP("\x1b^"s + char(m) + "\x03\x00"s + std::string("\0\0\0\0\x80\x00"s) + "Z");
        const auto d = inkDots(nine);
        ASSERT_FALSE(d.empty()) << m;
        const JobUnits dpi = m ? 120 : 60;
        EXPECT_EQ(d.front().first, 2 * kInch / dpi) << m;
        EXPECT_EQ(find(nine, U'Z').x, 3 * kInch / dpi) << m;
    }
    // ESC * 39: three bytes a column at 180 dots an inch; the 24th pin of the ninth column.
    std::string data(9 * 3, '\0');
    data.back() = '\x01';
    // On a 24-pin printer each pin row is two rows of its 360-dot canvas.
    const auto dots = inkDots(readEscP("\x1b*\x27\x09\x00"s + data, JobLanguage::EscP2));
    ASSERT_EQ(dots.size(), 2u);
    EXPECT_EQ(dots[0].first, 8 * kInch / 180);
    EXPECT_EQ(dots[1].first, 8 * kInch / 180);
    EXPECT_EQ(dots[0].second, 23 * kInch / 180);
    EXPECT_EQ(dots[1].second, 23 * kInch / 180 + kInch / 360);
}

TEST(EscPLimits, ParenMovesInTheirSixteenAndThirtyTwoBitForms) {
    const std::string unit = "\x1b@\x1b(U\x01\x00\x0a"s;  // 1/360 inch
    // ESC ( V with two bytes, with four, and with three (read as two: the third is text).
    JobDocument doc = readEscP(unit +
                                   "\x1b(V\x02\x00\x68\x01"
                                   "A"s,
                               JobLanguage::EscP2);
    EXPECT_EQ(find(doc, U'A').y, kInch + 2240);
    doc = readEscP(unit +
                       "\x1b(V\x04\x00\x68\x01\x00\x00"
                       "A"s,
                   JobLanguage::EscP2);
    EXPECT_EQ(find(doc, U'A').y, kInch + 2240);
    EXPECT_EQ(find(doc, U'A').page, 0u);
    doc = readEscP(unit +
                       "\x1b(V\x03\x00\x68\x01\x00"
                       "A"s,
                   JobLanguage::EscP2);
    EXPECT_EQ(find(doc, U'A').y, kInch + 2240);
    EXPECT_EQ(find(doc, U'A').page, 0u);
    // The fourth byte counts: 2^24 units is far past any page.
    doc = readEscP(unit +
                       "\x1b(V\x04\x00\x68\x01\x00\x01"
                       "A"s,
                   JobLanguage::EscP2);
    EXPECT_NE(find(doc, U'A').y, kInch + 2240);
    // ESC ( v relative, 32 bits: 360 down, then -180 (4C FF FF FF) back up.
    doc = readEscP(unit +
                       "\x1b(v\x04\x00\x68\x01\x00\x00"
                       "A\x1b(v\x04\x00\x4c\xff\xff\xff"
                       "B"s,
                   JobLanguage::EscP2);
    EXPECT_EQ(find(doc, U'A').y, kInch + 2240);
    EXPECT_EQ(find(doc, U'B').y, kInch / 2 + 2240);
    // ESC ( C page length: 32 bits, 1800/360 = 5 inches.
    doc = readEscP(unit +
                       "\x1b(C\x04\x00\x08\x07\x00\x00"
                       "A"s,
                   JobLanguage::EscP2);
    EXPECT_EQ(doc.pages.at(0).height, 5 * kInch);
    // ESC ( c page format, 32-bit top and bottom: top 0.5 inch, bottom 4 inches.
    doc = readEscP(unit +
                       "\x1b(C\x02\x00\x08\x07\x1b(c\x08\x00\xb4\x00\x00\x00\x40\x05\x00\x00"
                       "A"s,
                   JobLanguage::EscP2);
    EXPECT_EQ(find(doc, U'A').y, kInch / 2 + 2240);
    EXPECT_TRUE(doc.warnings.empty());
}

TEST(EscPLimits, TheLineBufferHoldsFourThousandAndNinetySixCharacters) {
    // CAN takes back the line still held; a line of more than 4096 characters has been printed
    // up to there. Each character here is struck over the one before (backspace).
    const auto job = [](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += "x\b";
        return s + "\x18z";
    };
    EXPECT_EQ(allText(readEscP(job(4096))), U"z");
    EXPECT_EQ(allText(readEscP(job(4097))), std::u32string(4096, U'x') + U"z");
}

TEST(EscPLimits, InternationalCharacterSetsReplaceTheirPositions) {
    // ESC R n, from the Epson reference's table: the characters a country puts at #, @, [, \.
    struct Case {
        int country;
        const char* ascii;
        std::u32string shows;
    };
    const Case cases[] = {
        {0, "#@[\\", U"#@[\\"},  // USA
        {1, "@\\", U"àç"},       // France
        {2, "@[\\", U"§ÄÖ"},     // Germany
        {3, "#", U"£"},          // United Kingdom
        {8, "\\", U"¥"},         // Japan
        {15, "#@", U"#@"},       // no such country: ASCII
    };
    for (const Case& c : cases)
        EXPECT_EQ(allText(readEscP("\x1bR"s + char(c.country) + c.ascii)), c.shows) << c.country;
}

TEST(EscPLimits, APageLengthIsHeldToTwentyTwoInches) {
    // ESC ( C in 1/360 inch, 32 bits: 60 inches asked, 22 given (the longest form Epson
    // printers take); 20 inches as asked.
    const std::string unit = "\x1b@\x1b(U\x01\x00\x0a"s;
    JobDocument doc = readEscP(unit +
                                   "\x1b(C\x04\x00\x60\x54\x00\x00"
                                   "A"s,
                               JobLanguage::EscP2);
    EXPECT_EQ(doc.pages.at(0).height, 22 * kInch);
    doc = readEscP(unit +
                       "\x1b(C\x04\x00\x20\x1c\x00\x00"
                       "A"s,
                   JobLanguage::EscP2);
    EXPECT_EQ(doc.pages.at(0).height, 20 * kInch);
}
