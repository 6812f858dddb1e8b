// Pictures are stretched from their decoded pixels; y grows upward on the page, so the
// destination height is negative and the picture extends downward from (x, y).
#include "picture_draw.h"

#include <cstdint>

namespace folvek {

int drawAt(BmpOut& picture, DeviceContext& dc, int x, int y) {
    if (picture.percent == 0) picture.percent = 100;
    return drawAt(static_cast<const BmpOut&>(picture), dc, x, y);
}

int drawAt(const BmpOut& picture, DeviceContext& dc, int x, int y) {
    const std::int32_t percent = picture.percent == 0 ? 100 : picture.percent;
    if (!picture.loaded || picture.pixels.empty()) return 1;
    const auto w = static_cast<int>(std::int64_t{picture.imageWidth} * percent / 100);
    const auto h = static_cast<int>(std::int64_t{picture.imageHeight} * percent / 100);
    const ImageView view{picture.pixelWidth, picture.pixelHeight, picture.pixels.data()};
    dc.stretchImage(x, y, w, -h, 0, 0, picture.pixelWidth, picture.pixelHeight, view);
    return 1;
}

}  // namespace folvek
