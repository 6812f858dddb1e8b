// Downloaded bitmap fonts: a font header, a plain and a row-compressed glyph, selection by ID,
// and the reset that deletes temporary fonts, built byte by byte as the PCL 5 reference lays
// them out.
#include <gtest/gtest.h>

#include <string>

#include "job_interpreter.h"
#include "job_paint.h"

using namespace folvek::printer;

namespace {

std::string word(int v) {
    return {static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)};
}

// A 64-byte bitmap font header: fixed pitch of `pitchDots` at 300 dpi.
std::string header(int pitchDots, bool proportional) {
    std::string h(64, '\0');
    h.replace(0, 2, word(64));
    h[2] = 0;  // PCL bitmap
    h[3] = 1;  // 8-bit
    h[13] = proportional ? 1 : 0;
    h.replace(16, 2, word(pitchDots * 4));
    h.replace(18, 2, word(200));
    return h;
}

std::string glyph(int klass, int left, int top, int width, int height, int advanceDots,
                  const std::string& data) {
    std::string g;
    g += '\x04';
    g += '\0';
    g += '\x0e';
    g += static_cast<char>(klass);
    g += '\0';
    g += '\0';
    g += word(left & 0xFFFF) + word(top & 0xFFFF) + word(width) + word(height) +
         word(advanceDots * 4);
    return g + data;
}

std::string esc(const std::string& s) {
    return "\x1b" + s;
}

std::string withData(const std::string& command, const std::string& data) {
    return esc(command + std::to_string(data.size()) + "W") + data;
}

// Font 5: 'A' an 8 x 3 box, 'B' a 10 x 4 glyph sent row-compressed.
std::string fontJob(bool proportional) {
    return esc("E") + esc("*c5D") + withData(")s", header(30, proportional)) + esc("*c65E") +
           withData("(s", glyph(1, 2, 20, 8, 3, 40, "\xFF\x81\xFF")) + esc("*c66E") +
           withData("(s", glyph(2, 0, 10, 10, 4, 20,
                                std::string("\x01\x00\x0a\x00\x02\x06\x02\x00\x00\x0a", 10)));
}

}  // namespace

TEST(PclSoftFonts, DownloadedGlyphsPrintAsTheirDotsAtTheCursor) {
    const JobDocument doc = interpretPcl(fontJob(false) + esc("(5X") + "AB", JobOptions{});
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_TRUE(doc.pages[0].runs.empty());
    EXPECT_TRUE(doc.features.graphics);
    const auto c = test::paintPage(doc.pages[0], 300);
    // The baseline is 187.5 dots down; 'A' rises 20 dots above it, 2 dots right of the cursor.
    int top = -1;
    for (int y = 150; y < 200 && top < 0; ++y)
        if (c.at(73, y)) top = y;
    ASSERT_GE(top, 167);
    ASSERT_LE(top, 168);
    EXPECT_TRUE(c.at(80, top));
    EXPECT_FALSE(c.at(81, top));
    EXPECT_TRUE(c.at(73, top + 1));
    EXPECT_FALSE(c.at(74, top + 1));
    EXPECT_TRUE(c.at(80, top + 2));
    // 'B' one pitch (30 dots) on, 10 dots above the baseline; its first row group repeats.
    const int b = 71 + 30, bTop = top + 10;
    EXPECT_TRUE(c.at(b, bTop));
    EXPECT_TRUE(c.at(b + 9, bTop + 1));
    EXPECT_FALSE(c.at(b + 1, bTop + 2));
    EXPECT_TRUE(c.at(b + 2, bTop + 2));
    EXPECT_FALSE(c.at(b + 8, bTop + 2));
    EXPECT_TRUE(c.at(b + 5, bTop + 3));
}

TEST(PclSoftFonts, ProportionalAdvanceSelectionAndReset) {
    // Proportional: 'A' moves 40 dots, so 'B' starts 40 dots on.
    JobDocument doc = interpretPcl(fontJob(true) + esc("(5X") + "AB", JobOptions{});
    auto c = test::paintPage(doc.pages.at(0), 300);
    bool at40 = false;
    for (int y = 150; y < 200; ++y) at40 = at40 || c.at(71 + 40, y);
    EXPECT_TRUE(at40);
    // A font chosen by its attributes afterwards prints text again; an unknown ID is ignored.
    doc = interpretPcl(fontJob(false) + esc("(5X") + "A" + esc("(s3B") + "A" + esc("(9X") + "B",
                       JobOptions{});
    ASSERT_EQ(doc.pages.at(0).runs.size(), 1u);
    EXPECT_EQ(doc.pages[0].runs[0].text, U"AB");
    // A reset deletes the font unless it was made permanent.
    doc = interpretPcl(fontJob(false) + esc("E") + esc("(5X") + "A", JobOptions{});
    EXPECT_EQ(doc.pages.at(0).runs.size(), 1u);
    doc = interpretPcl(fontJob(false) + esc("*c5F") + esc("E") + esc("(5X") + "A", JobOptions{});
    EXPECT_TRUE(doc.pages.at(0).runs.empty());
}

TEST(PclSoftFonts, OutlineFontsAreSaidNotDrawn) {
    std::string h = header(30, false);
    h[2] = 15;  // TrueType
    const JobDocument doc =
        interpretPcl(esc("E") + esc("*c7D") + withData(")s", h) + esc("(7X") + "Hi", JobOptions{});
    ASSERT_FALSE(doc.warnings.empty());
    EXPECT_EQ(doc.pages.at(0).runs.at(0).text, U"Hi");
}
