// Pictures as image XObjects: each distinct bitmap is stored once, however many pages show it.
// Pages register pictures from any thread; the writer writes each out, on its own thread, just
// before the first page that shows it, so the file does not depend on which thread came first.
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
    // The set's number for the source rectangle of `image`; 0 when the rectangle holds no
    // pixel. The numbers follow the order the threads register in and never reach the file.
    int imageFor(const ImageView& image, int sx, int sy, int sw, int sh);
    // The set's number of a 1-bit picture, written as a deflated image mask (1 bit a dot, ink
    // painted in the fill colour); 0 when it holds no dot.
    int maskFor(const BitmapView& bitmap);
    // The object of picture `number`, written now if it was not yet.
    int objectFor(int number, PdfObjects& objects);

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
    void write(Entry& e, PdfObjects& objects);

    std::mutex mutex_;
    std::vector<Entry> images_;
};

}  // namespace folvek
