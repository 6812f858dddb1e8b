// Bitmaps from anywhere: loaded, then drawn on a recording surface that checks every source
// rectangle against the decoded image and reads its corner pixels.
#include <cstdint>

#include "fuzz_support.h"
#include "picture_draw.h"
#include "render/recording_device.h"

using namespace folvek;

namespace {

class CheckingDevice : public test::RecordingDevice {
  public:
    void stretchImage(int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                      const ImageView& image) override {
        FUZZ_CHECK(image.pixels != nullptr);
        FUZZ_CHECK(sx >= 0 && sy >= 0 && sw >= 0 && sh >= 0);
        FUZZ_CHECK(sx + sw <= image.width && sy + sh <= image.height);
        if (sw && sh) {
            const auto at = [&](int x, int y) {
                return image.pixels[std::size_t(y) * image.width + x];
            };
            sink ^= at(sx, sy) ^ at(sx + sw - 1, sy + sh - 1);
        }
        RecordingDevice::stretchImage(dx, dy, dw, dh, sx, sy, sw, sh, image);
    }
    std::uint32_t sink = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::writeInput("picture.bmp", data, size);
    test::MessageRecorder messages;
    BmpOut bmp;
    const int ok = bmp.loadFile(path, &messages);
    if (!ok) {
        FUZZ_CHECK(messages.shown.size() == 1);
        FUZZ_CHECK(bmp.loaded == 0 && bmp.pixels.empty());
        return 0;
    }
    FUZZ_CHECK(messages.shown.empty());
    FUZZ_CHECK(bmp.imageWidth > 0 && bmp.imageHeight > 0);
    FUZZ_CHECK(bmp.pixels.size() == std::size_t(bmp.pixelWidth) * std::size_t(bmp.pixelHeight));
    CheckingDevice dc;
    drawAt(bmp, dc, 0, 0);
    bmp.percent = size ? 1 + data[size - 1] % 400 : 100;  // the scales the settings allow
    bmp.width = static_cast<std::int32_t>(std::int64_t{bmp.imageWidth} * bmp.percent / 100);
    bmp.height = static_cast<std::int32_t>(std::int64_t{bmp.imageHeight} * bmp.percent / 100);
    drawAt(bmp, dc, 100, -100);
    bmp.release();
    FUZZ_CHECK(bmp.pixels.empty());
    return 0;
}
