// PCL XL streams made by hand byte by byte as the protocol reference lays them out: typed
// values and attribute ids, embedded data, broken and cut streams, and small jobs whose image
// must land at the place and size the job gives.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "job_interpreter.h"
#include "pclxl_stream.h"

using namespace folvek::printer;
using namespace std::string_literals;

namespace {

// Little-endian bytes of a job, written the way a driver writes them.
struct Bytes {
    std::string s;
    Bytes& raw(const std::string& b) { return s += b, *this; }
    Bytes& byte(int b) { return s += static_cast<char>(b), *this; }
    Bytes& u16(int v) { return byte(v & 0xff).byte((v >> 8) & 0xff); }
    Bytes& u32(std::uint32_t v) { return u16(int(v & 0xffff)).u16(int(v >> 16)); }
    Bytes& ub(int v, int attr) { return byte(0xc0).byte(v).byte(0xf8).byte(attr); }
    Bytes& us(int v, int attr) { return byte(0xc1).u16(v).byte(0xf8).byte(attr); }
    Bytes& usxy(int x, int y, int attr) { return byte(0xd1).u16(x).u16(y).byte(0xf8).byte(attr); }
    Bytes& op(int o) { return byte(o); }
};

const std::string kHeader = "\x1b%-12345X@PJL ENTER LANGUAGE = PCLXL\n) HP-PCL XL;2;0\n";

// A session at 300 units an inch and an A4 page, up to where the page's drawing starts.
Bytes pageStart() {
    Bytes b;
    b.raw(kHeader).usxy(300, 300, 0x89).ub(0, 0x86).op(0x41);  // BeginSession
    b.ub(0, 0x88).ub(1, 0x82).op(0x48);                        // OpenDataSource
    b.ub(0, 0x28).ub(2, 0x25).op(0x43);                        // BeginPage: portrait A4
    return b;
}

// A 16 x 2 image of one bit a pixel, black where the bit is set, at (x, y), twice its size.
Bytes withImage(Bytes b, int x, int y) {
    b.ub(1, 0x03).ub(2, 0x02).byte(0xc8).byte(0xc0).byte(2).byte(0xff).byte(0x00);
    b.byte(0xf8).byte(0x06).op(0x6a);  // SetColorSpace gray, palette white, black
    b.usxy(x, y, 0x4c).op(0x6b);       // SetCursor
    b.ub(1, 0x64).ub(0, 0x62).us(16, 0x6c).us(2, 0x6b).usxy(32, 4, 0x67).op(0xb0);
    return b;
}

PxlStream streamOf(const std::string& bytes) {
    return PxlStream(bytes, 0);
}

}  // namespace

TEST(PclXlStream, ValuesOfEveryTypeReachTheirAttributes) {
    Bytes b;
    b.byte(0xc0).byte(200).byte(0xf8).byte(1);        // ubyte
    b.byte(0xc3).u16(0xfffe).byte(0xf8).byte(2);      // sint16 -2
    b.byte(0xc4).u32(0xffffff9c).byte(0xf8).byte(3);  // sint32 -100
    b.byte(0xc2).u32(70000).byte(0xf8).byte(4);       // uint32
    float f = 2.5f;
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    b.byte(0xc5).u32(bits).byte(0xf8).byte(5);                            // real32
    b.byte(0xd3).u16(0xfff6).u16(20).byte(0xf8).byte(6);                  // sint16 xy
    b.byte(0xe1).u16(1).u16(2).u16(3).u16(4).byte(0xf8).byte(7);          // uint16 box
    b.byte(0xc9).byte(0xc1).u16(2).u16(500).u16(600).byte(0xf8).byte(8);  // uint16 array
    b.byte(0xc0).byte(1).byte(0xf9).u16(0x1234);                          // a two-byte id: ignored
    b.raw(" \t\r\n"s + '\0').op(0x41);
    PxlStream s = streamOf(b.s);
    const PxlToken t = s.next();
    ASSERT_EQ(t.kind, PxlTokenKind::Operator) << t.message;
    EXPECT_EQ(t.op, 0x41);
    EXPECT_EQ(s.attr(1).number(), 200);
    EXPECT_EQ(s.attr(2).number(), -2);
    EXPECT_EQ(s.attr(3).number(), -100);
    EXPECT_EQ(s.attr(4).number(), 70000);
    EXPECT_EQ(s.attr(5).number(), 2.5);
    EXPECT_EQ(s.attr(6).v[0], -10);
    EXPECT_EQ(s.attr(6).v[1], 20);
    EXPECT_EQ(s.attr(7).shape, PxlValue::Shape::Box);
    EXPECT_EQ(s.attr(7).v[3], 4);
    EXPECT_EQ(s.attr(8).count, 2u);
    EXPECT_EQ(s.attr(8).at(1), 600);
    EXPECT_EQ(s.attr(8).at(2), 0);  // past the end
    // The next operator starts with no attributes.
    EXPECT_EQ(s.next().kind, PxlTokenKind::End);
    EXPECT_FALSE(s.attr(1).present());
}

