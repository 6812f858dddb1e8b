// The PCL XL reader's operators. Positions are in the session's user units from the page
// origin, which starts at the paper's top-left corner; the drivers' page images start there.
#include "pclxl_reader.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace folvek::printer {
namespace {

// Attribute ids.
enum : std::uint8_t {
    aPaletteDepth = 0x02,
    aColorSpace = 0x03,
    aNullBrush = 0x04,
    aNullPen = 0x05,
    aPaletteData = 0x06,
    aGrayLevel = 0x09,
    aRgbColor = 0x0b,
    aMediaSize = 0x25,
    aOrientation = 0x28,
    aPageAngle = 0x29,
    aPageOrigin = 0x2a,
    aCustomMediaSize = 0x2f,
    aCustomMediaSizeUnits = 0x30,
    aBoundingBox = 0x42,
    aEndPoint = 0x45,
    aFillMode = 0x46,
    aPenWidth = 0x4b,
    aPoint = 0x4c,
    aNumberOfPoints = 0x4d,
    aPointType = 0x50,
    aControlPoint1 = 0x51,
    aControlPoint2 = 0x52,
    aColorDepth = 0x62,
    aBlockHeight = 0x63,
    aColorMapping = 0x64,
    aCompressMode = 0x65,
    aDestinationSize = 0x67,
    aSourceHeight = 0x6b,
    aSourceWidth = 0x6c,
    aStartLine = 0x6d,
    aPadBytesMultiple = 0x6e,
    aMeasure = 0x86,
    aUnitsPerMeasure = 0x89,
};

// Operators.
enum : std::uint8_t {
    oBeginSession = 0x41,
    oBeginPage = 0x43,
    oEndPage = 0x44,
    oPopGS = 0x60,
    oPushGS = 0x61,
    oSetBrushSource = 0x63,
    oSetColorSpace = 0x6a,
    oSetCursor = 0x6b,
    oSetCursorRel = 0x6c,
    oSetFillMode = 0x6e,
    oSetPageOrigin = 0x75,
    oSetPageRotation = 0x76,
    oSetPenSource = 0x79,
    oSetPenWidth = 0x7a,
    oCloseSubPath = 0x84,
    oNewPath = 0x85,
    oPaintPath = 0x86,
    oBezierPath = 0x93,
    oBezierRelPath = 0x95,
    oLinePath = 0x9b,
    oLineRelPath = 0x9d,
    oRectangle = 0xa0,
    oRectanglePath = 0xa1,
    oText = 0xa8,
    oTextPath = 0xa9,
    oBeginImage = 0xb0,
    oReadImage = 0xb1,
    oEndImage = 0xb2,
};

constexpr JobUnits inches(double in) {
    return static_cast<JobUnits>(in * kUnitsPerInch + 0.5);
}
constexpr JobUnits mm(double millimetres) {
    return static_cast<JobUnits>(millimetres * kUnitsPerInch / 25.4 + 0.5);
}

struct Media {
    int id;
    const char* name;
    JobUnits width, height;  // portrait
};

constexpr Media kMedia[] = {
    {0, "LETTER", inches(8.5), inches(11)},
    {1, "LEGAL", inches(8.5), inches(14)},
    {2, "A4", mm(210), mm(297)},
    {3, "EXEC", inches(7.25), inches(10.5)},
    {4, "LEDGER", inches(11), inches(17)},
    {5, "A3", mm(297), mm(420)},
    {6, "COM10", inches(4.125), inches(9.5)},
    {7, "MONARCH", inches(3.875), inches(7.5)},
    {8, "C5", mm(162), mm(229)},
    {9, "DL", mm(110), mm(220)},
    {10, "JB4", mm(257), mm(364)},
    {11, "JB5", mm(182), mm(257)},
    {12, "B5", mm(176), mm(250)},
    {14, "JPOSTCARD", mm(100), mm(148)},
    {15, "JDOUBLEPOSTCARD", mm(200), mm(148)},
    {16, "A5", mm(148), mm(210)},
    {17, "A6", mm(105), mm(148)},
    {18, "JB6", mm(128), mm(182)},
};

// A nesting of PushGS deeper than this is a loop, not a page.
constexpr std::size_t kMaxSavedStates = 64;

}  // namespace

