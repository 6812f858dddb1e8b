// Pictures as image XObjects: each distinct bitmap is written once, however many pages show it.
#pragma once

#include <cstdint>
#include <vector>

#include "device_context.h"
#include "pdf_objects.h"

namespace folvek {

class PdfImageSet {
  public:
    explicit PdfImageSet(PdfObjects& objects) : objects_(objects) {}

    // The resource index (/Im<n>) of the source rectangle of `image`, written on first use;
    // 0 when the rectangle holds no pixel.
    int imageFor(const ImageView& image, int sx, int sy, int sw, int sh);

    struct Entry {
        std::uint64_t hash;
        std::int32_t width, height;
        int index;
        int objectNumber;
    };
    const std::vector<Entry>& images() const { return images_; }

  private:
    PdfObjects& objects_;
    std::vector<Entry> images_;
};

}  // namespace folvek
