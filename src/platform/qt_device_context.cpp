// The device context over a QPainter.
#include "qt_device_context.h"

#include <QGlyphRun>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "codepage.h"

namespace folvek {

QtDeviceContext::QtDeviceContext(QPainter* painter, double dpiX, double dpiY, QSizeF printableMm)
    : painter_(painter),
      dpiX_(dpiX > 0 ? dpiX : 96),
      dpiY_(dpiY > 0 ? dpiY : 96),
      printableMm_(printableMm) {
    if (painter_) {
        const QPaintEngine* engine = painter_->paintEngine();
        const auto type = engine ? engine->type() : QPaintEngine::User;
        // The SVG generator and picture recorders need the characters, not glyph indexes.
        glyphRuns_ = type == QPaintEngine::Raster || type == QPaintEngine::Pdf ||
                     type == QPaintEngine::OpenGL2;
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
        painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter_->setBrush(Qt::NoBrush);
    }
    textBuffer_.reserve(1100);
}

QtDeviceContext::~QtDeviceContext() {
    flush();
}

QtDeviceContext::Batch& QtDeviceContext::batchFor(const SizedFont& f) {
    for (Batch& b : batches_)
        if (b.font == &f) return b;
    for (Batch& b : batches_)
        if (b.glyphs.empty()) {
            b.font = &f;
            b.raw = f.raw;
            return b;
        }
    batches_.emplace_back();
    batches_.back().font = &f;
    batches_.back().raw = f.raw;
    batches_.back().glyphs.reserve(4096);
    batches_.back().positions.reserve(4096);
    return batches_.back();
}

void QtDeviceContext::flushLines() {
    if (lines_.isEmpty() || !painter_) return;
    const int width = state_.penWidth;
    state_.penWidth = linesPenWidth_;
    penApplied_ = false;
    applyPen();
    painter_->setBrush(Qt::NoBrush);
    painter_->drawPath(lines_);
    lines_.clear();
    state_.penWidth = width;
    penApplied_ = false;
}

void QtDeviceContext::flush() {
    flushLines();
    if (!pending_ || !painter_) return;
    pending_ = false;
    applyPen();  // text takes the pen's colour; every pen is black
    for (Batch& b : batches_) {
        if (b.glyphs.empty()) continue;
        QGlyphRun run;
        run.setRawFont(b.raw);
        run.setRawData(b.glyphs.data(), b.positions.data(), int(b.glyphs.size()));
        painter_->drawGlyphRun(QPointF(0, 0), run);
        b.glyphs.clear();
        b.positions.clear();
    }
}

double QtDeviceContext::scaleX() const {
    return state_.loEnglish ? dpiX_ / 100.0 * state_.zoom : 1.0;
}

double QtDeviceContext::scaleY() const {
    return state_.loEnglish ? -dpiY_ / 100.0 * state_.zoom : 1.0;
}

int QtDeviceContext::saveState() {
    saved_.push_back(state_);
    return int(saved_.size());
}

bool QtDeviceContext::restoreState(int id) {
    // RestoreDC: a negative id counts back from the latest save, a positive one names a save.
    const int depth = int(saved_.size());
    const int target = id < 0 ? depth + id + 1 : id;
    if (target < 1 || target > depth) return false;
    state_ = saved_[target - 1];
    saved_.resize(target - 1);
    if (saved_.empty()) flush();  // the operation that saved the caller's state is complete
    font_ = nullptr;
    penApplied_ = false;
    return true;
}

void QtDeviceContext::setLoEnglish() {
    state_.loEnglish = true;
    state_.zoom = 1.0;
    font_ = nullptr;
    penApplied_ = false;
}

void QtDeviceContext::scaleViewport(int xNum, int xDenom, int yNum, int yDenom) {
    if (xDenom == 0 || yDenom == 0 || xNum == 0 || yNum == 0) return;
    // Isotropic: both axes keep the same physical scale, the smaller of the two asked for.
    const double f = std::min(std::abs(double(xNum) / xDenom), std::abs(double(yNum) / yDenom));
    state_.zoom *= f;
    font_ = nullptr;
    penApplied_ = false;
}

int QtDeviceContext::deviceCaps(DeviceCap cap) const {
    switch (cap) {
        case DeviceCap::HorzSizeMm:
            return int(std::lround(printableMm_.width()));
        case DeviceCap::VertSizeMm:
            return int(std::lround(printableMm_.height()));
        case DeviceCap::HorzRes:
            return int(std::lround(printableMm_.width() / 25.4 * dpiX_));
        case DeviceCap::VertRes:
            return int(std::lround(printableMm_.height() / 25.4 * dpiY_));
        case DeviceCap::LogPixelsX:
            return int(std::lround(dpiX_));
        case DeviceCap::LogPixelsY:
            return int(std::lround(dpiY_));
    }
    return 0;
}

void QtDeviceContext::selectFont(const LogFont& font) {
    if (state_.fontSelected && state_.font == font) return;
    state_.font = font;
    state_.fontSelected = true;
    font_ = nullptr;
}

const SizedFont& QtDeviceContext::currentFont() {
    if (font_) return *font_;
    FontCache& cache = FontCache::instance();
    const auto generation = cache.generation();
    font_ = &cache.realise(state_.font, std::abs(scaleY()));
    if (cache.generation() != generation)
        for (Batch& b : batches_) b.font = nullptr;  // their own raw fonts stay valid
    return *font_;
}

TextExtent QtDeviceContext::textExtent(const char* text, int len) {
    const SizedFont& f = currentFont();
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    double em = 0;
    for (int i = 0; i < len; ++i) em += f.face->advance[s[i]];
    const double ax = std::abs(scaleX()), ay = std::abs(scaleY());
    TextExtent e;
    e.cx = std::int32_t(std::lround(em * f.emPx / ax));
    e.cy = std::int32_t(std::lround((f.face->ascent + f.face->descent) * f.emPx / ay));
    return e;
}

TextMetrics QtDeviceContext::textMetrics() {
    const SizedFont& f = currentFont();
    const double ay = std::abs(scaleY()), ax = std::abs(scaleX());
    TextMetrics m;
    m.ascent = std::int32_t(std::lround(f.face->ascent * f.emPx / ay));
    m.height = std::int32_t(std::lround((f.face->ascent + f.face->descent) * f.emPx / ay));
    m.descent = m.height - m.ascent;
    m.internalLeading = std::max(0, m.height - std::int32_t(std::lround(f.emPx / ay)));
    m.externalLeading = std::int32_t(std::lround(f.face->leading * f.emPx / ay));
    m.aveCharWidth = std::int32_t(std::lround(f.face->aveCharWidth * f.emPx / ax));
    return m;
}

void QtDeviceContext::setTransparentText() {
    state_.transparent = true;
}
void QtDeviceContext::setOpaqueText() {
    state_.transparent = false;
}

void QtDeviceContext::selectPen(int width) {
    state_.penWidth = std::max(0, width);
    penApplied_ = false;
}

int QtDeviceContext::currentPenWidth() const {
    return state_.penWidth;
}

void QtDeviceContext::applyPen() {
    if (penApplied_ || !painter_) return;
    penApplied_ = true;
    if (state_.penWidth == 0) {
        QPen pen(Qt::black, 0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setCosmetic(true);
        painter_->setPen(pen);
        return;
    }
    // A geometric pen: square caps make frames that meet at a corner or tee close without gaps.
    const double w = state_.penWidth * std::abs(scaleX());
    painter_->setPen(QPen(Qt::black, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
}

void QtDeviceContext::moveTo(int x, int y) {
    state_.curX = x;
    state_.curY = y;
}

void QtDeviceContext::lineTo(int x, int y) {
    if (painter_ && saved_.empty()) {
        // Outside a saved state nothing tells when the drawing ends: draw at once.
        applyPen();
        painter_->drawLine(toDevice(state_.curX, state_.curY), toDevice(x, y));
    } else if (painter_) {
        if (!lines_.isEmpty() && linesPenWidth_ != state_.penWidth) flushLines();
        linesPenWidth_ = state_.penWidth;
        lines_.moveTo(toDevice(state_.curX, state_.curY));
        lines_.lineTo(toDevice(x, y));
    }
    state_.curX = x;
    state_.curY = y;
}

void QtDeviceContext::drawText(const char* text, int len, const Rect& r, unsigned flags) {
    if (!painter_ || !text || len <= 0) return;
    const SizedFont& f = currentFont();
    const auto* s = reinterpret_cast<const unsigned char*>(text);

    const QPointF topLeft = toDevice(r.left, r.top);
    const double baseline = topLeft.y() + f.face->ascent * f.emPx;

    applyPen();  // text takes the pen's colour
    const bool clip = !(flags & kDtNoClip);
    if (clip || !state_.transparent) flush();  // keep the order where it can show
    if (clip) {
        painter_->save();
        painter_->setClipRect(QRectF(topLeft, toDevice(r.right, r.bottom)).normalized(),
                              Qt::IntersectClip);
    }
    if (!state_.transparent) {
        double x = 0;
        for (int i = 0; i < len; ++i) x += f.face->advance[s[i]] * f.emPx;
        const double h = (f.face->ascent + f.face->descent) * f.emPx;
        painter_->fillRect(QRectF(topLeft.x(), topLeft.y(), x, h), Qt::white);
    }

    bool fast = glyphRuns_ && f.raw.isValid();
    if (fast && f.face->anyMissing)
        for (int i = 0; i < len && fast; ++i) fast = !f.face->missing[s[i]];
    if (fast)
        drawFast(f, s, len, topLeft.x(), baseline);
    else
        drawSlow(f, s, len, topLeft.x(), baseline);
    if (clip) painter_->restore();
}

void QtDeviceContext::drawFast(const SizedFont& f, const unsigned char* s, int n, double left,
                               double baseline) {
    // Fonts outlive the batches only while the cache keeps them: one batch per realised font.
    Batch& batch = batchFor(f);
    double x = 0;
    const double em = f.emPx;
    for (int i = 0; i < n; ++i) {
        const unsigned char c = s[i];
        if (c != ' ') {
            batch.glyphs.push_back(f.face->glyph[c]);
            batch.positions.emplace_back(left + x, baseline);
        }
        x += f.face->advance[c] * em;
    }
    pending_ = pending_ || !batch.glyphs.empty();
    // The decoration spans the whole run, blanks included, as the old text output drew it.
    if ((f.underline || f.strikeOut) && x > 0) {
        const double thick = std::max(1.0, em / 14.0);
        const QColor ink = Qt::black;
        if (f.underline)
            painter_->fillRect(QRectF(left, baseline + std::max(1.0, em * 0.1), x, thick), ink);
        if (f.strikeOut) painter_->fillRect(QRectF(left, baseline - em * 0.28, x, thick), ink);
    }
}

void QtDeviceContext::drawSlow(const SizedFont& f, const unsigned char* s, int n, double left,
                               double baseline) {
    QFont font = f.deviceFont;
    const QPaintDevice* dev = painter_->device();
    const double dpi = dev && dev->logicalDpiY() > 0 ? dev->logicalDpiY() : 72.0;
    font.setPointSizeF(std::max(0.01, f.emPx * 72.0 / dpi));
    painter_->setFont(font);
    const char16_t* uni = ansiToUnicodeTable();
    textBuffer_.resize(n);
    QChar* out = textBuffer_.data();
    for (int i = 0; i < n; ++i) out[i] = QChar(uni[s[i]] < 0x20 ? u' ' : uni[s[i]]);
    painter_->drawText(QPointF(left, baseline), textBuffer_);
}

void QtDeviceContext::stretchImage(int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                                   const ImageView& image) {
    if (!painter_ || !image.pixels || image.width <= 0 || image.height <= 0) return;
    flush();  // a picture covers the text drawn before it
    const QImage img(reinterpret_cast<const uchar*>(image.pixels), image.width, image.height,
                     image.width * 4, QImage::Format_ARGB32);
    const QPointF a = toDevice(dx, dy);
    const QPointF b = toDevice(double(dx) + dw, double(dy) + dh);
    const QRectF source(sx, sy, sw, sh);
    // Device y grows downward: a destination whose far corner lies below its origin is upright.
    const bool flipX = b.x() < a.x(), flipY = b.y() < a.y();
    const QRectF target = QRectF(a, b).normalized();
    if (!flipX && !flipY) {
        painter_->drawImage(target, img, source);
        return;
    }
    painter_->save();
    painter_->translate(target.center());
    painter_->scale(flipX ? -1 : 1, flipY ? -1 : 1);
    painter_->drawImage(
        QRectF(-target.width() / 2, -target.height() / 2, target.width(), target.height()), img,
        source);
    painter_->restore();
}

}  // namespace folvek

namespace folvek {

void QtDeviceContext::drawBitmap(int dx, int dy, int dw, int dh, const BitmapView& b) {
    if (!painter_ || !b.bits || b.width <= 0 || b.height <= 0 || b.rowBytes < (b.width + 7) / 8)
        return;
    flush();  // a picture lies over what was drawn before it
    // Format_Mono reads the most significant bit first, as the job's rows are; index 1 is ink
    // and index 0 lets the page show through.
    QImage img(b.bits, b.width, b.height, b.rowBytes, QImage::Format_Mono);
    img.setColorTable({qRgba(255, 255, 255, 0), qRgba(0, 0, 0, 255)});
    const QRectF target =
        QRectF(toDevice(dx, dy), toDevice(double(dx) + dw, double(dy) + dh)).normalized();
    if (target.isEmpty()) return;
    // Shrunk pictures are averaged to grey rather than losing dots; enlarged ones keep their
    // dots sharp.
    const bool shrunk = target.width() < b.width || target.height() < b.height;
    painter_->save();
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, shrunk);
    painter_->drawImage(target, img);
    painter_->restore();
}

void QtDeviceContext::fillRect(const Rect& r) {
    if (!painter_) return;
    flushLines();
    const QRectF box = QRectF(toDevice(r.left, r.top), toDevice(r.right, r.bottom)).normalized();
    painter_->fillRect(box, Qt::black);
}

void QtDeviceContext::drawCells(const char* text, int len, int x, int y, double advance) {
    if (!painter_ || !text || len <= 0 || advance <= 0) return;
    const SizedFont& f = currentFont();
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    const double natural = f.face->advance[static_cast<unsigned char>('0')] * f.emPx;
    const double step = advance * std::abs(scaleX());
    if (natural <= 0 || step <= 0) return;
    const double stretch = step / natural;
    const QPointF topLeft = toDevice(x, y);
    const double baseline = topLeft.y();
    flush();  // the stretched text goes straight to the painter; keep the order
    applyPen();
    painter_->save();
    painter_->translate(topLeft.x(), baseline);
    painter_->scale(stretch, 1.0);
    bool fast = glyphRuns_ && f.raw.isValid();
    if (fast && f.face->anyMissing)
        for (int i = 0; i < len && fast; ++i) fast = !f.face->missing[s[i]];
    if (fast) {
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions;
        glyphs.reserve(std::size_t(len));
        positions.reserve(std::size_t(len));
        for (int i = 0; i < len; ++i) {
            if (s[i] == ' ' || s[i] < 0x20) continue;
            glyphs.push_back(f.face->glyph[s[i]]);
            positions.emplace_back(i * natural, 0.0);
        }
        if (!glyphs.empty()) {
            QGlyphRun run;
            run.setRawFont(f.raw);
            run.setRawData(glyphs.data(), positions.data(), int(glyphs.size()));
            painter_->drawGlyphRun(QPointF(0, 0), run);
        }
    } else {
        QFont font = f.deviceFont;
        const QPaintDevice* dev = painter_->device();
        const double dpi = dev && dev->logicalDpiY() > 0 ? dev->logicalDpiY() : 72.0;
        font.setPointSizeF(std::max(0.01, f.emPx * 72.0 / dpi));
        painter_->setFont(font);
        const char16_t* uni = ansiToUnicodeTable();
        for (int i = 0; i < len; ++i) {
            if (s[i] == ' ' || s[i] < 0x20) continue;
            painter_->drawText(QPointF(i * natural, 0.0), QString(QChar(uni[s[i]])));
        }
    }
    const double width = len * natural;
    const double em = f.emPx;
    const double thick = std::max(1.0, em / 14.0);
    if (f.underline)
        painter_->fillRect(QRectF(0, std::max(1.0, em * 0.1), width, thick), Qt::black);
    if (f.strikeOut) painter_->fillRect(QRectF(0, -em * 0.28, width, thick), Qt::black);
    painter_->restore();
}

}  // namespace folvek
