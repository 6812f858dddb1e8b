// ESC/P print modes bit by bit and at their limits: ESC ! master select, the extra space of
// ESC SP, ESC c and ESC X spacing and point sizes, character tables assigned by ESC ( t into
// each slot, and the IBM Proprinter's own commands.
#include <gtest/gtest.h>

#include <string>

#include "escp_job.h"

using namespace folvek::printer;
using namespace folvek::printer::test;
using namespace std::string_literals;

namespace {

constexpr JobUnits kInch = kUnitsPerInch;
constexpr JobUnits kPica = kInch / 10;

}  // namespace

TEST(EscPModes, MasterSelectBitByBit) {
    struct Case {
        int n;
        JobUnits advance;
        std::uint16_t style;
    };
    const Case cases[] = {
        {0, kPica, 0},
        {1, kInch / 12, 0},             // elite
        {4, kInch * 7 / 120, 0},        // condensed pica: 17.14 cpi
        {5, kInch / 20, 0},             // condensed elite: 20 cpi
        {8, kPica, kJobBold},           // emphasized
        {16, kPica, kJobDoubleStrike},  // double strike
        {32, 2 * kPica, 0},             // double width
        {64, kPica, kJobItalic},        // italic
        {128, kPica, kJobUnderline},    // underline
        {2 + 4, kInch * 7 / 120, kJobProportional},
        {8 + 64 + 128 + 1, kInch / 12, kJobBold | kJobItalic | kJobUnderline},
    };
    for (const Case& c : cases) {
        const JobDocument doc = readEscP("\x1b!"s + char(c.n) + "A");
        const PrintedChar a = find(doc, U'A');
        EXPECT_EQ(a.advance, c.advance) << c.n;
        EXPECT_EQ(a.style, c.style) << c.n;
    }
    // Each bit is cleared again by the next ESC ! without it.
    const PrintedChar b = find(readEscP("\x1b!\xff\x1b!\x00"
                                        "B"s),
                               U'B');
    EXPECT_EQ(b.advance, kPica);
    EXPECT_EQ(b.style, 0);
}

TEST(EscPModes, ExtraSpaceHmiAndPointSizeLimits) {
    // ESC SP n: n/120 inch more on 9 pins, n/180 on 24.
    EXPECT_EQ(find(readEscP("\x1b \x06"
                            "AB"s),
                   U'B')
                  .x,
              kPica + 6 * kInch / 120);
    EXPECT_EQ(find(readEscP("\x1b \x06"
                            "AB"s,
                            JobLanguage::EscP2),
                   U'B')
                  .x,
              kPica + 6 * kInch / 180);
    // ESC c nL nH: n/360 inch a character, 1 to 1080.
    EXPECT_EQ(find(readEscP("\x1b"
                            "c\x38\x04"
                            "AB"s,
                            JobLanguage::EscP2),
                   U'B')
                  .x,
              3 * kInch);
    EXPECT_EQ(find(readEscP("\x1b"
                            "c\x39\x04"
                            "AB"s,
                            JobLanguage::EscP2),
                   U'B')
                  .x,
              kPica);
    EXPECT_EQ(find(readEscP("\x1b"
                            "c\x00\x00"
                            "AB"s,
                            JobLanguage::EscP2),
                   U'B')
                  .x,
              kPica);
    EXPECT_EQ(find(readEscP("\x1b"
                            "c\x01\x00"
                            "AB"s,
                            JobLanguage::EscP2),
                   U'B')
                  .x,
              kInch / 360);
    // ESC X m nL nH: m 5 and up is m/360 inch a character; 1 proportional; the point size in
    // half points up to 144 points.
    PrintedChar a = find(readEscP("\x1bX\x05\x00\x00"
                                  "AB"s,
                                  JobLanguage::EscP2),
                         U'A');
    EXPECT_EQ(a.advance, 5 * kInch / 360);
    a = find(readEscP("\x1bX\x04\x00\x00"
                      "AB"s,
                      JobLanguage::EscP2),
             U'A');
    EXPECT_EQ(a.advance, kPica);
    a = find(readEscP("\x1bX\x01\x00\x00"
                      "AB"s,
                      JobLanguage::EscP2),
             U'A');
    EXPECT_EQ(a.style & kJobProportional, kJobProportional);
    a = find(readEscP("\x1bX\x00\x20\x01"
                      "A"s,
                      JobLanguage::EscP2),
             U'A');  // 288 half points
    EXPECT_EQ(a.height, 144 * kInch / 72 * 4 / 5);
    a = find(readEscP("\x1bX\x00\x21\x01"
                      "A"s,
                      JobLanguage::EscP2),
             U'A');  // 289: refused
    EXPECT_EQ(a.height, 2880);
    a = find(readEscP("\x1bX\x00\x14\x00"
                      "A"s,
                      JobLanguage::EscP2),
             U'A');  // 10 points
    EXPECT_EQ(a.height, 10 * kInch / 72 * 4 / 5);
}

