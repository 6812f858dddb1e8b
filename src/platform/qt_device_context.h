// The device context over a QPainter: screen, printer, PDF, image and SVG pages are all drawn
// through this one class. Logical units are 0.01 inch with y upward once setLoEnglish() is in
// force; the painter's own transform (a view's scroll offset) stays under the mapping.
#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <vector>

#include "device_context.h"
#include "qt_font_cache.h"

class QPainter;

namespace folvek {

class QtDeviceContext : public DeviceContext {
  public:
    // `painter` may be null: the context then measures only (layout devices). `dpiX`/`dpiY` are
    // the device's pixels per inch in the painter's coordinates; `printableMm` is what
    // deviceCaps reports as the size of the printable area.
    QtDeviceContext(QPainter* painter, double dpiX, double dpiY, QSizeF printableMm);
    ~QtDeviceContext() override;

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

    // Not part of the old interface, used by callers that draw over a page (and by tests).
    void setOpaqueText();
    QPointF toDevice(double x, double y) const { return {x * scaleX(), y * scaleY()}; }
    double scaleX() const;  // device pixels per logical unit, signed (y is negative in LoEnglish)
    double scaleY() const;
    QPainter* painter() const { return painter_; }
    // Text is collected per font and drawn in one glyph run per font: a PDF then carries one text
    // object per font and page instead of one per run. Pending text is drawn when the caller's
    // state comes back (the last restoreState), before pictures and opaque text, and here.
    void flush();
    void flushLines();

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

    const SizedFont& currentFont();
    void applyPen();
    void drawFast(const SizedFont& f, const unsigned char* s, int n, double left, double baseline);
    void drawSlow(const SizedFont& f, const unsigned char* s, int n, double left, double baseline);

    QPainter* painter_;
    double dpiX_, dpiY_;
    QSizeF printableMm_;
    bool glyphRuns_ = true;  // engine draws glyph runs as real text (raster, PDF)
    State state_;
    std::vector<State> saved_;

    const SizedFont* font_ = nullptr;  // realisation of state_.font for the current mapping
    bool penApplied_ = false;

    // Text waiting to be drawn, one batch per font; reused so that drawing does not allocate.
    struct Batch {
        const SizedFont* font = nullptr;  // null once the cache has freed it
        QRawFont raw;
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions;
    };
    Batch& batchFor(const SizedFont& f);
    std::vector<Batch> batches_;
    bool pending_ = false;
    // Segments are collected into one path per pen and stroked at once: a PDF page then gets
    // one path instead of one per table stroke.
    QPainterPath lines_;
    int linesPenWidth_ = 0;
    QString textBuffer_;
};

}  // namespace folvek
