// The font cache: the faces and sizes it keeps, when it starts afresh, and the defaults a
// settings file's font takes when a field is 0.
#include <gtest/gtest.h>

#include <string>

#include "qt_device_context.h"
#include "qt_font_cache.h"

namespace folvek {
namespace {

LogFont courier(int height) {
    LogFont f;
    f.height = height;
    f.setFaceName("Courier New");
    return f;
}

// Up to 65 faces are kept; asking for one more starts the cache afresh (a new generation,
// which tells the devices that their sized fonts are gone). The same for 257 sizes of a face.
TEST(FontCache, StartsAfreshPastSixtyFiveFacesOrTwoHundredFiftySevenSizes) {
    FontCache& cache = FontCache::instance();
    cache.clear();
    const auto start = cache.generation();
    for (int i = 1; i <= 65; ++i) cache.face(courier(-i));
    EXPECT_EQ(cache.generation(), start);
    const FontFace& first = cache.face(courier(-1));  // still there: no new generation
    EXPECT_EQ(first.key.height, -1);
    EXPECT_EQ(cache.generation(), start);
    cache.face(courier(-66));
    EXPECT_EQ(cache.generation(), start + 1);

    cache.clear();
    const auto sizes = cache.generation();
    for (int i = 1; i <= 257; ++i) cache.realise(courier(-13), i);
    EXPECT_EQ(cache.generation(), sizes);
    EXPECT_DOUBLE_EQ(cache.realise(courier(-13), 1).emPx, 13.0);
    EXPECT_EQ(cache.generation(), sizes);
    cache.realise(courier(-13), 258);
    EXPECT_EQ(cache.generation(), sizes + 1);
    cache.clear();
}

// A positive height is the cell, from 1 unit up: twice the cell, twice the text.
TEST(FontCache, ACellHeightOfOneUnitIsACell) {
    QtDeviceContext dc(nullptr, 600, 600, QSizeF(200, 287));
    dc.setLoEnglish();
    const std::string zeros(100, '0');
    dc.selectFont(courier(1));
    const int one = dc.textExtent(zeros.data(), 100).cx;
    dc.selectFont(courier(2));
    const int two = dc.textExtent(zeros.data(), 100).cx;
    EXPECT_NEAR(2 * one, two, 2);
    dc.selectFont(courier(-1));  // an em of 1: wider than a cell of 1
    EXPECT_GT(dc.textExtent(zeros.data(), 100).cx, one + 3);
}

// A height of 0 is 13 units; a weight of 0 is normal, and weights are kept within 1..1000.
TEST(FontCache, ZeroHeightAndWeightTakeTheDefaults) {
    FontCache& cache = FontCache::instance();
    EXPECT_DOUBLE_EQ(cache.realise(courier(0), 2.0).emPx, 26.0);
    EXPECT_DOUBLE_EQ(cache.realise(courier(-10), 2.0).emPx, 20.0);
    LogFont f = courier(-13);
    f.weight = 0;
    EXPECT_EQ(cache.face(f).font.weight(), QFont::Normal);
    f.weight = 700;
    EXPECT_EQ(cache.face(f).font.weight(), QFont::Bold);
    f.weight = 5000;
    EXPECT_EQ(cache.face(f).font.weight(), 1000);
    f.weight = 1;
    EXPECT_EQ(cache.face(f).font.weight(), 1);
}

// Every byte of code page 1251 gets its glyph in a face that has Cyrillic, up to the last
// ("я", 0xFF); the control bytes are drawn as blanks, which are no missing glyph. Depends on a
// Cyrillic monospace font for "Courier New" (Liberation Mono, which tools/setup installs).
TEST(FontCache, EveryByteUpToTheLastHasItsGlyph) {
    FontCache& cache = FontCache::instance();
    cache.clear();
    const FontFace& face = cache.face(courier(-13));
    if (!face.raw.isValid() || !face.raw.supportsCharacter(QChar(u'я')))
        GTEST_SKIP() << "no Cyrillic monospace font for Courier New on this machine";
    for (const int byte : {0x01, 0x20, 0x41, 0xC0, 0xE0, 0xFE, 0xFF}) {
        EXPECT_FALSE(face.missing[byte]) << byte;
        if (byte >= 0x21) {
            EXPECT_NE(face.glyph[byte], 0u) << byte;
        }
        EXPECT_GT(face.advance[byte], 0.0f) << byte;
    }
    EXPECT_EQ(face.glyph[0xFF], face.raw.glyphIndexesForString(QStringLiteral("я")).value(0));
    cache.clear();
}

}  // namespace
}  // namespace folvek
