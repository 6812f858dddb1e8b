// Drawing a page picture at its scale, upright, its top-left corner at (x, y).
#pragma once

#include "bmp_out.h"
#include "device_context.h"

namespace folvek {

int drawAt(BmpOut& picture, DeviceContext& dc, int x, int y);
// The same without touching the picture (a percent of 0 is drawn at 100), for sheets drawn on
// several threads at once.
int drawAt(const BmpOut& picture, DeviceContext& dc, int x, int y);

}  // namespace folvek