PxlReader::PxlReader(JobDocument& document, const JobOptions& options)
    : document_(document), builder_(document, options), image_(builder_) {
    document_.language = JobLanguage::PclXl;
    builder_.setPageSize(mm(210), mm(297));
}

void PxlReader::run(std::string_view job) {
    std::size_t at = pxlFindStream(job);
    while (at != std::string_view::npos && !builder_.pageLimitReached()) {
        const std::size_t stop = stream(job, at);
        // After a universal exit another stream may follow its job-language lines.
        const std::size_t next = stop < job.size() ? pxlFindStream(job.substr(stop)) : stop;
        if (stop >= job.size() || next == std::string_view::npos) break;
        at = stop + next;
    }
    if (inPage_) endPage();
    builder_.finish();
}

std::size_t PxlReader::stream(std::string_view job, std::size_t header) {
    char binding = 0;
    const std::size_t length = pxlStreamHeader(job, header, binding);
    if (binding != ')') {
        builder_.warn("a PCL XL stream in a binding other than binary little-endian was not read");
        return job.size();
    }
    PxlStream s(job, header + length);
    for (;;) {
        if (builder_.pageLimitReached()) return job.size();
        const PxlToken t = s.next();
        switch (t.kind) {
            case PxlTokenKind::Operator:
                perform(t.op, s);
                break;
            case PxlTokenKind::Data:
                data(t.data);
                break;
            case PxlTokenKind::End:
                return s.position();
            case PxlTokenKind::Error:
                builder_.warn(t.message);
                return job.size();
        }
    }
}

void PxlReader::perform(std::uint8_t op, const PxlStream& s) {
    dataOp_ = op;
    switch (op) {
        case oBeginSession:
            beginSession(s);
            break;
        case oBeginPage:
            beginPage(s);
            break;
        case oEndPage:
            endPage();
            break;
        case oSetColorSpace:
            setColorSpace(s);
            break;
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
        case oTextPath:
            builder_.warn("text in PCL XL fonts was not printed");
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
        case oBeginImage:
            beginImage(s);
            break;
        case oReadImage:
            startLine_ = s.attr(aStartLine).present()
                             ? static_cast<std::int64_t>(s.attr(aStartLine).number())
                             : -1;
            blockHeight_ = static_cast<std::int64_t>(s.attr(aBlockHeight).number());
            compression_ = static_cast<int>(s.attr(aCompressMode).number());
            padBytes_ = s.attr(aPadBytesMultiple).present()
                            ? static_cast<int>(s.attr(aPadBytesMultiple).number())
                            : 4;
            break;
        case oEndImage:
            image_.end();
            break;
        default:
            break;  // sessions, data sources, fonts, patterns, clipping: nothing to draw
    }
}

void PxlReader::data(std::string_view bytes) {
    if (dataOp_ == oReadImage)
        image_.block(startLine_, blockHeight_, compression_, padBytes_, bytes);
    else if (pointCount_ > 0)
        pathPoints(bytes);
    pointCount_ = 0;
    dataOp_ = 0;  // a block belongs to one operator
}

void PxlReader::beginSession(const PxlStream& s) {
    const PxlValue& u = s.attr(aUnitsPerMeasure);
    double perInch = 1;
    switch (static_cast<int>(s.attr(aMeasure).number())) {
        case 1:
            perInch = 25.4;
            break;
        case 2:
            perInch = 254;
            break;
        default:
            break;
    }
    if (u.present() && u.v[0] > 0 && u.v[1] > 0) {
        scaleX_ = kUnitsPerInch / (u.v[0] * perInch);
        scaleY_ = kUnitsPerInch / (u.v[1] * perInch);
    }
    // Paths are drawn at the session's own resolution when it is a printer's, else at 300.
    const double dpi = u.present() ? u.v[0] * perInch : 300;
    dpi_ = u.present() && u.v[0] == u.v[1] && dpi == std::floor(dpi) && dpi >= 72 && dpi <= 1200
               ? static_cast<std::int32_t>(dpi)
               : 300;
}

