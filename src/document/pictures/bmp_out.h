// A picture read from a Windows bitmap file (*.bmp), scaled by a percent. Loading validates the
// file and decodes it to 32-bit pixels once; drawing (in the renderer) stretches those pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace folvek {

class MessageSink;

class BmpOut {
  public:
    BmpOut() = default;
    BmpOut(const BmpOut&) = delete;
    BmpOut& operator=(const BmpOut&) = delete;
    ~BmpOut() { release(); }

    // Returns 1 on success, 0 on failure; failures have been reported through `messages`.
    int loadFile(const std::string& name, MessageSink* messages);
    int release();

    std::uint8_t fileHeader[14] = {};
    std::vector<std::uint8_t> info;  // information header and colour table, as stored
    std::int32_t loaded = 0;
    std::int32_t height = 0;  // scaled, logical units
    std::int32_t width = 0;   // scaled, logical units
    std::int32_t percent = 100;

    // The image's size as the file gives it; layout and scaling use these.
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;
    // The decoded pixels, 0xAARRGGBB, top row first: pixelWidth x pixelHeight, the image
    // itself or, for an image wider or taller than kMaxPixelSide, every n-th pixel of it.
    std::int32_t pixelWidth = 0;
    std::int32_t pixelHeight = 0;
    std::vector<std::uint32_t> pixels;

    // At 100 % a pixel is 0.01 inch: 4096 of them are 41 inches, more than a page shows.
    static constexpr std::uint64_t kMaxPixelSide = 4096;
};

// The name actually opened: ".bmp" is appended unless one of the last four characters is '.'.
std::string bitmapFileName(const std::string& name);

}  // namespace folvek
