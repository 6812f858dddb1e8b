// Reading bitmap files: the formats reports use for letterheads, and files that are not
// bitmaps at all, which must be refused without reading past their end.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bmp_out.h"
#include "document/layout_fakes.h"
#include "document/test_support.h"
#include "string_table.h"

namespace folvek::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& b, std::size_t at, std::uint32_t v, int n = 4) {
    if (b.size() < at + n) b.resize(at + n, 0);
    for (int i = 0; i < n; ++i) b[at + i] = (v >> (8 * i)) & 255;
}

// A file with a 40-byte information header; `extra` is the colour table or masks.
Bytes bitmap(int w, int h, int bpp, std::uint32_t compression, const Bytes& extra,
             const Bytes& data) {
    Bytes b(54, 0);
    b[0] = 'B', b[1] = 'M';
    put(b, 10, 54 + extra.size());
    put(b, 14, 40), put(b, 18, w), put(b, 22, static_cast<std::uint32_t>(h));
    put(b, 26, 1, 2), put(b, 28, bpp, 2), put(b, 30, compression);
    b.insert(b.end(), extra.begin(), extra.end());
    b.insert(b.end(), data.begin(), data.end());
    put(b, 2, b.size());
    return b;
}

struct BmpFiles : ::testing::Test {
    MessageRecorder messages;
    BmpOut pic;
    std::string path = ::testing::TempDir() + std::to_string(::getpid()) + "_bmp_out_test.bmp";
    int load(const Bytes& b) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), b.size());
        return pic.loadFile(path, &messages);
    }
    void expectRefused(const Bytes& b, int id) {
        messages.shown.clear();
        EXPECT_EQ(load(b), 0);
        ASSERT_EQ(messages.shown.size(), 1u);
        // The fixed text, then the file and the reason on the next line.
        EXPECT_EQ(messages.shown[0].text.rfind(loadString(id) + "\n" + path + ": ", 0), 0u)
            << messages.shown[0].text;
        EXPECT_EQ(messages.shown[0].caption, "!!!");
        EXPECT_EQ(pic.loaded, 0);
        EXPECT_EQ(pic.height, 0);
        EXPECT_TRUE(pic.pixels.empty());
    }
    void TearDown() override { std::remove(path.c_str()); }
};

TEST_F(BmpFiles, TwentyFourBitRowsAreBottomUpUnlessHeightIsNegative) {
    // 2 x 2: bottom row blue, red; top row green, white (rows padded to 8 bytes).
    const Bytes rows = {255, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 255, 255, 255, 0, 0};
    ASSERT_EQ(load(bitmap(2, 2, 24, 0, {}, rows)), 1);
    EXPECT_EQ(pic.imageWidth, 2);
    EXPECT_EQ(pic.width, 2);
    EXPECT_EQ(pic.height, 2);
    EXPECT_EQ(pic.info.size(), 40u);
    EXPECT_EQ(pic.pixels,
              (std::vector<std::uint32_t>{0xFF00FF00, 0xFFFFFFFF, 0xFF0000FF, 0xFFFF0000}));
    ASSERT_EQ(load(bitmap(2, -2, 24, 0, {}, rows)), 1);
    EXPECT_EQ(pic.imageHeight, 2);
    EXPECT_EQ(pic.pixels[0], 0xFF0000FFu);  // the first stored row is the top row
}

TEST_F(BmpFiles, APictureOpenedAsDescriptorZeroIsRead) {
    const Bytes rows = {255, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 255, 255, 255, 0, 0};
    int loaded = 0;
    {
        test::StdinClosed closed;
        loaded = load(bitmap(2, 2, 24, 0, {}, rows));
    }
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(pic.pixels.size(), 4u);
}