void PxlReader::beginPage(const PxlStream& s) {
    if (inPage_) endPage();
    inPage_ = true;
    JobUnits w = mm(210), h = mm(297);
    const PxlValue& size = s.attr(aMediaSize);
    const PxlValue& custom = s.attr(aCustomMediaSize);
    bool known = !size.present() && !custom.present();
    if (custom.present() && custom.shape == PxlValue::Shape::Xy) {
        const int units = static_cast<int>(s.attr(aCustomMediaSizeUnits).number());
        const double perInch = units == 1 ? 25.4 : units == 2 ? 254 : 1;
        const double cw = custom.v[0] / perInch * kUnitsPerInch;
        const double ch = custom.v[1] / perInch * kUnitsPerInch;
        if (cw >= kUnitsPerInch / 4 && ch >= kUnitsPerInch / 4 && cw <= 100.0 * kUnitsPerInch &&
            ch <= 100.0 * kUnitsPerInch) {
            w = static_cast<JobUnits>(cw);
            h = static_cast<JobUnits>(ch);
            known = true;
        }
    }
    if (size.present()) {
        std::string name;
        for (std::uint32_t i = 0; size.shape == PxlValue::Shape::Array && i < size.count; ++i)
            name += static_cast<char>(std::toupper(static_cast<int>(size.at(i)) & 0x7f));
        for (const Media& m : kMedia) {
            if ((name.empty() && m.id == static_cast<int>(size.number())) ||
                (!name.empty() && name.starts_with(m.name))) {
                w = m.width;
                h = m.height;
                known = true;
                break;
            }
        }
    }
    if (!known) builder_.warn("a PCL XL page on unknown paper was printed on A4");
    const int orientation = static_cast<int>(s.attr(aOrientation).number());
    if (orientation == 1 || orientation == 3) std::swap(w, h);
    builder_.setPageSize(w, h);
    originX_ = originY_ = 0;
    cursorX_ = cursorY_ = 0;
    path_.clear();
    evenOdd_ = false;
    gs_ = GraphicsState{};
    saved_.clear();
}

void PxlReader::endPage() {
    image_.end();
    if (!inPage_) return;
    inPage_ = false;
    builder_.endPage();
}

void PxlReader::setColorSpace(const PxlStream& s) {
    const int space = static_cast<int>(s.attr(aColorSpace).number());
    gs_.colors.channels = space == 2 || space == 6 ? 3 : 1;
    gs_.colors.palette.clear();
    const PxlValue& p = s.attr(aPaletteData);
    if (p.shape != PxlValue::Shape::Array) return;
    const auto channels = static_cast<std::uint32_t>(gs_.colors.channels);
    for (std::uint32_t i = 0; i + channels <= p.count && i < 256 * channels; i += channels) {
        if (channels == 1) {
            gs_.colors.palette.push_back(static_cast<int>(p.at(i)));
        } else {
            const double y = p.at(i) * 0.30 + p.at(i + 1) * 0.59 + p.at(i + 2) * 0.11;
            gs_.colors.palette.push_back(static_cast<int>(y));
        }
    }
}

void PxlReader::beginImage(const PxlStream& s) {
    PxlImageHeader h;
    h.x = static_cast<JobUnits>(std::lround(originX_ + cursorX_ * scaleX_));
    h.y = static_cast<JobUnits>(std::lround(originY_ + cursorY_ * scaleY_));
    h.sourceWidth = static_cast<std::int64_t>(s.attr(aSourceWidth).number());
    h.sourceHeight = static_cast<std::int64_t>(s.attr(aSourceHeight).number());
    const PxlValue& dest = s.attr(aDestinationSize);
    h.destWidth = dest.present() ? dest.v[0] * scaleX_ : 0;
    h.destHeight = dest.present() ? dest.v[1] * scaleY_ : 0;
    const int depth = static_cast<int>(s.attr(aColorDepth).number());
    h.bits = depth == 0 ? 1 : depth == 1 ? 4 : depth == 2 ? 8 : 0;
    h.indexed = static_cast<int>(s.attr(aColorMapping).number()) == 1;
    if (image_.begin(h, gs_.colors)) document_.features.graphics = true;
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

void PxlReader::paintPath() {
    if (path_.empty()) return;
    if (gs_.brushInk) path_.fill(builder_, evenOdd_, dpi_);
    if (gs_.penInk && gs_.penWidth > 0) path_.stroke(builder_, gs_.penWidth * scaleX_, dpi_);
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
        const double k = rgb.type == 5 ? 255 : 1;
        return (rgb.at(0) * 0.30 + rgb.at(1) * 0.59 + rgb.at(2) * 0.11) * k < 128;
    }
    return current;
}

}  // namespace folvek::printer
