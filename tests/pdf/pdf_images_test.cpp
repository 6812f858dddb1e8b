// The pictures a PDF's pages share: the source rectangle cropped to the picture (nothing when it
// holds no pixel), equal crops stored once however they were cut, and a mask kept only for
// pictures with a pixel that is not opaque.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include <zlib.h>

#include "pdf_images.h"

namespace folvek {
namespace {

// A picture whose every pixel differs: opaque, its value its place.
std::vector<std::uint32_t> numbered(int width, int height) {
    std::vector<std::uint32_t> p(std::size_t(width) * std::size_t(height));
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = 0xFF000000u | std::uint32_t(i + 1);
    return p;
}

std::string inflated(const std::string& packed, std::size_t size) {
    std::string out(size + 16, '\0');
    uLongf n = static_cast<uLongf>(out.size());
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &n,
                         reinterpret_cast<const Bytef*>(packed.data()), packed.size()),
              Z_OK);
    out.resize(n);
    return out;
}

}  // namespace

TEST(PdfImages, SourceRectanglesAreCroppedToThePictureAndEqualCropsStoredOnce) {
    PdfImageSet set;
    const std::vector<std::uint32_t> pixels = numbered(4, 3);
    const ImageView image{4, 3, pixels.data()};
    const int whole = set.imageFor(image, 0, 0, 4, 3);
    EXPECT_EQ(whole, 1);
    EXPECT_EQ(set.imageFor(image, 0, 0, 4, 3), whole) << "the same picture again";
    EXPECT_EQ(set.imageFor(image, -5, -5, 20, 20), whole) << "a larger rectangle: all of it";

    // Rectangles that hold no pixel, on every side and with no size.
    const struct {
        int sx, sy, sw, sh;
    } empty[] = {{-10, 0, 5, 3}, {-3, 0, 3, 3}, {4, 0, 3, 3}, {0, -5, 4, 5},
                 {0, 3, 4, 2},   {0, 0, 0, 3},  {0, 0, 4, 0}, {2, 0, -1, 3}};
    for (const auto& r : empty)
        EXPECT_EQ(set.imageFor(image, r.sx, r.sy, r.sw, r.sh), 0)
            << r.sx << "," << r.sy << " " << r.sw << "x" << r.sh;
    EXPECT_EQ(set.imageFor(ImageView{0, 3, pixels.data()}, 0, 0, 4, 3), 0);
    EXPECT_EQ(set.imageFor(ImageView{4, 3, nullptr}, 0, 0, 4, 3), 0);

    // A crop is a picture of its own, equal to the same pixels given alone.
    const int corner = set.imageFor(image, -1, -1, 3, 3);  // the top left 2 x 2
    EXPECT_EQ(corner, 2);
    const std::uint32_t same[] = {pixels[0], pixels[1], pixels[4], pixels[5]};
    EXPECT_EQ(set.imageFor(ImageView{2, 2, same}, 0, 0, 2, 2), corner);
    const int column = set.imageFor(image, 3, 1, 5, 5);  // the right column's lower 2 pixels
    EXPECT_EQ(column, 3);
    const std::uint32_t right[] = {pixels[7], pixels[11]};
    EXPECT_EQ(set.imageFor(ImageView{1, 2, right}, 0, 0, 1, 2), column);
    ASSERT_EQ(set.images().size(), 3u);
    EXPECT_EQ(set.images()[1].width, 2);
    EXPECT_EQ(set.images()[1].height, 2);
    EXPECT_EQ(set.images()[2].width, 1);
    EXPECT_EQ(set.images()[2].height, 2);

    // One pixel not quite opaque gives the picture a mask.
    std::vector<std::uint32_t> glass = numbered(2, 1);
    EXPECT_TRUE(set.images()[0].opaque);
    EXPECT_TRUE(set.images()[0].alpha.empty());
    glass[1] = 0xFE000000u;
    EXPECT_EQ(set.imageFor(ImageView{2, 1, glass.data()}, 0, 0, 2, 1), 4);
    EXPECT_FALSE(set.images()[3].opaque);
    EXPECT_FALSE(set.images()[3].alpha.empty());
}

// The colours and the opacity of every pixel as they are stored: red, green, blue in turn, and
// the mask's byte the pixel's own alpha, whatever its colour.
TEST(PdfImages, ColoursAndOpacityAreStoredByteForByte) {
    const std::uint32_t pixels[] = {0x00FFFFFFu, 0x80123456u, 0x7FABCDEFu,
                                    0xFF000000u, 0x01800000u, 0xFE00FF00u};
    PdfImageSet set;
    ASSERT_EQ(set.imageFor(ImageView{3, 2, pixels}, 0, 0, 3, 2), 1);
    const auto& image = set.images()[0];
    EXPECT_EQ(inflated(image.rgb, 18), std::string("\xFF\xFF\xFF\x12\x34\x56\xAB\xCD\xEF"
                                                   "\x00\x00\x00\x80\x00\x00\x00\xFF\x00",
                                                   18));
    EXPECT_EQ(inflated(image.alpha, 6), std::string("\x00\x80\x7F\xFF\x01\xFE", 6));
}

}  // namespace folvek