TEST(PclXlStream, EmbeddedDataInBothLengthsAndTheUniversalExit) {
    Bytes b;
    b.op(0xb1).byte(0xfb).byte(3).raw("abc").op(0xb1).byte(0xfa).u32(2).raw("de");
    b.raw("\x1b%-12345X");
    PxlStream s = streamOf(b.s);
    EXPECT_EQ(s.next().kind, PxlTokenKind::Operator);
    EXPECT_EQ(s.next().data, "abc");
    EXPECT_EQ(s.next().kind, PxlTokenKind::Operator);
    EXPECT_EQ(s.next().data, "de");
    EXPECT_EQ(s.next().kind, PxlTokenKind::End);
}

TEST(PclXlStream, BrokenAndCutStreamsEndWithAMessage) {
    const std::string cases[] = {
        "\xf8\x01\x41"s,              // an attribute with no value
        "\xc8\xc3\x02\x00\x41"s,      // an array whose length is signed
        "\xc1\x01"s,                  // a value cut short
        "\xc9\xc0\x05\x01\x00"s,      // an array shorter than its length
        "\x41\xfa\xff\xff\xff\x7f"s,  // data announced past the end
        "\xc6\x00\xf8\x01"s,          // a type that does not exist
        "\x30"s,                      // a byte that is no command
        "\x1bZ"s,                     // an escape that is not the universal exit
    };
    for (const std::string& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c));
        PxlStream s = streamOf(c);
        PxlToken t = s.next();
        if (t.kind == PxlTokenKind::Operator) t = s.next();
        EXPECT_EQ(t.kind, PxlTokenKind::Error);
        EXPECT_FALSE(t.message.empty());
    }
}

TEST(PclXlStream, TheStreamIsFoundAfterJobLanguageLinesOnly) {
    EXPECT_EQ(pxlFindStream(kHeader), kHeader.find(')'));
    EXPECT_EQ(pxlFindStream(") HP-PCL XL;2;0\n"), 0u);
    EXPECT_EQ(pxlFindStream("\x1b%-12345X@PJL ENTER LANGUAGE=PCL\n\x1b"
                            "E"),
              std::string::npos);
    EXPECT_EQ(pxlFindStream("text ) HP-PCL XL;2;0\n"), std::string::npos);
    EXPECT_EQ(detectLanguage(kHeader), JobLanguage::PclXl);
    // Up to 256 job-language lines are stepped over, and the blank lines after them.
    for (int lines : {1, 255, 256, 257})
        for (const char* blank : {"", "\r\n", "\n\n"}) {
            std::string job = "\x1b%-12345X";
            for (int i = 0; i < lines; ++i) job += "@PJL COMMENT line\r\n";
            job += blank;
            const std::size_t at = job.size();
            job += ") HP-PCL XL;2;0\n";
            EXPECT_EQ(pxlFindStream(job), lines <= 256 ? at : std::string::npos)
                << lines << " lines, blank " << testing::PrintToString(std::string(blank));
        }
}

