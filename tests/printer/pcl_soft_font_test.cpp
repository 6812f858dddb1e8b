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

namespace {

// What "A" and "B" print as in font 5 after `between`: 'd' for the downloaded glyph's dots,
// 't' for text in a built-in font, '-' for nothing.
std::string printedAs(const std::string& between) {
    std::string out;
    for (const char c : {'A', 'B'}) {
        const JobDocument doc =
            interpretPcl(fontJob(false) + between + esc("(5X") + std::string(1, c), JobOptions{});
        if (doc.pages.empty())
            out += '-';
        else if (!doc.pages[0].runs.empty())
            out += 't';
        else
            out += doc.pages[0].rasters.empty() ? '-' : 'd';
    }
    return out;
}

}  // namespace

TEST(PclSoftFonts, FontControlDeletesAndKeepsWhatItNames) {
    EXPECT_EQ(printedAs(""), "dd");
    EXPECT_EQ(printedAs(esc("*c0F")), "tt");                              // delete all
    EXPECT_EQ(printedAs(esc("*c5F") + esc("*c0F")), "tt");                // permanent too
    EXPECT_EQ(printedAs(esc("*c1F")), "tt");                              // the temporary
    EXPECT_EQ(printedAs(esc("*c5F") + esc("*c1F")), "dd");                // keeps permanent
    EXPECT_EQ(printedAs(esc("*c5F") + esc("*c4F") + esc("E")), "tt");     // temporary again
    EXPECT_EQ(printedAs(esc("*c2F")), "tt");                              // the font by ID
    EXPECT_EQ(printedAs(esc("*c9D") + esc("*c2F") + esc("*c5D")), "dd");  // another ID
    EXPECT_EQ(printedAs(esc("*c65E") + esc("*c3F")), "-d");               // one character
    EXPECT_EQ(printedAs(esc("*c67E") + esc("*c3F")), "dd");               // one not there
}

TEST(PclSoftFonts, GlyphsInPartsResolutionsAndRefusedHeaders) {
    // A glyph sent in two parts: the continuation (second byte 1) fills the rest of its rows.
    const std::string whole =
        esc("E") + esc("*c5D") + withData(")s", header(30, false)) + esc("*c65E") +
        withData("(s", glyph(1, 0, 3, 8, 3, 30, "\xFF\x81\xFF")) + esc("(5X") + "A";
    const std::string parts = esc("E") + esc("*c5D") + withData(")s", header(30, false)) +
                              esc("*c65E") + withData("(s", glyph(1, 0, 3, 8, 3, 30, "\xFF")) +
                              withData("(s", std::string("\x04\x01\x81\xFF", 4)) + esc("(5X") + "A";
    const JobDocument a = interpretPcl(whole, JobOptions{});
    const JobDocument b = interpretPcl(parts, JobOptions{});
    ASSERT_EQ(a.pages.size(), 1u);
    ASSERT_EQ(b.pages.size(), 1u);
    ASSERT_EQ(a.pages[0].rasters.size(), 1u);
    ASSERT_EQ(b.pages[0].rasters.size(), 1u);
    EXPECT_EQ(a.pages[0].rasters[0].bits, b.pages[0].rasters[0].bits);
    EXPECT_EQ(a.pages[0].rasters[0].height, 3);
    // A continuation with no glyph open is refused, with the warning for fonts not drawn.
    const JobDocument stray = interpretPcl(
        esc("E") + withData("(s", std::string("\x04\x01\x81\xFF", 4)) + "x", JobOptions{});
    EXPECT_EQ(stray.warnings.size(), 1u);
    // Nor is one after a glyph that came whole, plain or compressed (all rows 0xFF): it
    // changes nothing.
    const std::string more = withData("(s", std::string("\x04\x01\x00\x00", 4));
    for (int klass : {1, 2}) {
        const std::string rows = klass == 1 ? "\xFF\xFF\xFF" : std::string("\x02\x00\x08", 3);
        const JobDocument c = interpretPcl(
            esc("E") + esc("*c5D") + withData(")s", header(30, false)) + esc("*c65E") +
                withData("(s", glyph(klass, 0, 3, 8, 3, 30, rows)) + more + esc("(5X") + "A",
            JobOptions{});
        ASSERT_EQ(c.pages.size(), 1u) << klass;
        ASSERT_EQ(c.pages[0].rasters.size(), 1u) << klass;
        EXPECT_EQ(c.pages[0].rasters[0].height, 3) << klass;
        EXPECT_EQ(test::paintPage(c.pages[0], 300).inkCount(), 24) << klass;
        EXPECT_EQ(c.warnings.size(), 1u) << klass;
    }

    // Format 20 headers give the font's resolution (bytes 64-65), held to 75-1200 dpi.
    const auto dpiOf = [](int dpi) {
        std::string h = header(30, false);
        h[2] = 20;
        h.resize(68, '\0');
        h.replace(64, 2, word(dpi));
        const JobDocument doc = interpretPcl(
            esc("E") + esc("*c5D") + withData(")s", h) + esc("*c65E") +
                withData("(s", glyph(1, 0, 3, 8, 3, 30, "\xFF\x81\xFF")) + esc("(5X") + "A",
            JobOptions{});
        return doc.pages.empty() || doc.pages[0].rasters.empty() ? 0 : doc.pages[0].rasters[0].dpiX;
    };
    EXPECT_EQ(dpiOf(600), 600);
    EXPECT_EQ(dpiOf(1200), 1200);
    EXPECT_EQ(dpiOf(2400), 1200);
    EXPECT_EQ(dpiOf(75), 75);
    EXPECT_EQ(dpiOf(10), 75);

    // Glyphs refused: a descriptor shorter than 14 bytes, class 3, no width.
    for (const std::string& bad :
         {[] {
              std::string g = glyph(1, 0, 3, 8, 3, 30, "\xFF\x81\xFF");
              g[2] = 13;
              return g;
          }(),
          glyph(3, 0, 3, 8, 3, 30, "\xFF\x81\xFF"), glyph(1, 0, 3, 0, 3, 30, "")}) {
        const JobDocument doc =
            interpretPcl(esc("E") + esc("*c5D") + withData(")s", header(30, false)) + esc("*c65E") +
                             withData("(s", bad) + esc("(5X") + "A",
                         JobOptions{});
        EXPECT_TRUE(doc.pages.empty() || doc.pages[0].rasters.empty());
    }
}
