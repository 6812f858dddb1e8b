// A long line cut into the strips of continuation sheets: each strip holds the sheet's columns,
// the byte just before a continuation strip is handed on (a rule in the strip joins to a bar
// that ends the strip before it), the tags before a strip set its style, and a strip past the
// line's end is empty.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "recording_device.h"
#include "row_painter.h"
#include "style_tags.h"

namespace folvek::test {
namespace {

struct Strip {
    std::string text;
    std::uint8_t prefix;
    std::uint16_t style;
};

Strip cut(TestRecord& t, const char* line, int strip) {
    char buf[1025];
    std::uint16_t style = 0;
    std::uint8_t prefix = 0;
    const char* s = cutStrip(*t, line, strip, buf, style, &prefix);
    return {s, prefix, style};
}

TEST(CutStrip, EachStripHoldsTheSheetsColumnsAndKnowsTheByteBeforeIt) {
    TestRecord t;
    t->isWrap = 1;
    t->charsPerLine = 4;
    Strip s = cut(t, "abc|--xyEND", 0);
    EXPECT_EQ(s.text, "abc|");
    EXPECT_EQ(s.prefix, 0);
    s = cut(t, "abc|--xyEND", 1);
    EXPECT_EQ(s.text, "--xy");
    EXPECT_EQ(s.prefix, '|');
    s = cut(t, "abc|--xyEND", 2);
    EXPECT_EQ(s.text, "END");
    EXPECT_EQ(s.prefix, 'y');
    EXPECT_EQ(cut(t, "abc|--xyEND", 3).text, "");
    EXPECT_EQ(cut(t, nullptr, 1).text, "");

    // Tags take no columns; those before a strip give it its style.
    s = cut(t, "ab<B>cdefgh", 1);
    EXPECT_EQ(s.text, "efgh");
    EXPECT_EQ(s.style, kBold);
    EXPECT_EQ(cut(t, "ab<B>cd</B>efgh", 1).style, 0);

    // Without wrapping the line is one strip, whatever the sheet holds.
    t->isWrap = 0;
    EXPECT_EQ(cut(t, "abc|--xyEND", 0).text, "abc|--xyEND");
}

}  // namespace
}  // namespace folvek::test