// A 16 x 2 image drawn at twice its size: 150 dots an inch, at the cursor, ink where the
// palette says black; run-length and delta-row blocks give the same dots.
TEST(PclXlJob, AnImageLandsAtTheCursorInItsOwnDensity) {
    struct Case {
        int mode;
        std::string data;
    };
    const Case cases[] = {
        {0, "\xf0\x0f\0\0\x00\xff\0\0"s},                 // rows padded to 4 bytes
        {1, "\x01\xf0\x0f\xfe\x00\x00\xff\xfe\x00"s},     // PackBits over the block
        {3, "\x03\x00\x20\xf0\x0f\x03\x00\x20\x00\xff"s}  // each row: count, delta commands
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        Bytes b = withImage(pageStart(), 300, 600);
        b.us(0, 0x6d).us(2, 0x63).ub(c.mode, 0x65).op(0xb1);
        b.byte(0xfb).byte(static_cast<int>(c.data.size())).raw(c.data);
        b.op(0xb2).op(0x44).op(0x49).op(0x42);
        const JobDocument doc = interpretJob(b.s);
        EXPECT_EQ(doc.language, JobLanguage::PclXl);
        EXPECT_TRUE(doc.warnings.empty()) << doc.warnings.front();
        ASSERT_EQ(doc.pages.size(), 1u);
        ASSERT_EQ(doc.pages[0].rasters.size(), 1u);
        const JobRaster& r = doc.pages[0].rasters[0];
        EXPECT_EQ(r.dpiX, 150);
        EXPECT_EQ(r.dpiY, 150);
        EXPECT_EQ(r.height, 2);
        // Cropped to the ink: the first row's ink starts at the image's left edge.
        EXPECT_EQ(r.x, kUnitsPerInch);
        EXPECT_EQ(r.y, 2 * kUnitsPerInch);
        EXPECT_EQ(r.width, 16);
        EXPECT_EQ(r.bits, (std::vector<std::uint8_t>{0xf0, 0x0f, 0x00, 0xff}));
    }
}

namespace {

// One ReadImage block: its start line (-1: none given), rows, compression, row padding (-1:
// none given) and data.
void readImage(Bytes& b, int start, int rows, int compression, int pad, const std::string& data) {
    if (start >= 0) b.us(start, 0x6d);
    b.us(rows, 0x63).ub(compression, 0x65);
    if (pad >= 0) b.ub(pad, 0x6e);
    b.op(0xb1).byte(0xfb).byte(static_cast<int>(data.size())).raw(data);
}

// The 16 x 2 image of withImage() at (300, 600) as the page shows it: '#' for ink.
std::vector<std::string> imageRows(const JobDocument& doc) {
    std::vector<std::string> rows(2, std::string(16, '.'));
    if (doc.pages.empty()) return rows;
    constexpr JobUnits kPixel = kUnitsPerInch / 150;
    for (const JobRaster& r : doc.pages[0].rasters)
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x) {
                if (!(r.bits[std::size_t(y) * r.rowBytes + x / 8] & (0x80 >> (x % 8)))) continue;
                const int col = (r.x - kUnitsPerInch) / kPixel + x;
                const int row = (r.y - 2 * kUnitsPerInch) / kPixel + y;
                if (row >= 0 && row < 2 && col >= 0 && col < 16) rows[row][col] = '#';
            }
    return rows;
}

}  // namespace

