// Pictures as image XObjects: each distinct bitmap is stored once, however many pages show it.
// Pages register pictures from any thread; the writer writes them out on its own thread.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "device_context.h"
#include "pdf_objects.h"

namespace folvek {

class PdfImageSet {
  public:
    // The resource index (/Im<n>) of the source rectangle of `image`; 0 when the rectangle
    // holds no pixel.
    int imageFor(const ImageView& image, int sx, int sy, int sw, int sh);
    // The resource index of a 1-bit picture, written as a deflated image mask (1 bit a dot,
    // ink painted in the fill colour); 0 when it holds no dot.
    int maskFor(const BitmapView& bitmap);
    // Writes the images registered since the last call.
    void writePending(PdfObjects& objects);

    struct Entry {
        std::uint64_t hash;
        std::int32_t width, height;
        int index;
        int objectNumber = 0;
        bool opaque = true;
        bool mask = false;       // a 1-bit image mask: rgb holds its deflated rows
        std::string rgb, alpha;  // deflated, until written
    };
    // After every page is written: read without locking.
    const std::vector<Entry>& images() const { return images_; }

  private:
    std::mutex mutex_;
    std::vector<Entry> images_;
};

}  // namespace folvek
