// The device context that writes PDF page content directly: one text string per run, short
// fixed-point coordinates in hundredths of an inch, the frame lines of a page as one path and
// one stroke, pictures as shared image XObjects.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "device_context.h"
#include "pdf_font.h"
#include "pdf_images.h"
#include "pdf_segments.h"

namespace folvek {

class PdfDevice : public DeviceContext {
  public:
    // "Device pixels" of this device: what units are before the 0.01-inch mapping is set.
    static constexpr int kResolution = 1200;

    PdfDevice(PdfFontSet& fonts, PdfImageSet& images);

    // A new page whose printable area is `printableMm`; `prefix` starts its content (the
    // transform from logical units to the page).
    void beginPage(double printableWidthMm, double printableHeightMm, const std::string& prefix);
    // The page's content stream; the device is then ready for the next page. The bytes the
    // page drew are handed to the font set here.
    std::string takeContent();
    // The pictures the page showed, by their numbers in the image set: the content names the
    // first /Im1, the second /Im2, and so on, in the order the page first showed them.
    std::vector<int> takeImages() { return std::exchange(pageImages_, {}); }

    // LayoutDevice
    int saveState() override;
    bool restoreState(int id) override;
    void setLoEnglish() override;
    int deviceCaps(DeviceCap cap) const override;
    void selectFont(const LogFont& font) override;
    TextExtent textExtent(const char* text, int len) override;
    TextMetrics textMetrics() override;

    // DeviceContext
    void scaleViewport(int xNum, int xDenom, int yNum, int yDenom) override;
    void setTransparentText() override;
    void selectPen(int width) override;
    int currentPenWidth() const override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void drawText(const char* text, int len, const Rect& r, unsigned flags) override;
    void stretchImage(int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                      const ImageView& image) override;
    void drawBitmap(int dx, int dy, int dw, int dh, const BitmapView& bitmap) override;
    void fillRect(const Rect& r) override;
    void drawCells(const char* text, int len, int x, int y, double advance) override;

  private:
    struct State {
        bool loEnglish = false;
        double zoom = 1.0;
        LogFont font;
        bool fontSelected = false;
        int penWidth = 0;
        bool transparent = false;
        int curX = 0, curY = 0;
    };

    // Page coordinates (logical units of the page, y upward) of a point in current units.
    double scale() const { return state_.loEnglish ? state_.zoom : 100.0 / kResolution; }
    double pageX(double x) const { return x * scale(); }
    double pageY(double y) const { return state_.loEnglish ? y * state_.zoom : -y * scale(); }
    PdfFont* currentFont();
    double emUnits() const;  // em of the current font in current units

    void closeText();
    void flushLines();
    void flushFills();
    // hz: horizontal scaling of the glyphs, thousandths of a percent.
    void showString(PdfFont& f, double size, double x, double y, const unsigned char* s, int n,
                    std::int64_t hz = 100000);
    void placeXObject(int number, double dx, double dy, double dw, double dh);
    void appendPoint(std::string& out, double x, double y);

    bool* usedBytes(const PdfFont& f);

    PdfFontSet& fonts_;
    PdfImageSet& images_;
    std::vector<std::array<bool, 256>> used_;  // per font index, this page's bytes
    std::vector<int> pageImages_;
    double printableMm_[2] = {0, 0};
    State state_;
    std::vector<State> saved_;
    PdfFont* font_ = nullptr;

    std::string content_;
    PathJoiner lines_;  // pending path segments, stroked at once
    int linesPen_ = 0;
    std::string fills_;  // pending underline and strike-out bars
    // Text state of the page's content.
    bool inText_ = false;
    const PdfFont* textFont_ = nullptr;
    std::int64_t textSize_ = -1;          // thousandths
    std::int64_t textX_ = 0, textY_ = 0;  // tenths, the current line start
    int renderMode_ = 0;
    std::int64_t hz_ = 100000;  // horizontal scaling in force, thousandths of a percent
    int strokePen_ = -1;        // pen set in the page's graphics state, -1: none yet
};

}  // namespace folvek