// Rows are padded to the multiple a block names (1 to 4, else 4); blocks without a start line
// go on where the last one ended; blocks shorter than their rows, in JPEG, or past the image
// print what they hold and say so.
TEST(PclXlJob, ImageBlocksInEachPaddingAndOrder) {
    const std::string both = "####........####", second = "........########";
    const std::string none(16, '.');
    struct Case {
        const char* name;
        std::function<void(Bytes&)> blocks;
        std::vector<std::string> rows;
        const char* warning;  // "" for none
    };
    const Case cases[] = {
        {"padded to 1",
         [](Bytes& b) { readImage(b, 0, 2, 0, 1, "\xf0\x0f\x00\xff"s); },
         {both, second},
         ""},
        {"padded to 2",
         [](Bytes& b) { readImage(b, 0, 2, 0, 2, "\xf0\x0f\x00\xff"s); },
         {both, second},
         ""},
        {"padded to 3",
         [](Bytes& b) { readImage(b, 0, 2, 0, 3, "\xf0\x0f\0\x00\xff\0"s); },
         {both, second},
         ""},
        {"padded to 4",
         [](Bytes& b) { readImage(b, 0, 2, 0, 4, "\xf0\x0f\0\0\x00\xff\0\0"s); },
         {both, second},
         ""},
        {"padding 0 is 4",
         [](Bytes& b) { readImage(b, 0, 2, 0, 0, "\xf0\x0f\0\0\x00\xff\0\0"s); },
         {both, second},
         ""},
        {"padding 5 is 4",
         [](Bytes& b) { readImage(b, 0, 2, 0, 5, "\xf0\x0f\0\0\x00\xff\0\0"s); },
         {both, second},
         ""},
        {"no padding given is 4",
         [](Bytes& b) { readImage(b, 0, 2, 0, -1, "\xf0\x0f\0\0\x00\xff\0\0"s); },
         {both, second},
         ""},
        {"two blocks, the second without a start line",
         [](Bytes& b) {
             readImage(b, 0, 1, 0, 1, "\xf0\x0f"s);
             readImage(b, -1, 1, 0, 1, "\x00\xff"s);
         },
         {both, second},
         ""},
        {"back to line 0 after the second row",
         [](Bytes& b) {
             readImage(b, 1, 1, 0, 1, "\x00\xff"s);
             readImage(b, 0, 1, 0, 1, "\xf0\x0f"s);
         },
         {both, second},
         ""},
        {"the second row alone",
         [](Bytes& b) { readImage(b, 1, 1, 0, 1, "\x00\xff"s); },
         {none, second},
         ""},
        {"a block starting past the image",
         [](Bytes& b) { readImage(b, 2, 1, 0, 1, "\xff\xff"s); },
         {none, none},
         ""},
        {"a block of no rows",
         [](Bytes& b) { readImage(b, 0, 0, 0, 1, "\xff\xff"s); },
         {none, none},
         ""},
        {"uncompressed, cut in the second row",
         [](Bytes& b) { readImage(b, 0, 2, 0, 4, "\xf0\x0f\0\0\x00"s); },
         {both, none},
         "shorter than its rows"},
        {"delta rows, the second missing",
         [](Bytes& b) { readImage(b, 0, 2, 3, -1, "\x03\x00\x20\xf0\x0f"s); },
         {both, none},
         "shorter than its rows"},
        {"delta rows, the second's count cut",
         [](Bytes& b) { readImage(b, 0, 2, 3, -1, "\x03\x00\x20\xf0\x0f\x03"s); },
         {both, none},
         "shorter than its rows"},
        {"JPEG",
         [](Bytes& b) { readImage(b, 0, 2, 2, -1, "\xff\xd8\xff\xe0"s); },
         {none, none},
         "(JPEG)"},
    };
    for (const Case& c : cases) {
        Bytes b = withImage(pageStart(), 300, 600);
        c.blocks(b);
        b.op(0xb2).op(0x44).op(0x49).op(0x42);
        const JobDocument doc = interpretJob(b.s);
        EXPECT_EQ(imageRows(doc), c.rows) << c.name;
        if (*c.warning) {
            ASSERT_EQ(doc.warnings.size(), 1u) << c.name;
            EXPECT_NE(doc.warnings[0].find(c.warning), std::string::npos) << c.name;
        } else {
            EXPECT_TRUE(doc.warnings.empty()) << c.name << ": " << doc.warnings.front();
        }
    }
}

