// What layout needs of a device: its size, the 0.01-inch mapping, fonts and text measurement.
// The drawing surface of the renderer extends this; the platform layer implements both.
#pragma once

#include <cstdint>

#include "log_font.h"

namespace folvek {

struct TextExtent {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

struct TextMetrics {          // logical units
    std::int32_t height = 0;  // ascent + descent
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    std::int32_t internalLeading = 0;
    std::int32_t externalLeading = 0;
    std::int32_t aveCharWidth = 0;
};

enum class DeviceCap {
    HorzSizeMm,  // width of the printable area, millimetres
    VertSizeMm,  // height of the printable area, millimetres
    HorzRes,     // width of the printable area, device pixels
    VertRes,     // height of the printable area, device pixels
    LogPixelsX,  // device pixels per inch
    LogPixelsY,
};

class LayoutDevice {
  public:
    virtual ~LayoutDevice() = default;

    // SaveDC / RestoreDC: mapping, font, pen and background mode. restoreState(-1) pops the
    // latest saved state; it returns false when there is none.
    virtual int saveState() = 0;
    virtual bool restoreState(int id) = 0;

    // MM_LOENGLISH: one logical unit is 0.01 inch, x to the right, y upward, the origin where the
    // caller put it (top-left corner of the printable area unless scrolled).
    virtual void setLoEnglish() = 0;

    virtual int deviceCaps(DeviceCap cap) const = 0;

    // Selecting a font realises the record for this device; the previous record stays valid.
    virtual void selectFont(const LogFont& font) = 0;

    // Text is Windows-1251 bytes; results are in logical units of the current mapping.
    virtual TextExtent textExtent(const char* text, int len) = 0;
    virtual TextMetrics textMetrics() = 0;
};

}  // namespace folvek