TEST_F(BmpFiles, PalettesBitfieldsAndCoreHeaders) {
    const Bytes pal = {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0};
    ASSERT_EQ(load(bitmap(3, 1, 8, 0, pal, {2, 1, 0, 0})), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0xFFFFFFFF, 0xFF000000}));
    ASSERT_EQ(load(bitmap(9, 1, 1, 0, pal, {0x80, 0x80, 0, 0})), 1);
    EXPECT_EQ(pic.pixels[0], 0xFFFFFFFFu);
    EXPECT_EQ(pic.pixels[8], 0xFFFFFFFFu);
    EXPECT_EQ(pic.pixels[1], 0xFF000000u);
    // 16-bit 5-6-5 through masks after the header.
    Bytes masks;
    put(masks, 0, 0xF800), put(masks, 4, 0x07E0), put(masks, 8, 0x001F);
    ASSERT_EQ(load(bitmap(1, 1, 16, 3, masks, {0x1F, 0xF8, 0, 0})), 1);
    EXPECT_EQ(pic.pixels[0], 0xFFFF00FFu);
    // 16-bit without masks is 5-5-5.
    ASSERT_EQ(load(bitmap(1, 1, 16, 0, {}, {0x00, 0x7C, 0, 0})), 1);
    EXPECT_EQ(pic.pixels[0], 0xFFFF0000u);
    // Core header with a three-byte colour table.
    Bytes core(26, 0);
    core[0] = 'B', core[1] = 'M';
    put(core, 10, 26 + 6), put(core, 14, 12), put(core, 18, 1, 2), put(core, 20, 1, 2);
    put(core, 22, 1, 2), put(core, 24, 1, 2);
    core.insert(core.end(), {0, 0, 0, 0, 255, 0, 0x80, 0, 0, 0});
    ASSERT_EQ(load(core), 1);
    EXPECT_EQ(pic.pixels[0], 0xFF00FF00u);
    // The smallest header of all: a 24-bit core picture whose pixels start at byte 26, one
    // blue-green-red pixel without its row's padding (29 bytes in all).
    Bytes tiny(26, 0);
    tiny[0] = 'B', tiny[1] = 'M';
    put(tiny, 10, 26), put(tiny, 14, 12), put(tiny, 18, 1, 2), put(tiny, 20, 1, 2);
    put(tiny, 22, 1, 2), put(tiny, 24, 24, 2);
    tiny.insert(tiny.end(), {0x30, 0x20, 0x10});
    ASSERT_EQ(load(tiny), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{0xFF102030}));
    // One pixel byte in all, its row's padding missing: the byte is read.
    ASSERT_EQ(load(bitmap(1, 1, 8, 0, pal, {1})), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{0xFFFFFFFF}));
}

TEST_F(BmpFiles, AlphaOfV4AndV5BitmapsIsIgnored) {
    // 32-bit bitfields with an alpha mask: a letterhead saved with transparency must still
    // be printed, so every pixel comes out opaque whatever its alpha byte says.
    for (std::uint32_t headerSize : {108u, 124u}) {
        Bytes b(14 + headerSize, 0);
        b[0] = 'B', b[1] = 'M';
        put(b, 10, 14 + headerSize);
        put(b, 14, headerSize), put(b, 18, 2), put(b, 22, 1);
        put(b, 26, 1, 2), put(b, 28, 32, 2), put(b, 30, 3);
        put(b, 54, 0x00FF0000), put(b, 58, 0x0000FF00), put(b, 62, 0x000000FF);
        put(b, 66, 0xFF000000);
        b.insert(b.end(), {0x30, 0x20, 0x10, 0x00, 0xFF, 0xFF, 0xFF, 0x80});
        put(b, 2, b.size());
        ASSERT_EQ(load(b), 1) << headerSize;
        EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{0xFF102030, 0xFFFFFFFF})) << headerSize;
    }
}

TEST_F(BmpFiles, RunLengthEncoded) {
    const Bytes pal = {0, 0, 0, 0, 0, 0, 255, 0};
    // Row 0: three pixels of colour 1; end of line; row 1: absolute run 0 1 0; end of bitmap.
    const Bytes rle8 = {3, 1, 0, 0, 0, 3, 0, 1, 0, 0, 0, 1};
    ASSERT_EQ(load(bitmap(3, 2, 8, 1, pal, rle8)), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{0xFF000000, 0xFFFF0000, 0xFF000000,
                                                      0xFFFF0000, 0xFFFF0000, 0xFFFF0000}));
    // A run that reaches past the picture and data cut short are drawn without overrunning.
    ASSERT_EQ(load(bitmap(2, 1, 8, 1, pal, {200, 1, 0, 5, 1})), 1);
    ASSERT_EQ(load(bitmap(4, 1, 4, 2, pal, {4, 0x10, 0, 1})), 1);
    EXPECT_EQ(pic.pixels[0], 0xFFFF0000u);
    EXPECT_EQ(pic.pixels[1], 0xFF000000u);
}