// Bad input: a job cut anywhere, an image of 65,535 x 65,535 pixels with no data, an image
// scaled to nothing and rows past an image's height are dropped or clipped with a warning.
TEST(PclXlJob, BadInputIsClippedWithAWarning) {
    Bytes whole = withImage(pageStart(), 300, 600);
    whole.us(0, 0x6d).us(2, 0x63).ub(0, 0x65).op(0xb1).byte(0xfb).byte(8);
    whole.raw("\xf0\x0f\0\0\x00\xff\0\0"s).op(0xb2).op(0x44).op(0x42);
    for (std::size_t n = kHeader.size(); n < whole.s.size(); ++n) {
        const JobDocument doc = interpretJob(whole.s.substr(0, n));
        EXPECT_LE(doc.pages.size(), 1u);
    }
    Bytes huge = pageStart();
    huge.ub(0, 0x64).ub(0, 0x62).us(65535, 0x6c).us(65535, 0x6b).usxy(65535, 65535, 0x67);
    huge.op(0xb0)
        .us(0, 0x6d)
        .us(65535, 0x63)
        .ub(1, 0x65)
        .op(0xb1)
        .byte(0xfb)
        .byte(2)
        .raw("\x81\xff");
    huge.op(0xb2).op(0x44);
    JobDocument doc = interpretJob(huge.s);
    EXPECT_FALSE(doc.warnings.empty());

    Bytes flat = pageStart();
    flat.ub(0, 0x64).ub(0, 0x62).us(8, 0x6c).us(8, 0x6b).usxy(0, 0, 0x67).op(0xb0);
    flat.us(0, 0x6d).us(9, 0x63).ub(0, 0x65).op(0xb1).byte(0xfb).byte(1).raw("x").op(0x44);
    doc = interpretJob(flat.s);
    ASSERT_EQ(doc.warnings.size(), 1u);
    EXPECT_NE(doc.warnings[0].find("scaled"), std::string::npos);

    Bytes tall = withImage(pageStart(), 0, 0);
    tall.us(1, 0x6d).us(5, 0x63).ub(0, 0x65).op(0xb1).byte(0xfb).byte(4).raw("\xff\xff\0\0"s);
    tall.op(0x44);
    doc = interpretJob(tall.s);
    ASSERT_FALSE(doc.warnings.empty());
    EXPECT_NE(doc.warnings[0].find("past the image"), std::string::npos);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(doc.pages[0].rasters.size(), 1u);
}

// Rectangles fill with the brush and are outlined by the pen; a white brush or the null
// brush paints nothing; text is warned about and never shown.
TEST(PclXlJob, RectanglesAreRulesAndTextIsLeftOut) {
    Bytes b = pageStart();
    b.ub(1, 0x03).op(0x6a).ub(0, 0x05).op(0x79);  // gray, null pen
    b.ub(0, 0x09).op(0x63);                       // black brush
    b.byte(0xe1).u16(300).u16(300).u16(600).u16(330).byte(0xf8).byte(0x42).op(0xa0);
    b.ub(255, 0x09).op(0x63);  // white brush
    b.byte(0xe1).u16(0).u16(0).u16(100).u16(100).byte(0xf8).byte(0x42).op(0xa0);
    b.byte(0xc8).byte(0xc0).byte(2).raw("Hi").byte(0xf8).byte(0xab).op(0xa8);
    b.op(0x44);
    const JobDocument doc = interpretJob(b.s);
    ASSERT_EQ(doc.pages.size(), 1u);
    ASSERT_EQ(doc.pages[0].rules.size(), 1u);
    const JobRule& r = doc.pages[0].rules[0];
    EXPECT_EQ(r.x, kUnitsPerInch);
    EXPECT_EQ(r.y, kUnitsPerInch);
    EXPECT_EQ(r.width, kUnitsPerInch);
    EXPECT_EQ(r.height, kUnitsPerInch / 10);
    EXPECT_TRUE(doc.pages[0].runs.empty());
    ASSERT_EQ(doc.warnings.size(), 1u);
    EXPECT_NE(doc.warnings[0].find("text"), std::string::npos);
}

// Paths: a square given as absolute points in data, closed and filled by the brush; the same
// square in relative byte steps; a path short of its points is drawn as far as it goes, with a
// warning.
TEST(PclXlJob, PathsFromPointDataAreFilled) {
    struct Case {
        int op, type;
        std::string points;
        bool warns;
    };
    const Case cases[] = {
        {0x9b, 3, "\x58\x02\x2c\x01\x58\x02\x58\x02\x2c\x01\x58\x02"s, false},  // sint16
        {0x9d, 3, "\x2c\x01\x00\x00\x00\x00\x2c\x01\xd4\xfe\x00\x00"s, false},  // relative
        {0x9b, 3, "\x58\x02\x2c\x01\x58\x02\x58\x02"s, true},  // 2 of 3 points: a triangle
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op);
        Bytes b = pageStart();
        b.ub(1, 0x03).op(0x6a).ub(0, 0x05).op(0x79).ub(0, 0x09).op(0x63);
        b.op(0x85).usxy(300, 300, 0x4c).op(0x6b);
        b.ub(3, 0x4d).ub(c.type, 0x50).op(c.op);
        b.byte(0xfb).byte(static_cast<int>(c.points.size())).raw(c.points);
        b.op(0x84).op(0x86).op(0x44);
        const JobDocument doc = interpretJob(b.s);
        ASSERT_EQ(doc.pages.size(), 1u);
        ASSERT_EQ(doc.pages[0].rasters.size(), 1u);
        const JobRaster& r = doc.pages[0].rasters[0];
        EXPECT_EQ(r.dpiX, 300);
        EXPECT_EQ(r.x, kUnitsPerInch);
        EXPECT_EQ(r.y, kUnitsPerInch);
        EXPECT_EQ(r.width, 300);
        EXPECT_EQ(r.height, 300);
        EXPECT_EQ(doc.warnings.size(), c.warns ? 1u : 0u);
    }
}

