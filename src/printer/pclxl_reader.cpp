// The PCL XL reader: its streams, sessions, pages with their paper and orientation, the color
// space and images. Positions are in the session's user units from the page origin, which
// starts at the paper's top-left corner, where the drivers' page images start.
#include "pclxl_reader.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "pclxl_ids.h"

namespace folvek::printer {
using namespace pxl;
namespace {

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

}  // namespace

PxlReader::PxlReader(JobDocument& document, const JobOptions& options)
    : document_(document), builder_(document, options), image_(builder_), fonts_(builder_) {
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
        case oBeginFontHeader:
        case oEndFontHeader:
        case oBeginChar:
        case oReadChar:
        case oSetFont:
            fontOperator(op, s);
            break;
        default:
            draw(op, s);
            break;
    }
}

void PxlReader::data(std::string_view bytes) {
    if (dataOp_ == oReadImage)
        image_.block(startLine_, blockHeight_, compression_, padBytes_, bytes);
    else if (dataOp_ == oReadFontHeader)
        fonts_.headerData(bytes);
    else if (dataOp_ == oReadChar)
        fonts_.readChar(charCode_, bytes);
    else if (pointCount_ > 0)
        pathPoints(bytes);
    pointCount_ = 0;
    dataOp_ = 0;  // a block belongs to one operator
}

void PxlReader::fontOperator(std::uint8_t op, const PxlStream& s) {
    std::string name;
    const PxlValue& n = s.attr(aFontName);
    for (std::uint32_t i = 0; n.shape == PxlValue::Shape::Array && i < n.count; ++i)
        name += static_cast<char>(static_cast<int>(n.at(i)));
    switch (op) {
        case oBeginFontHeader:
            fonts_.beginHeader(std::move(name));
            break;
        case oEndFontHeader:
            fonts_.endHeader();
            break;
        case oBeginChar:
            fonts_.beginChars(std::move(name));
            break;
        case oReadChar:
            charCode_ = static_cast<std::uint32_t>(std::max(0.0, s.attr(aCharCode).number()));
            break;
        default:
            if (n.present()) fonts_.setFont(name);
            break;
    }
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
    paintWork_ = kPaintWorkPerPage;
    fonts_.newPage();
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
    h.deviceDpi = dpi_;
    if (image_.begin(h, gs_.colors)) document_.features.graphics = true;
}

}  // namespace folvek::printer
