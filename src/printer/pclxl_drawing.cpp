// The PCL XL reader's drawing operators: the cursor, the graphics state (brush, pen, fill
// rule), paths and rectangles. Text and the curves we do not draw leave one warning each.
#include <algorithm>
#include <cmath>

#include "pclxl_ids.h"
#include "pclxl_reader.h"

namespace folvek::printer {
using namespace pxl;
namespace {

// A nesting of PushGS deeper than this is a loop, not a page.
constexpr std::size_t kMaxSavedStates = 64;

}  // namespace

void PxlReader::draw(std::uint8_t op, const PxlStream& s) {
    switch (op) {
        case oSetCursor:
        case oSetCursorRel:
            if (s.attr(aPoint).present()) {
                const PxlValue& p = s.attr(aPoint);
                cursorX_ = (op == oSetCursorRel ? cursorX_ : 0) + p.v[0];
                cursorY_ = (op == oSetCursorRel ? cursorY_ : 0) + p.v[1];
                path_.moveTo(onPage(cursorX_, cursorY_));
            }
            break;
        case oNewPath:
            path_.clear();
            break;
        case oCloseSubPath:
            path_.close();
            cursorX_ = (path_.current().x - originX_) / scaleX_;
            cursorY_ = (path_.current().y - originY_) / scaleY_;
            break;
        case oLinePath:
        case oLineRelPath:
        case oBezierPath:
        case oBezierRelPath:
        case oRectanglePath:
            pathOperator(op, s);
            break;
        case oSetFillMode:
            evenOdd_ = static_cast<int>(s.attr(aFillMode).number()) == 1;
            break;
        case oPaintPath:
            paintPath();
            break;
        case oSetPageOrigin:
            if (s.attr(aPageOrigin).present()) {
                originX_ += s.attr(aPageOrigin).v[0] * scaleX_;
                originY_ += s.attr(aPageOrigin).v[1] * scaleY_;
            }
            break;
        case oSetPageRotation:
            if (s.attr(aPageAngle).number() != 0)
                builder_.warn("a turned PCL XL page was printed unturned");
            break;
        case oSetBrushSource:
            gs_.brushInk = inkOf(s, gs_.brushInk);
            break;
        case oSetPenSource:
            gs_.penInk = inkOf(s, gs_.penInk);
            break;
        case oSetPenWidth:
            if (s.attr(aPenWidth).present())
                gs_.penWidth = std::max(0.0, s.attr(aPenWidth).number());
            break;
        case oPushGS:
            if (saved_.size() < kMaxSavedStates) saved_.push_back(gs_);
            break;
        case oPopGS:
            if (!saved_.empty()) {
                gs_ = saved_.back();
                saved_.pop_back();
            }
            break;
        case oRectangle:
            rectangle(s);
            break;
        case oText:
            text(s);
            break;
        case oTextPath:
            builder_.warn("text in PCL XL fonts other than bitmaps was not printed");
            break;
        case 0x91:  // ArcPath
        case 0x96:  // Chord
        case 0x97:  // ChordPath
        case 0x98:  // Ellipse
        case 0x99:  // EllipsePath
        case 0x9e:  // Pie
        case 0x9f:  // PiePath
        case 0xa2:  // RoundRectangle
        case 0xa3:  // RoundRectanglePath
        case 0xb6:  // BeginScan
            builder_.warn("PCL XL arcs, ellipses and scan lines were not printed");
            break;
        default:
            break;  // sessions, data sources, fonts, patterns, clipping: nothing to draw
    }
}

// Rectangle: the brush fills the box, the pen draws its outline.
void PxlReader::rectangle(const PxlStream& s) {
    const PxlValue& box = s.attr(aBoundingBox);
    if (box.shape != PxlValue::Shape::Box) return;
    const double x1 = originX_ + std::min(box.v[0], box.v[2]) * scaleX_;
    const double y1 = originY_ + std::min(box.v[1], box.v[3]) * scaleY_;
    const double x2 = originX_ + std::max(box.v[0], box.v[2]) * scaleX_;
    const double y2 = originY_ + std::max(box.v[1], box.v[3]) * scaleY_;
    const auto rule = [this](double x, double y, double w, double h) {
        builder_.addRule(
            static_cast<JobUnits>(std::lround(x)), static_cast<JobUnits>(std::lround(y)),
            static_cast<JobUnits>(std::lround(w)), static_cast<JobUnits>(std::lround(h)));
    };
    if (gs_.brushInk) rule(x1, y1, x2 - x1, y2 - y1);
    if (gs_.penInk && gs_.penWidth > 0) {
        const double pw = gs_.penWidth * scaleX_, ph = gs_.penWidth * scaleY_;
        rule(x1 - pw / 2, y1 - ph / 2, x2 - x1 + pw, ph);
        rule(x1 - pw / 2, y2 - ph / 2, x2 - x1 + pw, ph);
        rule(x1 - pw / 2, y1 - ph / 2, pw, y2 - y1 + ph);
        rule(x2 - pw / 2, y1 - ph / 2, pw, y2 - y1 + ph);
    }
    document_.features.graphics = true;
}

// A path segment from its attributes, or the count and type of the points that follow it as
// data.
void PxlReader::pathOperator(std::uint8_t op, const PxlStream& s) {
    pointCount_ = 0;
    dataOp_ = op;
    if (op == oRectanglePath) {
        const PxlValue& b = s.attr(aBoundingBox);
        if (b.shape != PxlValue::Shape::Box) return;
        path_.moveTo(onPage(b.v[0], b.v[1]));
        path_.lineTo(onPage(b.v[2], b.v[1]));
        path_.lineTo(onPage(b.v[2], b.v[3]));
        path_.lineTo(onPage(b.v[0], b.v[3]));
        path_.close();
        return;
    }
    if (s.attr(aNumberOfPoints).present()) {
        pointCount_ = static_cast<std::int64_t>(s.attr(aNumberOfPoints).number());
        pointType_ = static_cast<int>(s.attr(aPointType).number());
        return;
    }
    const bool relative = op == oLineRelPath || op == oBezierRelPath;
    const double bx = relative ? cursorX_ : 0, by = relative ? cursorY_ : 0;
    const PxlValue& end = s.attr(aEndPoint);
    if (!end.present()) return;
    if (op == oLinePath || op == oLineRelPath) {
        path_.lineTo(onPage(bx + end.v[0], by + end.v[1]));
    } else {
        const PxlValue& c1 = s.attr(aControlPoint1);
        const PxlValue& c2 = s.attr(aControlPoint2);
        path_.curveTo(onPage(bx + c1.v[0], by + c1.v[1]), onPage(bx + c2.v[0], by + c2.v[1]),
                      onPage(bx + end.v[0], by + end.v[1]));
    }
    cursorX_ = bx + end.v[0];
    cursorY_ = by + end.v[1];
}

// Points as data: pairs of ubyte, sbyte, uint16 or sint16 (point types 0 to 3); lines take
// one point a segment, curves three.
void PxlReader::pathPoints(std::string_view bytes) {
    const std::size_t size = pointType_ >= 2 ? 2 : 1;
    const std::size_t have = bytes.size() / (2 * size);
    if (have < static_cast<std::size_t>(pointCount_) || pointType_ < 0 || pointType_ > 3)
        builder_.warn("a PCL XL path had fewer points than it announced");
    const auto value = [&](std::size_t i) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + i * size;
        switch (pointType_) {
            case 1:
                return double(static_cast<signed char>(p[0]));
            case 2:
                return double(p[0] | p[1] << 8);
            case 3:
                return double(static_cast<std::int16_t>(p[0] | p[1] << 8));
            default:
                return double(p[0]);
        }
    };
    const std::size_t n = std::min(have, static_cast<std::size_t>(pointCount_));
    const bool relative = dataOp_ == oLineRelPath || dataOp_ == oBezierRelPath;
    const bool curve = dataOp_ == oBezierPath || dataOp_ == oBezierRelPath;
    for (std::size_t i = 0; i + (curve ? 2 : 0) < n; i += curve ? 3 : 1) {
        const double bx = relative ? cursorX_ : 0, by = relative ? cursorY_ : 0;
        const auto at = [&](std::size_t k) {
            return onPage(bx + value(2 * k), by + value(2 * k + 1));
        };
        const std::size_t last = curve ? i + 2 : i;
        if (curve)
            path_.curveTo(at(i), at(i + 1), at(last));
        else
            path_.lineTo(at(i));
        cursorX_ = bx + value(2 * last);
        cursorY_ = by + value(2 * last + 1);
    }
}

