// Image XObjects: RGB samples, with a soft mask only when some pixel is not opaque.
#include "pdf_images.h"

#include <algorithm>
#include <string>

#include "pdf_deflate.h"
#include "pdf_number.h"

namespace folvek {

int PdfImageSet::imageFor(const ImageView& image, int sx, int sy, int sw, int sh) {
    if (!image.pixels || image.width <= 0 || image.height <= 0) return 0;
    const int x0 = std::clamp(sx, 0, image.width), y0 = std::clamp(sy, 0, image.height);
    const int x1 = std::clamp(sx + sw, 0, image.width), y1 = std::clamp(sy + sh, 0, image.height);
    const int w = x1 - x0, h = y1 - y0;
    if (w <= 0 || h <= 0) return 0;

    std::uint64_t hash = 1469598103934665603ull;
    bool opaque = true;
    for (int y = y0; y < y1; ++y) {
        const std::uint32_t* row = image.pixels + std::size_t(y) * std::size_t(image.width);
        for (int x = x0; x < x1; ++x) {
            hash = (hash ^ row[x]) * 1099511628211ull;
            opaque = opaque && (row[x] >> 24) == 0xFF;
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Entry& e : images_)
        if (e.hash == hash && e.width == w && e.height == h) return e.index;

    // Row by row into the compressor: a picture of the largest size allowed is not held a
    // second time uncompressed.
    StreamDeflater rgb, alpha;
    std::string row(std::size_t(w) * 3, '\0'), rowAlpha(opaque ? 0 : std::size_t(w), '\0');
    for (int y = y0; y < y1; ++y) {
        const std::uint32_t* src = image.pixels + std::size_t(y) * std::size_t(image.width);
        std::size_t o = 0;
        for (int x = x0; x < x1; ++x) {
            const std::uint32_t p = src[x];
            row[o++] = char((p >> 16) & 0xFF);
            row[o++] = char((p >> 8) & 0xFF);
            row[o++] = char(p & 0xFF);
            if (!opaque) rowAlpha[std::size_t(x - x0)] = char(p >> 24);
        }
        rgb.add(row.data(), row.size());
        if (!opaque) alpha.add(rowAlpha.data(), rowAlpha.size());
    }
    Entry e;
    e.hash = hash;
    e.width = w;
    e.height = h;
    e.index = int(images_.size()) + 1;
    e.opaque = opaque;
    e.rgb = rgb.finish();
    if (!opaque) e.alpha = alpha.finish();
    images_.push_back(std::move(e));
    return images_.back().index;
}

int PdfImageSet::maskFor(const BitmapView& b) {
    if (!b.bits || b.width <= 0 || b.height <= 0 || b.rowBytes < (b.width + 7) / 8) return 0;
    const std::size_t used = std::size_t(b.width + 7) / 8;
    // Bits past the width are the job's padding: they are masked off so that they neither
    // print nor tell two equal pictures apart.
    const auto lastMask = static_cast<std::uint8_t>(0xFF << ((8 - b.width % 8) % 8));
    std::uint64_t hash = 1469598103934665603ull ^ 0x6d61736bull;
    std::string row(used, '\0');
    const auto rowAt = [&](int y) {
        const std::uint8_t* src = b.bits + std::size_t(y) * std::size_t(b.rowBytes);
        for (std::size_t i = 0; i < used; ++i) row[i] = char(src[i]);
        row[used - 1] = char(std::uint8_t(row[used - 1]) & lastMask);
    };
    for (int y = 0; y < b.height; ++y) {
        rowAt(y);
        for (char c : row) hash = (hash ^ std::uint8_t(c)) * 1099511628211ull;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Entry& e : images_)
        if (e.mask && e.hash == hash && e.width == b.width && e.height == b.height) return e.index;
    StreamDeflater bits;
    for (int y = 0; y < b.height; ++y) {
        rowAt(y);
        bits.add(row.data(), row.size());
    }
    Entry e;
    e.hash = hash;
    e.width = b.width;
    e.height = b.height;
    e.index = int(images_.size()) + 1;
    e.mask = true;
    e.rgb = bits.finish();
    images_.push_back(std::move(e));
    return images_.back().index;
}

}  // namespace folvek

namespace folvek {

int PdfImageSet::objectFor(int number, PdfObjects& objects) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (number < 1 || static_cast<std::size_t>(number) > images_.size()) return 0;
    Entry& e = images_[static_cast<std::size_t>(number) - 1];
    if (!e.objectNumber) write(e, objects);
    return e.objectNumber;
}

void PdfImageSet::write(Entry& e, PdfObjects& objects) {
    if (e.mask) {
        // Sample 1 is ink: the decode array turns the mask's sense round.
        std::string dict = "/Type/XObject/Subtype/Image/ImageMask true/Decode[1 0]/Width ";
        appendInt(dict, e.width);
        dict += "/Height ";
        appendInt(dict, e.height);
        dict += "/BitsPerComponent 1";
        e.objectNumber = objects.allocate();
        objects.writeStream(e.objectNumber, dict, e.rgb, true);
        std::string().swap(e.rgb);
        return;
    }
    std::string size = "/Width ";
    appendInt(size, e.width);
    size += "/Height ";
    appendInt(size, e.height);
    size += "/BitsPerComponent 8/Interpolate true";
    e.objectNumber = objects.allocate();
    std::string dict = "/Type/XObject/Subtype/Image/ColorSpace/DeviceRGB" + size;
    if (!e.opaque) {
        const int mask = objects.allocate();
        objects.writeStream(mask, "/Type/XObject/Subtype/Image/ColorSpace/DeviceGray" + size,
                            e.alpha, true);
        dict += "/SMask ";
        appendRef(dict, mask);
    }
    objects.writeStream(e.objectNumber, dict, e.rgb, true);
    std::string().swap(e.rgb);
    std::string().swap(e.alpha);
}

}  // namespace folvek
