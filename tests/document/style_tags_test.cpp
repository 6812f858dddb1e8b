// Recognising tags, walking a line by visible character, and the starting style of lines.
#include <gtest/gtest.h>

#include <cstring>

#include "style_tags.h"
#include "test_support.h"

namespace folvek {
namespace {

TEST(StyleTags, Recogniser) {
    EXPECT_EQ(tagAt("<B>"), 1);
    EXPECT_EQ(tagAt("<I>x"), 2);
    EXPECT_EQ(tagAt("<U>"), 3);
    EXPECT_EQ(tagAt("</B>"), 11);
    EXPECT_EQ(tagAt("</I>"), 12);
    EXPECT_EQ(tagAt("</U>"), 13);
    for (const char* text :
         {"<b>", "< B>", "<X>", "<", "<B", "</B", "</", "<//B>", "</b>", "B>", ""})
        EXPECT_EQ(tagAt(text), 0) << text;
    EXPECT_EQ(tagLength(1), 3);
    EXPECT_EQ(tagLength(13), 4);
}

TEST(StyleTags, ApplyDoesNotNest) {
    std::uint16_t s = 0;
    EXPECT_EQ(applyTag("<B>", s), 1);
    EXPECT_EQ(applyTag("<B>", s), 1);
    EXPECT_EQ(applyTag("</B>", s), 11);
    EXPECT_EQ(s, 0);
    applyTag("<I>", s);
    applyTag("<U>", s);
    EXPECT_EQ(applyTag("<x>", s), 0);
    EXPECT_EQ(s, kItalic | kUnderline);
    applyTag("</U>", s);
    EXPECT_EQ(s, kItalic);
    // Each closing tag clears its own flag and no other.
    for (const auto& [tag, cleared] :
         {std::pair{"</B>", kBold}, std::pair{"</I>", kItalic}, std::pair{"</U>", kUnderline}}) {
        std::uint16_t all = kBold | kItalic | kUnderline;
        applyTag(tag, all);
        EXPECT_EQ(all, (kBold | kItalic | kUnderline) & ~cleared) << tag;
    }
}

TEST(StyleTags, VisibleLengthAndCharacters) {
    EXPECT_EQ(visibleLength("<B>bold</B> normal"), 11);
    EXPECT_EQ(visibleCharAt("<B>bold</B> normal", 4), ' ');
    EXPECT_EQ(visibleLength("<b>x"), 4);
    EXPECT_EQ(visibleLength("ab<B"), 4);
    EXPECT_EQ(visibleLength("ab</B"), 5);
    EXPECT_EQ(visibleLength("<B></B>"), 0);
    EXPECT_EQ(visibleLength(nullptr), 0);
    EXPECT_EQ(visibleLength("\t\xff\x80"), 3);
    EXPECT_EQ(visibleCharAt("<B>x", 0), 'x');
    EXPECT_EQ(visibleCharAt("<B>x", 1), '\0');
    EXPECT_EQ(visibleCharAt(nullptr, 0), '\0');
    EXPECT_EQ(visibleCharAt("abc", -1), '\0');
}

TEST(StyleTags, SkipVisible) {
    std::uint16_t s = 0;
    const char* line = "a<B>";
    EXPECT_EQ(skipVisible(line, 1, s), line + 4);  // the NUL, with bold applied
    EXPECT_EQ(s, kBold);
    s = 0;
    EXPECT_EQ(skipVisible("ab", 5, s), nullptr);
    s = 0;
    const char* l2 = "<B><I>x";
    EXPECT_EQ(skipVisible(l2, 0, s), l2 + 6);  // tags right in front of it are applied
    EXPECT_EQ(s, kBold | kItalic);
    s = 0;
    EXPECT_EQ(skipVisible("<U>ab</U>", 9, s), nullptr);
    EXPECT_EQ(s, 0);  // every tag of the line was applied
    EXPECT_EQ(skipVisible(nullptr, 0, s), nullptr);
}

class ScanStyles : public ::testing::Test {
  protected:
    void set(std::initializer_list<const char*> lines) {
        doc->freeText();
        for (const char* l : lines) doc->lines.append(l, std::strlen(l));
    }
    coretest::ScratchDir dir;
    coretest::MessageRecorder messages;
    std::unique_ptr<DocumentRecord> doc = coretest::makeRecord(dir, messages);
};

TEST_F(ScanStyles, CarriesAcrossLinesAndPages) {
    set({"<U>abc", "def", "\f", "x</U><B>", "<I>", "end"});
    doc->scanStyles();
    const std::uint16_t want[] = {0, kUnderline, kUnderline, kUnderline, kBold, kBold | kItalic};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(doc->lines.styleAt(i), want[i]) << i;
    EXPECT_EQ(doc->lines.currentIndex(), 5);
}

TEST_F(ScanStyles, BaseFontSetsTheStartingFlags) {
    set({"a</B>", "b", "<I>c"});
    doc->logFont.weight = 700;
    doc->logFont.italic = 1;
    doc->scanStyles();
    EXPECT_EQ(doc->lines.styleAt(0), kBold | kItalic);
    EXPECT_EQ(doc->lines.styleAt(1), kItalic);
    doc->logFont.weight = 100;  // anything but 400 is bold
    doc->logFont.italic = 0;
    doc->scanStyles();
    EXPECT_EQ(doc->lines.styleAt(0), kBold);
    EXPECT_EQ(doc->lines.styleAt(2), 0);
}

}  // namespace
}  // namespace folvek
