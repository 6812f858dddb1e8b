// The drawing surface that pages are drawn on: a LayoutDevice that can also draw text runs,
// lines and bitmaps. Coordinates are logical units of the current mapping (0.01 inch, y upward
// after setLoEnglish). The platform layer implements it over QPainter; tests record the calls.
#pragma once

#include <cstdint>

#include "layout_device.h"

namespace folvek {

struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// DrawTextA flags the renderer uses. Text is always drawn as it stands: the loader has expanded
// its tabs, and no '&' marks a mnemonic.
enum DrawTextFlags : unsigned {
    kDtSingleLine = 0x20,
    kDtNoClip = 0x100,
};

// A decoded image: width x height pixels 0xAARRGGBB, top row first.
struct ImageView {
    std::int32_t width = 0;
    std::int32_t height = 0;
    const std::uint32_t* pixels = nullptr;
};

// A 1-bit picture: width x height dots, top row first, rowBytes per row, most significant bit
// leftmost; 1 is ink, 0 leaves the page as it is.
struct BitmapView {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t rowBytes = 0;
    const std::uint8_t* bits = nullptr;
};

class DeviceContext : public LayoutDevice {
  public:
    // The preview's zoom: MM_ISOTROPIC keeping the 0.01-inch extents, viewport scaled by
    // xNum/xDenom and yNum/yDenom. The caller's origin (scroll offset) stays where it was.
    virtual void scaleViewport(int xNum, int xDenom, int yNum, int yDenom) = 0;

    virtual void setTransparentText() = 0;  // SetBkMode(TRANSPARENT)

    // A solid black pen of the given logical width (0: one device pixel) becomes current;
    // the pen that was current before is restored with restoreState or by selecting it again.
    virtual void selectPen(int width) = 0;
    virtual int currentPenWidth() const = 0;

    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;

    // DrawTextA: text is Windows-1251 bytes, drawn in the current font, top-left aligned in r.
    virtual void drawText(const char* text, int len, const Rect& r, unsigned flags) = 0;

    // StretchDIBits: the source rectangle of the image onto the destination rectangle; a
    // negative destination height with y upward shows the picture upright.
    virtual void stretchImage(int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                              const ImageView& image) = 0;

    // A 1-bit picture stretched onto the rectangle whose top-left corner is (dx, dy), dw wide
    // and dh high (negative with y upward): its ink is black, the rest stays as it was.
    virtual void drawBitmap(int dx, int dy, int dw, int dh, const BitmapView& bitmap) = 0;

    // A black rectangle, filled (a printer's rule); the corners in either order.
    virtual void fillRect(const Rect& r) = 0;

    // Characters on a printer's grid: character i is drawn in the current font with its left
    // edge at x + i * advance and its baseline at y, the font stretched or squeezed across so that
    // its digit width is `advance`. Text is Windows-1251 bytes; blanks draw nothing, and an
    // underline or strike-out of the font spans every cell.
    virtual void drawCells(const char* text, int len, int x, int y, double advance) = 0;
};

}  // namespace folvek
