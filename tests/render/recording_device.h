// A drawing surface that records every call in logical units, with fixed metrics: every
// character is 10 units wide, a line 16 high.
#pragma once

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "device_context.h"
#include "document/layout_fakes.h"

namespace folvek::test {

struct TextCall {
    std::string text;
    Rect rect;
    LogFont font;
};
struct Segment {
    int x1, y1, x2, y2;
    bool operator==(const Segment&) const = default;
};
inline std::ostream& operator<<(std::ostream& o, const Segment& s) {
    return o << "{" << s.x1 << "," << s.y1 << "," << s.x2 << "," << s.y2 << "}";
}
struct ImageCall {
    int dx, dy, dw, dh, sx, sy, sw, sh;
};
struct BitmapCall {
    int dx, dy, dw, dh, width, height;
    int ink;  // dots set
};
struct CellsCall {
    std::string text;
    int x, y;
    double advance;
    LogFont font;
};

class RecordingDevice : public DeviceContext {
  public:
    RecordingDevice(int widthMm = 254, int heightMm = 254)
        : widthMm_(widthMm), heightMm_(heightMm) {}

    int saveState() override { return ++depth; }
    bool restoreState(int) override {
        if (depth == 0) return false;
        --depth;
        return true;
    }
    void setLoEnglish() override { loEnglish = true; }
    int deviceCaps(DeviceCap cap) const override {
        switch (cap) {
            case DeviceCap::HorzSizeMm:
                return widthMm_;
            case DeviceCap::VertSizeMm:
                return heightMm_;
            case DeviceCap::HorzRes:
                return widthMm_ * 10;
            case DeviceCap::VertRes:
                return heightMm_ * 10;
            default:
                return 254;
        }
    }
    void selectFont(const LogFont& f) override { font = f; }
    TextExtent textExtent(const char*, int len) override { return {len * charWidth, lineHeight}; }
    TextMetrics textMetrics() override { return {lineHeight, 12, 4, 0, 0, charWidth}; }
    void scaleViewport(int xn, int xd, int, int) override { zoom = double(xn) / xd; }
    void setTransparentText() override { transparent = true; }
    void selectPen(int width) override { pen = width; }
    int currentPenWidth() const override { return pen; }
    void moveTo(int x, int y) override { at = {x, y}; }
    void lineTo(int x, int y) override {
        segments.push_back({at.first, at.second, x, y});
        at = {x, y};
    }
    void drawText(const char* text, int len, const Rect& r, unsigned) override {
        texts.push_back({std::string(text, len), r, font});
    }
    void stretchImage(int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                      const ImageView&) override {
        images.push_back({dx, dy, dw, dh, sx, sy, sw, sh});
    }
    void drawBitmap(int dx, int dy, int dw, int dh, const BitmapView& b) override {
        int ink = 0;
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                ink += (b.bits[std::size_t(y) * std::size_t(b.rowBytes) + std::size_t(x / 8)] >>
                        (7 - x % 8)) &
                       1;
        bitmaps.push_back({dx, dy, dw, dh, b.width, b.height, ink});
    }
    void fillRect(const Rect& r) override { rects.push_back(r); }
    void drawCells(const char* text, int len, int x, int y, double advance) override {
        cells.push_back({std::string(text, std::size_t(len)), x, y, advance, font});
    }

    std::string allText() const {
        std::string s;
        for (auto& t : texts) s += t.text;
        return s;
    }
    bool hasSegment(const Segment& s) const {
        for (auto& g : segments)
            if (g == s || g == Segment{s.x2, s.y2, s.x1, s.y1}) return true;
        return false;
    }
    // The segments drawn, each from its smaller end, in order: for comparing exact sets.
    std::vector<Segment> segmentSet() const {
        std::vector<Segment> out;
        for (Segment g : segments) {
            if (std::make_pair(g.x2, g.y2) < std::make_pair(g.x1, g.y1))
                g = {g.x2, g.y2, g.x1, g.y1};
            out.push_back(g);
        }
        std::sort(out.begin(), out.end(), [](const Segment& a, const Segment& b) {
            return std::tie(a.x1, a.y1, a.x2, a.y2) < std::tie(b.x1, b.y1, b.x2, b.y2);
        });
        return out;
    }
    void clear() {
        texts.clear();
        segments.clear();
        images.clear();
        bitmaps.clear();
        rects.clear();
        cells.clear();
    }

    int charWidth = 10;
    int lineHeight = 16;
    int depth = 0;
    int pen = 0;
    bool loEnglish = false;
    bool transparent = false;
    double zoom = 1;
    LogFont font;
    std::pair<int, int> at{0, 0};
    std::vector<TextCall> texts;
    std::vector<Segment> segments;
    std::vector<ImageCall> images;
    std::vector<BitmapCall> bitmaps;
    std::vector<Rect> rects;
    std::vector<CellsCall> cells;

  private:
    int widthMm_, heightMm_;
};

}  // namespace folvek::test
