// A PCL XL image (BeginImage, ReadImage blocks, EndImage): its pixels in 1, 4 or 8 bits,
// gray or RGB, direct or through the palette, decompressed (none, run-length, delta row) and
// thresholded to the 1-bit dots a page holds.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "job_page.h"

namespace folvek::printer {

class JobPageBuilder;

// The color space and palette an image is read in (SetColorSpace).
struct PxlColors {
    int channels = 1;          // 1 gray, 3 RGB
    std::vector<int> palette;  // gray levels 0..255 of the palette's entries
};

// Where and how large the image is drawn and how its pixels are coded (BeginImage).
struct PxlImageHeader {
    JobUnits x = 0, y = 0;                 // top-left corner on the page
    double destWidth = 0, destHeight = 0;  // in JobUnits
    std::int64_t sourceWidth = 0, sourceHeight = 0;
    int bits = 1;  // per pixel component: 1, 4 or 8
    bool indexed = false;
    std::int32_t deviceDpi = 300;  // an image scaled by no whole density is drawn at this
};

class PxlImage {
  public:
    explicit PxlImage(JobPageBuilder& builder) : builder_(builder) {}

    // Starts an image; false (with a warning) when it cannot be drawn, and its blocks are
    // then dropped.
    bool begin(const PxlImageHeader& header, const PxlColors& colors);
    // One block of rows from `startLine` (negative: after the last block), coded in
    // `compression` (0 none, 1 run-length, 2 JPEG, 3 delta row), rows padded to `padBytes`.
    void block(std::int64_t startLine, std::int64_t rows, int compression, int padBytes,
               std::string_view data);
    void end() { active_ = false; }
    bool active() const { return active_; }

  private:
    void emit(std::int64_t startLine, std::int64_t rows, const std::vector<std::uint8_t>& raw,
              std::size_t stride);
    bool inkAt(const std::uint8_t* row, std::int64_t x) const;
    // Draws 1-bit source rows from startLine scaled to the destination size at deviceDpi.
    void emitScaled(std::int64_t startLine, std::int64_t rows,
                    const std::vector<std::uint8_t>& bits, std::int32_t rowBytes);

    JobPageBuilder& builder_;
    PxlImageHeader h_;
    bool active_ = false;
    int bitsPerPixel_ = 1;
    std::size_t rowBytes_ = 0;  // one row's pixels, unpadded
    std::int32_t dpiX_ = 0, dpiY_ = 0;
    std::vector<int> levels_;         // gray level of each pixel value (gray or indexed images)
    std::vector<std::uint8_t> seed_;  // the delta-row seed
    std::int64_t nextLine_ = 0;
    // A scaled image: its size in device dots and the source column of each dot.
    bool scaled_ = false;
    std::int64_t outWidth_ = 0, outHeight_ = 0;
    std::vector<std::int32_t> sourceColumn_;
};

}  // namespace folvek::printer
