// Drawing a page picture at its scale, upright, its top-left corner at (x, y).
#pragma once

#include "bmp_out.h"
#include "device_context.h"

namespace folvek {

int drawAt(BmpOut& picture, DeviceContext& dc, int x, int y);

}  // namespace folvek