// Text in the current font from the cursor: each character advances by the job's spacing, or
// by its own width when the job gives none.
void PxlReader::text(const PxlStream& s) {
    const PxlValue& t = s.attr(aTextData);
    const PxlValue& xs = s.attr(aXSpacingData);
    const PxlValue& ys = s.attr(aYSpacingData);
    for (std::uint32_t i = 0; t.shape == PxlValue::Shape::Array && i < t.count; ++i) {
        const PxlPath::Point p = onPage(cursorX_, cursorY_);
        const JobUnits w = fonts_.drawChar(static_cast<std::uint32_t>(std::max(0.0, t.at(i))),
                                           static_cast<JobUnits>(std::lround(p.x)),
                                           static_cast<JobUnits>(std::lround(p.y)));
        if (w < 0) {
            builder_.warn("text in PCL XL fonts other than bitmaps was not printed");
            return;
        }
        document_.features.graphics = true;
        cursorX_ += xs.present() ? xs.at(i) : w / scaleX_;
        if (ys.present()) cursorY_ += ys.at(i);
    }
}

void PxlReader::paintPath() {
    if (path_.empty()) return;
    if (gs_.brushInk) path_.fill(builder_, evenOdd_, dpi_, paintWork_);
    if (gs_.penInk && gs_.penWidth > 0)
        path_.stroke(builder_, gs_.penWidth * scaleX_, dpi_, paintWork_);
    document_.features.graphics = true;
}

// The ink a brush or pen source paints: black and dark grays print, white and light ones and
// the null source do not; a pattern prints as ink.
bool PxlReader::inkOf(const PxlStream& s, bool current) {
    if (s.attr(aNullBrush).present() || s.attr(aNullPen).present()) return false;
    const PxlValue& gray = s.attr(aGrayLevel);
    if (gray.present()) return gray.number() * (gray.type == 5 ? 255 : 1) < 128;
    const PxlValue& rgb = s.attr(aRgbColor);
    if (rgb.present()) {
        // Weights in hundredths: in shares of a tenth the sum of byte components comes out a
        // hair off, and a mid gray given as colour (128, 128, 128) printed as black.
        const double k = rgb.type == 5 ? 255 : 1;
        return (rgb.at(0) * 30 + rgb.at(1) * 59 + rgb.at(2) * 11) * k < 12800;
    }
    return current;
}

}  // namespace folvek::printer