TEST_F(BmpFiles, EveryDepthAndWhereEachHeaderKeepsItsColours) {
    const std::uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF, black = 0xFF000000;
    // Colour table entries are blue, green, red, reserved.
    const Bytes pal4 = {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
    // 4 bits a pixel, the high half first: 1 2 0.
    ASSERT_EQ(load(bitmap(3, 1, 4, 0, pal4, {0x12, 0x00, 0, 0})), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{red, green, black}));
    ASSERT_EQ(load(bitmap(4, 1, 4, 0, pal4, {0x31, 0x23, 0, 0})), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{blue, red, green, blue}));
    // 32 bits without masks: blue, green, red and a byte that is not used.
    ASSERT_EQ(load(bitmap(2, 1, 32, 0, {}, {0x10, 0x20, 0x30, 0x00, 1, 2, 3, 0xFF})), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{0xFF302010, 0xFF030201}));
    // A colour table of two entries by its count: index 2 is past it, black, although the
    // bytes of a third entry follow.
    Bytes two = bitmap(3, 1, 8, 0, pal4, {0, 1, 2, 0});
    put(two, 46, 2);
    ASSERT_EQ(load(two), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{black, red, black}));
    // Masks inside a 52-byte header (BITMAPV2INFOHEADER): 5-6-5, pixels right after.
    Bytes v2(14 + 52, 0);
    v2[0] = 'B', v2[1] = 'M';
    put(v2, 10, 14 + 52), put(v2, 14, 52), put(v2, 18, 2), put(v2, 22, 1);
    put(v2, 26, 1, 2), put(v2, 28, 16, 2), put(v2, 30, 3);
    put(v2, 54, 0xF800), put(v2, 58, 0x07E0), put(v2, 62, 0x001F);
    v2.insert(v2.end(), {0x00, 0xF8, 0xE0, 0x07});
    put(v2, 2, v2.size());
    ASSERT_EQ(load(v2), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{red, green}));
    // The oldest header (12 bytes) takes 4 bits a pixel too, with three-byte entries.
    Bytes core(26, 0);
    core[0] = 'B', core[1] = 'M';
    put(core, 10, 26 + 6), put(core, 14, 12), put(core, 18, 2, 2), put(core, 20, 1, 2);
    put(core, 22, 1, 2), put(core, 24, 4, 2);
    core.insert(core.end(), {255, 0, 0, 0, 0, 255, 0x10, 0, 0, 0});
    put(core, 2, core.size());
    ASSERT_EQ(load(core), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{red, blue}));
}

TEST_F(BmpFiles, ASizeOfAHundredPixelsIsAHundredAtFullScale) {
    // 100 x 101 pixels, 24 bits: rows of 300 bytes.
    ASSERT_EQ(load(bitmap(100, 101, 24, 0, {}, Bytes(300 * 101, 0x40))), 1);
    EXPECT_EQ(pic.imageWidth, 100);
    EXPECT_EQ(pic.imageHeight, 101);
    EXPECT_EQ(pic.width, 100);
    EXPECT_EQ(pic.height, 101);
    EXPECT_EQ(pic.pixels.size(), 100u * 101u);
    EXPECT_EQ(pic.pixels.back(), 0xFF404040u);
}

TEST_F(BmpFiles, RunLengthMovesAndPixelsNoRunReaches) {
    const Bytes pal = {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
    // A move one right and one up, one red pixel, the end: every other pixel is left clear.
    ASSERT_EQ(load(bitmap(3, 2, 8, 1, pal, {0, 2, 1, 1, 1, 1, 0, 1})), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{0, 0xFFFF0000, 0, 0, 0, 0}));
    ASSERT_EQ(load(bitmap(2, 1, 8, 1, pal, {0, 1})), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{0, 0}));
    // 4 bits: an absolute run of three (two bytes, padded to a word), then a run of two.
    ASSERT_EQ(load(bitmap(5, 1, 4, 2, pal, {0, 3, 0x12, 0x30, 2, 0x33, 0, 1})), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                                      0xFF0000FF, 0xFF0000FF}));
    // A move cut off by the end of the data ends the picture.
    ASSERT_EQ(load(bitmap(2, 1, 8, 1, pal, {1, 1, 0, 2, 1})), 1);
    EXPECT_EQ(pic.pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0}));
}

TEST_F(BmpFiles, FilesThatAreNotBitmapsAreRefused) {
    const Bytes good = bitmap(2, 2, 24, 0, {}, Bytes(16, 7));
    Bytes b = good;
    b[0] = 'X';
    expectRefused(b, 1027);
    b = good;
    put(b, 10, 10);  // pixel data inside the file header
    expectRefused(b, 1027);
    b = good;
    put(b, 10, 5000);  // past the end
    expectRefused(b, 1027);
    b = good;
    put(b, 10, 54 + (1u << 24));  // the offset's last byte counts too
    expectRefused(b, 1027);
    b = good;
    put(b, 10, 25);  // a byte short of the smallest header
    put(b, 14, 12);
    expectRefused(b, 1027);
    b = good;
    b.resize(b.size() - 6);  // truncated pixel data
    expectRefused(b, 1027);
    expectRefused(bitmap(2, 2, 24, 4, {}, Bytes(16, 7)), 1027);  // JPEG inside
    expectRefused(bitmap(2, 2, 7, 0, {}, Bytes(16, 7)), 1027);
    expectRefused(bitmap(0, 2, 24, 0, {}, Bytes(16, 7)), 1027);
    expectRefused(Bytes{'B', 'M'}, 1027);
    b = good;
    put(b, 14, 4000);  // header larger than the space before the pixels
    expectRefused(b, 1027);
}

