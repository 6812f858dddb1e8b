// Page content of the PDF device.
#include "pdf_device.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "pdf_number.h"

namespace folvek {

namespace {
std::int64_t tenths(double v) {
    const double t = v * 10.0;
    return static_cast<std::int64_t>(t < 0 ? t - 0.5 : t + 0.5);
}
}  // namespace

PdfDevice::PdfDevice(PdfFontSet& fonts, PdfImageSet& images) : fonts_(fonts), images_(images) {
    content_.reserve(64 << 10);
}

void PdfDevice::beginPage(double printableWidthMm, double printableHeightMm,
                          const std::string& prefix) {
    printableMm_[0] = printableWidthMm;
    printableMm_[1] = printableHeightMm;
    content_.assign(prefix);
    pageImages_.clear();
    lines_.clear();
    fills_.clear();
    inText_ = false;
    textFont_ = nullptr;
    textSize_ = -1;
    renderMode_ = 0;
    hz_ = 100000;
    strokePen_ = -1;
}

bool* PdfDevice::usedBytes(const PdfFont& f) {
    if (used_.size() < std::size_t(f.index)) used_.resize(std::size_t(f.index), {});
    return used_[std::size_t(f.index - 1)].data();
}

std::string PdfDevice::takeContent() {
    flushLines();
    flushFills();
    closeText();
    for (std::size_t i = 0; i < used_.size(); ++i) {
        fonts_.markUsed(int(i) + 1, used_[i].data());
        used_[i].fill(false);
    }
    std::string out;
    out.reserve(content_.capacity());
    out.swap(content_);
    return out;
}

int PdfDevice::saveState() {
    saved_.push_back(state_);
    return int(saved_.size());
}

bool PdfDevice::restoreState(int id) {
    const int depth = int(saved_.size());
    const int target = id < 0 ? depth + id + 1 : id;
    if (target < 1 || target > depth) return false;
    state_ = saved_[std::size_t(target - 1)];
    saved_.resize(std::size_t(target - 1));
    font_ = nullptr;
    return true;
}

void PdfDevice::setLoEnglish() {
    state_.loEnglish = true;
    state_.zoom = 1.0;
}

void PdfDevice::scaleViewport(int xNum, int xDenom, int yNum, int yDenom) {
    if (xDenom == 0 || yDenom == 0 || xNum == 0 || yNum == 0) return;
    state_.zoom *= std::min(std::abs(double(xNum) / xDenom), std::abs(double(yNum) / yDenom));
}

int PdfDevice::deviceCaps(DeviceCap cap) const {
    switch (cap) {
        case DeviceCap::HorzSizeMm:
            return int(std::lround(printableMm_[0]));
        case DeviceCap::VertSizeMm:
            return int(std::lround(printableMm_[1]));
        case DeviceCap::HorzRes:
            return int(std::lround(printableMm_[0] / 25.4 * kResolution));
        case DeviceCap::VertRes:
            return int(std::lround(printableMm_[1] / 25.4 * kResolution));
        case DeviceCap::LogPixelsX:
        case DeviceCap::LogPixelsY:
            return kResolution;
    }
    return 0;
}

void PdfDevice::selectFont(const LogFont& font) {
    if (state_.fontSelected && state_.font == font) return;
    state_.font = font;
    state_.fontSelected = true;
    font_ = nullptr;
}

PdfFont* PdfDevice::currentFont() {
    if (!font_) font_ = fonts_.realise(state_.font);
    return font_;
}

double PdfDevice::emUnits() const {
    const double units = state_.font.height == 0 ? 13.0 : std::abs(double(state_.font.height));
    if (state_.font.height > 0 && font_) {
        // A positive height asks for a cell (ascent + descent) of that size.
        const double cell = font_->ascent + font_->descent;
        if (cell > 0) return units / cell;
    }
    return units;
}

TextExtent PdfDevice::textExtent(const char* text, int len) {
    TextExtent e;
    PdfFont* f = currentFont();
    if (!f) return e;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    double em = 0;
    for (int i = 0; i < len; ++i) em += f->advance[s[i]];
    const double size = emUnits();
    e.cx = std::int32_t(std::lround(em * size));
    e.cy = std::int32_t(std::lround((f->ascent + f->descent) * size));
    return e;
}

TextMetrics PdfDevice::textMetrics() {
    TextMetrics m;
    PdfFont* f = currentFont();
    if (!f) return m;
    const double size = emUnits();
    m.ascent = std::int32_t(std::lround(f->ascent * size));
    m.height = std::int32_t(std::lround((f->ascent + f->descent) * size));
    m.descent = m.height - m.ascent;
    m.internalLeading = std::max(0, m.height - std::int32_t(std::lround(size)));
    m.externalLeading = std::int32_t(std::lround(f->leading * size));
    m.aveCharWidth = std::int32_t(std::lround(f->aveCharWidth * size));
    return m;
}

void PdfDevice::setTransparentText() {
    state_.transparent = true;
}

void PdfDevice::selectPen(int width) {
    state_.penWidth = std::max(0, width);
}

int PdfDevice::currentPenWidth() const {
    return state_.penWidth;
}

void PdfDevice::moveTo(int x, int y) {
    state_.curX = x;
    state_.curY = y;
}

void PdfDevice::appendPoint(std::string& out, double x, double y) {
    appendScaled(out, tenths(x), 1);
    out.push_back(' ');
    appendScaled(out, tenths(y), 1);
}

void PdfDevice::lineTo(int x, int y) {
    // The page's segments go into one path; a change of pen strokes what came before.
    const int pen = int(std::lround(state_.penWidth * scale() * 10));
    if (!lines_.empty() && pen != linesPen_) flushLines();
    linesPen_ = pen;
    const double x0 = pageX(state_.curX), y0 = pageY(state_.curY);
    const double x1 = pageX(x), y1 = pageY(y);
    lines_.add({tenths(x0), tenths(y0), tenths(x1), tenths(y1)});
    state_.curX = x;
    state_.curY = y;
}

void PdfDevice::closeText() {
    if (!inText_) return;
    content_ += "ET\n";
    inText_ = false;
}

void PdfDevice::flushLines() {
    if (lines_.empty()) return;
    closeText();
    if (strokePen_ != linesPen_) {
        // Width 0 is the thinnest line the device draws; wider pens get square caps so that
        // frames meeting at a corner close without a gap.
        appendScaled(content_, linesPen_, 1);
        content_ += linesPen_ == 0 ? " w 0 J\n" : " w 2 J\n";
        strokePen_ = linesPen_;
    }
    // Every segment is its own subpath, as separate MoveTo/LineTo pairs: no joins are added
    // where one segment happens to start at the end of the last.
    appendSegments(content_, lines_.segments());
    content_ += "S\n";
    lines_.clear();
}

void PdfDevice::flushFills() {
    if (fills_.empty()) return;
    closeText();
    content_ += fills_;
    content_ += "f\n";
    fills_.clear();
}

void PdfDevice::showString(PdfFont& f, double size, double x, double y, const unsigned char* s,
                           int n, std::int64_t hz) {
    if (n <= 0) return;
    if (!inText_) {
        content_ += "BT\n";
        inText_ = true;
        textX_ = textY_ = 0;
    }
    // Horizontal scaling is text state: it stays in force from one text object to the next.
    if (hz != hz_) {
        appendScaled(content_, hz, 3);
        content_ += " Tz\n";
        hz_ = hz;
    }
    const std::int64_t sz = std::llround(size * 1000);
    if (textFont_ != &f || textSize_ != sz) {
        content_ += "/F";
        appendInt(content_, f.index);
        content_ += ' ';
        appendScaled(content_, sz, 3);
        content_ += " Tf\n";
        textFont_ = &f;
        textSize_ = sz;
        const int mode = f.syntheticBold ? 2 : 0;
        if (mode != renderMode_) {
            // Fill and stroke the outlines: a face without a bold style still prints bold.
            if (mode) {
                appendFixed(content_, size * 0.04, 2);
                content_ += " w ";
                strokePen_ = -1;
            }
            content_ += mode ? "2 Tr\n" : "0 Tr\n";
            renderMode_ = mode;
        }
    }
    const std::int64_t tx = tenths(x), ty = tenths(y);
    appendScaled(content_, tx - textX_, 1);
    content_ += ' ';
    appendScaled(content_, ty - textY_, 1);
    content_ += " Td(";
    textX_ = tx;
    textY_ = ty;
    bool* used = usedBytes(f);
    // Bytes go in as they are, in stretches between the few that need a backslash.
    int from = 0;
    for (int i = 0; i < n; ++i) {
        const unsigned char c = s[i];
        used[c] = true;
        if (c == '(' || c == ')' || c == '\\' || c == '\r') {
            content_.append(reinterpret_cast<const char*>(s + from), std::size_t(i - from));
            content_ += c == '\r' ? "\\r" : c == '(' ? "\\(" : c == ')' ? "\\)" : "\\\\";
            from = i + 1;
        }
    }
    content_.append(reinterpret_cast<const char*>(s + from), std::size_t(n - from));
    content_ += ")Tj\n";
}

// The flags change nothing here: a PDF page clips nothing and a run is always one line.
void PdfDevice::drawText(const char* text, int len, const Rect& r, unsigned /*flags*/) {
    if (!text || len <= 0) return;
    PdfFont* fp = currentFont();
    if (!fp) return;
    PdfFont& f = *fp;
    const auto* s = reinterpret_cast<const unsigned char*>(text);

    const double size = emUnits() * scale();
    const double left = pageX(r.left), top = pageY(r.top);
    const double baseline = top - f.ascent * size;

    if (!state_.transparent) {
        double w = 0;
        for (int i = 0; i < len; ++i) w += f.advance[s[i]] * size;
        closeText();
        content_ += "1 g ";
        appendPoint(content_, left, top - (f.ascent + f.descent) * size);
        content_ += ' ';
        appendPoint(content_, w, (f.ascent + f.descent) * size);
        content_ += " re f 0 g\n";
    }

    double x = 0;
    for (int i = 0; i < len; ++i) x += f.advance[s[i]] * size;
    // Blanks at the end of a run print nothing.
    int end = len;
    while (end > 0 && s[end - 1] == ' ') --end;
    showString(f, size, left, baseline, s, end);

    // The decoration spans the whole run, blanks included.
    if ((state_.font.underline || state_.font.strikeOut) && x > 0) {
        const double thick = size / 14.0;
        if (state_.font.underline) {
            appendPoint(fills_, left, baseline - size * 0.1 - thick);
            fills_ += ' ';
            appendPoint(fills_, x, thick);
            fills_ += " re\n";
        }
        if (state_.font.strikeOut) {
            appendPoint(fills_, left, baseline + size * 0.28 - thick);
            fills_ += ' ';
            appendPoint(fills_, x, thick);
            fills_ += " re\n";
        }
    }
}

void PdfDevice::stretchImage(int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                             const ImageView& image) {
    if (dw == 0 || dh == 0) return;
    const int index = images_.imageFor(image, sx, sy, sw, sh);
    if (!index) return;
    placeXObject(index, dx, dy, dw, dh);
}

void PdfDevice::placeXObject(int number, double dx, double dy, double dw, double dh) {
    // Named within the page, so that the content does not depend on the order in which
    // pages drawn side by side met their pictures first.
    auto at = std::find(pageImages_.begin(), pageImages_.end(), number);
    if (at == pageImages_.end()) at = pageImages_.insert(at, number);
    const auto name = static_cast<std::int64_t>(at - pageImages_.begin()) + 1;
    // A picture covers what was drawn before it.
    flushLines();
    flushFills();
    closeText();
    // The image's top row goes to dy and its bottom row to dy + dh, whatever their signs.
    const double a = dw * scale(), d = -pageY(dh) + pageY(0);
    const double e = pageX(dx), f = pageY(dy + dh);
    content_ += "q ";
    appendFixed(content_, a, 2);
    content_ += " 0 0 ";
    appendFixed(content_, d, 2);
    content_ += ' ';
    appendFixed(content_, e, 2);
    content_ += ' ';
    appendFixed(content_, f, 2);
    content_ += " cm/Im";
    appendInt(content_, name);
    content_ += " Do Q\n";
}

void PdfDevice::drawBitmap(int dx, int dy, int dw, int dh, const BitmapView& bitmap) {
    if (dw == 0 || dh == 0) return;  // nothing to see: no image stored for it either
    const int index = images_.maskFor(bitmap);
    if (!index) return;
    // An image mask paints its ink in the fill colour, black everywhere on our pages.
    placeXObject(index, dx, dy, dw, dh);
}

void PdfDevice::fillRect(const Rect& r) {
    const double x0 = pageX(std::min(r.left, r.right)), x1 = pageX(std::max(r.left, r.right));
    const double ya = pageY(r.top), yb = pageY(r.bottom);
    if (x1 <= x0 || ya == yb) return;
    appendPoint(fills_, x0, std::min(ya, yb));
    fills_ += ' ';
    appendPoint(fills_, x1 - x0, std::abs(ya - yb));
    fills_ += " re\n";
}

void PdfDevice::drawCells(const char* text, int len, int x, int y, double advance) {
    if (!text || len <= 0 || advance <= 0) return;
    PdfFont* fp = currentFont();
    if (!fp) return;
    PdfFont& f = *fp;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    const double size = emUnits() * scale();
    const double natural = f.advance[static_cast<unsigned char>('0')] * size;
    const double step = advance * scale();
    if (natural <= 0) return;
    const std::int64_t hz = std::llround(100000.0 * step / natural);
    const double left = pageX(x), baseline = pageY(y);
    // Blanks at either end print nothing; inside, the scaled glyphs keep every cell in step.
    int from = 0, to = len;
    while (from < to && (s[from] == ' ' || s[from] < 0x20)) ++from;
    while (to > from && (s[to - 1] == ' ' || s[to - 1] < 0x20)) --to;
    if (to > from) {
        std::string clean(reinterpret_cast<const char*>(s + from), std::size_t(to - from));
        for (char& c : clean)
            if (static_cast<unsigned char>(c) < 0x20) c = ' ';
        showString(f, size, left + from * step, baseline,
                   reinterpret_cast<const unsigned char*>(clean.data()), int(clean.size()), hz);
    }
    if (state_.font.underline || state_.font.strikeOut) {
        const double thick = size / 14.0, width = len * step;
        if (state_.font.underline) {
            appendPoint(fills_, left, baseline - size * 0.1 - thick);
            fills_ += ' ';
            appendPoint(fills_, width, thick);
            fills_ += " re\n";
        }
        if (state_.font.strikeOut) {
            appendPoint(fills_, left, baseline + size * 0.28 - thick);
            fills_ += ' ';
            appendPoint(fills_, width, thick);
            fills_ += " re\n";
        }
    }
}

}  // namespace folvek