TEST(EscPModes, TablesAssignedToEachSlot) {
    // ESC ( t 3 0 slot d2 d3: 1 is PC437, 3 PC850, 10 PC852, 14 PC866; slots by number or digit.
    struct Case {
        const char* name;
        std::string job;
        char32_t shows;
    };
    const Case cases[] = {
        {"437 in slot 2", "\x1b(t\x03\x00\x02\x01\x00\x1bt\x02\xe1"s, U'ß'},
        {"850 in slot '3'",
         "\x1b(t\x03\x00"
         "3\x03\x00\x1bt3\xd5"s,
         U'ı'},
        {"852 in slot 0", "\x1b(t\x03\x00\x00\x0a\x00\x1bt\x00\xa5"s, U'ą'},
        {"866 in slot '1'",
         "\x1b(t\x03\x00"
         "1\x0e\x00\x1bt1\x8f"s,
         U'П'},
        {"slot 4 does not exist", "\x1b(t\x03\x00\x04\x03\x00\x1bt\x01\xe1"s, U'с'},
        {"ESC t 4 keeps the slot", "\x1b(t\x03\x00\x01\x01\x00\x1bt\x04\xe1"s, U'ß'},
        {"0 0 is the italic table", "\x1b(t\x03\x00\x01\x00\x00\x1bt\x01\xe1"s, U'a'},
        {"852 in slot '0'",
         "\x1b(t\x03\x00"
         "0\x0a\x00\x1bt\x01\x1bt0\xa5"s,
         U'ą'},
        {"slot '4' does not exist",
         "\x1b(t\x03\x00"
         "4\x03\x00\x1bt\x01\xe1"s,
         U'с'},
        {"ESC t '4' keeps the slot", "\x1b(t\x03\x00\x01\x01\x00\x1bt\x01\x1bt4\xe1"s, U'ß'},
    };
    for (const Case& c : cases) {
        const JobDocument doc = readEscP(c.job);
        EXPECT_EQ(allText(doc), std::u32string(1, c.shows)) << c.name;
        EXPECT_TRUE(doc.warnings.empty()) << c.name;
    }
    // A table we do not carry is replaced by the job's own, with a warning.
    const JobDocument doc = readEscP("\x1b(t\x03\x00\x01\x63\x00\x1bt\x01\x8f"s);
    EXPECT_EQ(allText(doc), U"П");
    EXPECT_EQ(doc.warnings.size(), 1u);
    // d3 other than 0 is another family of tables: not carried either.
    EXPECT_EQ(readEscP("\x1b(t\x03\x00\x01\x01\x01\x1bt\x01\xe1"s).warnings.size(), 1u);
}

TEST(EscPModes, ProprinterCommands) {
    const auto read = [](const std::string& job) { return readEscP(job, JobLanguage::Proprinter); };
    // ESC d nL nH: n/120 inch to the right.
    EXPECT_EQ(find(read("A\x1b"
                        "d\x0c\x00"
                        "B"s),
                   U'B')
                  .x,
              kPica + 12 * kInch / 120);
    // ESC P 1 proportional, ESC P 0 back.
    EXPECT_EQ(find(read("\x1bP\x01"
                        "A"s),
                   U'A')
                      .style &
                  kJobProportional,
              kJobProportional);
    EXPECT_EQ(find(read("\x1bP\x01\x1bP\x00"
                        "A"s),
                   U'A')
                  .style,
              0);
    // ESC 4: this line is the top of the form: after a form feed printing starts there.
    JobDocument doc = read(
        "\r\n\r\n\x1b"
        "4A\x0c"
        "B"s);
    EXPECT_EQ(find(doc, U'B').y, find(doc, U'A').y);
    EXPECT_EQ(find(doc, U'B').page, 1u);
    // ESC R: tab stops back to every eight columns.
    doc = read(
        "\x1b"
        "D\x02\x00\x1bR\tA"s);
    EXPECT_EQ(find(doc, U'A').x, 8 * kPica);
    // ESC 5 n, ESC I n, ESC Q n take one byte; ESC = nL nH takes n; ESC j stops nothing.
    doc = read(
        "\x1b"
        "5\x01"
        "a\x1bI\x02"
        "b\x1bQ\x03"
        "c\x1b=\x02\x00\x41\x42"
        "d\x1bj"
        "e"s);
    EXPECT_EQ(allText(doc), U"abcde");
    // ESC [ with another letter is skipped whole; ESC [ @ with 4 bytes sets only height.
    doc = read(
        "\x1b[T\x03\x00\x01\x02\x03"
        "a\x1b[@\x04\x00\x00\x00\x00\x02"
        "b"s);
    EXPECT_EQ(allText(doc), U"ab");
    EXPECT_EQ(find(doc, U'b').height, 2 * find(doc, U'a').height);
    EXPECT_EQ(find(doc, U'b').advance, find(doc, U'a').advance);
    // Only ESC [ @ sets sizes: another letter's data of the same form is skipped.
    doc = read(
        "a\x1b[T\x05\x00\x00\x00\x00\x02\x02"
        "b"s);
    EXPECT_EQ(find(doc, U'b').height, find(doc, U'a').height);
    EXPECT_EQ(find(doc, U'b').advance, find(doc, U'a').advance);
    // ESC X 0 r leaves the left margin, sets the right; a left past the right is refused.
    doc = read(
        "\x1bX\x05\x00"
        "A"s);
    EXPECT_EQ(find(doc, U'A').x, 4 * kPica);
    doc = read("\x1bX\x00\x0a"s + std::string(12, 'x') + "B");
    EXPECT_EQ(find(doc, U'B').x, 2 * kPica);  // wrapped at column 10
    doc = read(
        "\x1bX\x14\x0a"
        "A"s);
    EXPECT_EQ(find(doc, U'A').x, 0);
    // ESC A n, ESC 2: n/72 inch spacing; without ESC A first, ESC 2 is 1/6.
    doc = read(
        "\x1b"
        "2a\n\rb"s);
    EXPECT_EQ(find(doc, U'b').y - find(doc, U'a').y, kInch / 6);
}