// A header may claim any size; what the picture costs is bounded by what a page can show.
TEST_F(BmpFiles, HugeImagesCostWhatCanBeShown) {
    // Uncompressed rows the file does not hold: a broken file, refused before allocating.
    expectRefused(bitmap(30000, 30000, 24, 0, {}, Bytes(16, 0)), 1027);
    expectRefused(bitmap(0x7FFFFFFF, -0x7FFFFFFF, 32, 0, {}, Bytes(16, 0)), 1027);
    // Run-length data may claim 11585 x 11585 in a few bytes: kept on a coarser grid.
    const Bytes pal = {0, 0, 0, 0, 0, 0, 255, 0};
    ASSERT_EQ(load(bitmap(11585, 11585, 8, 1, pal, {255, 1, 0, 1})), 1);
    EXPECT_EQ(pic.imageWidth, 11585);
    EXPECT_EQ(pic.imageHeight, 11585);
    EXPECT_LE(pic.pixelWidth, int(BmpOut::kMaxPixelSide));
    EXPECT_LE(pic.pixels.size(), BmpOut::kMaxPixelSide * BmpOut::kMaxPixelSide);
    EXPECT_EQ(pic.pixels.size(), std::size_t(pic.pixelWidth) * std::size_t(pic.pixelHeight));
    // A wide 24-bit image is sampled column by column: red on the left, blue on the right.
    constexpr int kWide = 2 * BmpOut::kMaxPixelSide + 2;
    Bytes row;
    for (int x = 0; x < kWide; ++x) {
        const bool left = x < kWide / 2;
        row.insert(row.end(), {std::uint8_t(left ? 0 : 255), 0, std::uint8_t(left ? 255 : 0)});
    }
    ASSERT_EQ(load(bitmap(kWide, 1, 24, 0, {}, row)), 1);
    EXPECT_EQ(pic.imageWidth, kWide);
    EXPECT_EQ(pic.pixelWidth, kWide / 3 + 1);
    EXPECT_EQ(pic.pixelHeight, 1);
    EXPECT_EQ(pic.pixels.front(), 0xFFFF0000u);
    EXPECT_EQ(pic.pixels.back(), 0xFF0000FFu);
}

TEST_F(BmpFiles, MissingFileAndLongNames) {
    messages.shown.clear();
    const std::string missing =
        ::testing::TempDir() + std::to_string(::getpid()) + "_no-such-picture";
    EXPECT_EQ(pic.loadFile(missing, &messages), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, loadString(StrPictureOpenError) + "\n" + missing +
                                          ".bmp: " + "Нет такого файла или каталога");

    const std::string longName = ::testing::TempDir() + std::string(200, 'p');
    path = longName + ".bmp";
    load(bitmap(1, 1, 24, 0, {}, {1, 2, 3, 0}));
    EXPECT_EQ(pic.loadFile(longName, &messages), 1);  // ".bmp" appended to a 200-character name
}

TEST_F(BmpFiles, AFolderOrAFifoIsNoPicture) {
    const std::string base = ::testing::TempDir() + std::to_string(::getpid()) + "_not_a_file";
    for (const bool fifo : {false, true}) {
        const std::string name = base + (fifo ? "_fifo" : "_dir");
        const std::string file = name + ".bmp";
        ASSERT_EQ(fifo ? ::mkfifo(file.c_str(), 0600) : ::mkdir(file.c_str(), 0700), 0);
        messages.shown.clear();
        EXPECT_EQ(pic.loadFile(name, &messages), 0);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text,
                  loadString(StrPictureOpenError) + "\n" + file + ": это не обычный файл");
        fifo ? ::unlink(file.c_str()) : ::rmdir(file.c_str());
    }
}

TEST_F(BmpFiles, ReleaseEmptiesThePicture) {
    ASSERT_EQ(load(bitmap(1, 1, 24, 0, {}, {1, 2, 3, 0})), 1);
    pic.percent = 50;
    EXPECT_EQ(pic.release(), 1);
    EXPECT_EQ(pic.percent, 100);
    EXPECT_EQ(pic.width, 0);
    EXPECT_EQ(pic.release(), 0);
}

TEST(BitmapFileName, SuffixUnlessAFullStopEndsTheName) {
    EXPECT_EQ(bitmapFileName("logo"), "logo.bmp");
    EXPECT_EQ(bitmapFileName("logo.bmp"), "logo.bmp");
    EXPECT_EQ(bitmapFileName("logo.b"), "logo.b");
    EXPECT_EQ(bitmapFileName(".pic"), ".pic");  // a short name that has its dot first
    EXPECT_EQ(bitmapFileName(".b"), ".b");
    EXPECT_EQ(bitmapFileName("logo.jpeg"), "logo.jpeg.bmp");
    EXPECT_EQ(bitmapFileName("a.b"), "a.b");
    EXPECT_EQ(bitmapFileName(""), ".bmp");
}

}  // namespace
}  // namespace folvek::test