// A downloaded bitmap font: its characters are drawn at the font's resolution, offset from the
// cursor by their left and top offsets (top is up), each advancing by the job's spacing.
TEST(PclXlJob, BitmapFontCharactersLandAtTheirOffsets) {
    Bytes b = pageStart();
    const auto name = [&b](int attr) {
        b.byte(0xc8).byte(0xc0).byte(1).raw("F").byte(0xf8).byte(attr);
    };
    name(0xa8);
    b.ub(0, 0xa9).op(0x4f);  // BeginFontHeader
    const std::string header = "\0\0\0\0\xfe\0\0\x01"s + "BR\0\0\0\x04\x02\x58\x02\x58"s;
    b.byte(0xc1).u16(static_cast<int>(header.size())).byte(0xf8).byte(0xa7).op(0x50);
    b.byte(0xfb).byte(static_cast<int>(header.size())).raw(header).op(0x51);
    name(0xa8);
    b.op(0x52);  // BeginChar; one 8 x 2 character 'A', 3 dots right of the cursor and 2 up
    const std::string glyph = "\0\0\0\x03\0\x02\0\x08\0\x02\xff\x81"s;
    b.ub('A', 0xa2).us(static_cast<int>(glyph.size()), 0xa3).op(0x53);
    b.byte(0xfb).byte(static_cast<int>(glyph.size())).raw(glyph).op(0x54);
    b.us(1, 0xa6);
    name(0xa8);
    b.op(0x6f);  // SetFont
    b.usxy(300, 600, 0x4c).op(0x6b);
    b.byte(0xc8).byte(0xc0).byte(2).raw("AA").byte(0xf8).byte(0xab);
    b.byte(0xc8).byte(0xc0).byte(2).byte(150).byte(150).byte(0xf8).byte(0xaf).op(0xa8);
    b.op(0x44);
    const JobDocument doc = interpretJob(b.s);
    EXPECT_TRUE(doc.warnings.empty()) << doc.warnings.front();
    ASSERT_EQ(doc.pages.size(), 1u);
    ASSERT_EQ(doc.pages[0].rasters.size(), 1u);
    const JobRaster& r = doc.pages[0].rasters[0];
    EXPECT_EQ(r.dpiX, 600);
    EXPECT_EQ(r.x, kUnitsPerInch + 3 * 36);
    EXPECT_EQ(r.y, 2 * kUnitsPerInch - 2 * 36);
    EXPECT_EQ(r.height, 2);
    // The second character half an inch (300 dots at 600) to the right of the first.
    EXPECT_EQ(r.width, 300 + 8);
}

// A page that paints a path of thousands of points over and over is cut short with a warning
// instead of taking minutes.
TEST(PclXlJob, EndlessPaintingIsCutShort) {
    Bytes b = pageStart();
    b.ub(1, 0x03).op(0x6a).ub(0, 0x05).op(0x79).ub(0, 0x09).op(0x63);
    b.op(0x85).usxy(0, 0, 0x4c).op(0x6b);
    const int n = 3000;
    b.us(n, 0x4d).ub(3, 0x50).op(0x9b).byte(0xfa).u32(n * 4);
    for (int i = 0; i < n; ++i) b.u16(i % 2 ? 2400 : 0).u16(i % 2 ? 3500 : 0);
    for (int i = 0; i < 10; ++i) b.op(0x86);
    b.op(0x44);
    const JobDocument doc = interpretJob(b.s);
    ASSERT_EQ(doc.pages.size(), 1u);
    ASSERT_EQ(doc.warnings.size(), 1u);
    EXPECT_NE(doc.warnings[0].find("work"), std::string::npos);
}
