// The PCL 5 reader's main loop, its text and control codes and the cursor. Positions follow the
// PCL coordinate system: x from the logical page's left edge, y from its top, with absolute
// vertical moves measured from the top margin and text standing on its baseline at the cursor.
#include "pcl_interpreter.h"

#include <algorithm>
#include <cmath>

namespace folvek::printer {
namespace {

constexpr JobUnits kHalfInch = kUnitsPerInch / 2;
// A request this far beyond the logical page is worth a warning, not just the clamp every
// printer applies.
constexpr std::int64_t kFarOff = kUnitsPerInch / 2;

}  // namespace

PclInterpreter::PclInterpreter(JobDocument& document, const JobOptions& options)
    : document_(document), options_(options), builder_(document, options), raster_(builder_) {
    document_.language = JobLanguage::Pcl5;
    reset();
}

void PclInterpreter::run(std::string_view job) {
    PclScanner scanner(job);
    // A job that starts in PCL XL (a PCL 6 driver's stream header) holds nothing for us.
    if (job.substr(0, 11) == ") HP-PCL XL") {
        builder_.warn("the job is in PCL XL, which is not read; its pages are left out");
        scanner.skipToUniversalExit();
    }
    // Job-language lines may open a job without the exit before them.
    if (job.substr(0, 4) == "@PJL") jobLanguage(scanner);
    execute(scanner, job);
    endRaster();
    if (!builder_.pageEmpty()) applyOverlay();
    builder_.finish();
}

void PclInterpreter::execute(PclScanner& scanner, std::string_view source) {
    PclCommand c;
    for (;;) {
        const std::size_t at = scanner.position();
        if (builder_.pageLimitReached() || !scanner.next(c)) break;
        const bool macroCommand =
            c.kind == PclCommand::Kind::Field && c.byte == '&' && c.group == 'f' && c.param == 'X';
        if (defining_) {  // a macro's body is kept, not printed, up to ESC &f1X
            if (macroCommand && c.intValue() == 1) {
                defining_ = false;
                const std::string_view body = source.substr(defineStart_, at - defineStart_);
                if (macroBytes_ + body.size() > kMaxMacroBytes) {
                    builder_.warn("macros beyond the memory a job may take were left out");
                } else {
                    Macro& m = macros_[macroId_];
                    macroBytes_ += body.size() - std::min(macroBytes_, m.body.size());
                    m.body = std::string(body);
                }
            }
            continue;
        }
        if (macroCommand) {
            if (c.intValue() == 0 && macroDepth_ == 0) {
                defining_ = true;
                defineStart_ = scanner.position();
            } else {
                macroControl(c.intValue());
            }
            continue;
        }
        switch (c.kind) {
            case PclCommand::Kind::Text:
                text(c.byte);
                break;
            case PclCommand::Kind::Escape:
                if (c.byte != 'E' || macroDepth_ == 0) escape(c.byte);  // no reset in a macro
                break;
            case PclCommand::Kind::Field:
                if (c.dataCut)
                    builder_.warn("data that a command announced ran past the job's end");
                if (c.byte == '%') {
                    if (c.param == 'X' && c.value == -12345) {
                        if (macroDepth_ == 0) universalExit(scanner);
                    } else if (c.param == 'B') {
                        endRaster();
                        builder_.warn("HP-GL/2 drawings in the job are not drawn");
                        scanner.skipHpgl();
                    }
                    break;
                }
                field(c);
                break;
        }
    }
    if (defining_ && macroDepth_ == 0) {
        defining_ = false;
        builder_.warn("a macro the job did not finish was left out");
    }
}

// A universal exit ends a job: the printer resets and reads the job-language lines.
void PclInterpreter::universalExit(PclScanner& scanner) {
    ejectIfMarked();
    reset();
    jobLanguage(scanner);
}

// Job-language lines are skipped, and so is a part written in another language.
void PclInterpreter::jobLanguage(PclScanner& scanner) {
    for (;;) {
        const std::string_view language = scanner.skipJobLanguage();
        if (language.empty()) return;
        builder_.warn("a part of the job in " + std::string(language) +
                      " is not read; its pages are left out");
        scanner.skipToUniversalExit();
        PclCommand exit;
        if (!scanner.next(exit)) return;  // the exit itself
    }
}

void PclInterpreter::reset() {
    endRaster();
    if (!pclPaperForSize(pageSize_ = 26, paper_)) paper_ = pclDefaultPaper();
    orientation_ = 0;
    registerLeft_ = registerTop_ = 0;
    for (auto& f : fonts_) f = PclFont{};
    active_ = 0;
    underline_ = false;
    lineTermination_ = 0;
    perforationSkip_ = true;
    wrap_ = false;
    unitsPerInch_ = 300;
    rectWidth_ = rectHeight_ = 0;
    patternId_ = 0;
    raster_.resetSettings();
    softFonts_.reset();
    for (auto m = macros_.begin(); m != macros_.end();) {
        if (m->second.permanent) {
            ++m;
            continue;
        }
        macroBytes_ -= std::min(macroBytes_, m->second.body.size());
        m = macros_.erase(m);
    }
    overlayId_ = -1;
    vmi_ = kUnitsPerInch / 6;
    fontChanged(0);
    stack_.clear();
    resetPage();
}

void PclInterpreter::resetPage() {
    geometry_ = pclGeometry(paper_, orientation_);
    builder_.setPageSize(geometry_.paperWidth, geometry_.paperHeight);
    topMargin_ = geometry_.logicalHeight >= kHalfInch ? kHalfInch : 0;
    textLength_ = std::max<JobUnits>(0, geometry_.logicalHeight - topMargin_ - kHalfInch);
    leftMargin_ = 0;
    rightMargin_ = geometry_.logicalWidth;
    x_ = 0;
    home();
}

void PclInterpreter::home() {
    y_ = topMargin_ + vmi_ * 3 / 4;
    floating_ = true;
}

void PclInterpreter::ejectPage() {
    if (inOverlay_) return;  // an overlay draws on the page being ejected, it ejects nothing
    applyOverlay();
    raster_.flush();
    builder_.endPage();
    home();
}

void PclInterpreter::ejectIfMarked() {
    raster_.flush();
    if (!builder_.pageEmpty()) ejectPage();
}

void PclInterpreter::endRaster() {
    if (!raster_.active()) return;
    const JobUnits y = raster_.end();
    y_ = std::clamp<std::int64_t>(y - registerTop_, 0, geometry_.logicalHeight);
    x_ = std::clamp<std::int64_t>(raster_.left() - geometry_.logicalLeft - registerLeft_, 0,
                                  geometry_.logicalWidth);
}

JobUnits PclInterpreter::sheetX(std::int64_t x) const {
    return static_cast<JobUnits>(x + geometry_.logicalLeft + registerLeft_);
}

JobUnits PclInterpreter::sheetY(std::int64_t y) const {
    return static_cast<JobUnits>(y + registerTop_);
}

void PclInterpreter::text(unsigned char b) {
    switch (b) {
        case 0x0D:
            carriageReturn();
            if (lineTermination_ & 1) lineFeed();
            return;
        case 0x0A:
            if (lineTermination_ & 2) carriageReturn();
            lineFeed();
            return;
        case 0x0C:
            if (lineTermination_ & 2) carriageReturn();
            formFeed();
            return;
        case 0x08:
            backspace();
            return;
        case 0x09:
            horizontalTab();
            return;
        case 0x0E:
            active_ = 1;
            fontChanged(1);
            return;
        case 0x0F:
            active_ = 0;
            fontChanged(0);
            return;
        default:
            break;
    }
    if (const PclSoftFont* soft = softFont()) {
        endRaster();
        printGlyph(*soft, b);
        return;
    }
    if (b < 0x20 || b == 0x7F) return;  // other control codes print nothing
    endRaster();
    printChar(toUnicode(tableOf(activeFont()), b));
}

const PclSoftFont* PclInterpreter::softFont() {
    const int id = activeFont().softFont;
    return id < 0 ? nullptr : softFonts_.find(id);
}

// A downloaded glyph is printed as its dots, the reference point at the cursor's baseline.
void PclInterpreter::printGlyph(const PclSoftFont& font, unsigned char code) {
    const auto it = font.glyphs.find(code);
    const PclGlyph* g = it == font.glyphs.end() ? nullptr : &it->second;
    const JobUnits advance = font.proportional ? pclSoftAdvance(font, g) : hmi_;
    if (wrap_ && x_ > leftMargin_ && x_ + advance > rightMargin_) {
        carriageReturn();
        lineFeed();
    }
    if (g && x_ < geometry_.logicalWidth) {
        const JobUnits dot = kUnitsPerInch / font.dpi;
        builder_.addDots(sheetX(x_ + std::int64_t{g->left} * dot),
                         sheetY(y_ - std::int64_t{g->top} * dot), font.dpi, font.dpi, g->width,
                         g->height, g->rowBytes, g->bits.data());
        document_.features.graphics = true;
    }
    floating_ = false;
    x_ = std::min<std::int64_t>(x_ + advance, geometry_.logicalWidth);
}

void PclInterpreter::printChar(char32_t c) {
    const JobUnits advance = hmi_;
    if (wrap_ && x_ > leftMargin_ && x_ + advance > rightMargin_) {
        carriageReturn();
        lineFeed();
    }
    if (x_ < geometry_.logicalWidth && c != U' ') {
        const PclFont& font = activeFont();
        const JobUnits height = pclFontHeight(font);
        std::uint16_t style = pclFontStyle(font);
        if (underline_) style |= kJobUnderline;
        if (firstAdvance_ == 0) {
            firstAdvance_ = advance;
            firstHeight_ = height;
        } else if (advance != firstAdvance_ || height != firstHeight_) {
            document_.features.widthsMixed = true;
        }
        builder_.addChar(sheetX(x_), sheetY(y_), advance, height, style, c);
    } else if (c == U' ' && underline_ && x_ < geometry_.logicalWidth) {
        // Underlining goes on under the spaces between words.
        builder_.addChar(sheetX(x_), sheetY(y_), advance, pclFontHeight(activeFont()),
                         pclFontStyle(activeFont()) | kJobUnderline, c);
    }
    floating_ = false;
    x_ = std::min<std::int64_t>(x_ + advance, geometry_.logicalWidth);
}

void PclInterpreter::escape(unsigned char c) {
    switch (c) {
        case 'E':
            ejectIfMarked();
            reset();
            break;
        case '=':  // half line feed
            positioned();
            moveY(vmi_ / 2.0, true);
            break;
        case '9':  // clear the side margins
            leftMargin_ = 0;
            rightMargin_ = geometry_.logicalWidth;
            break;
        default:  // display functions, self test: nothing to print
            break;
    }
}

void PclInterpreter::carriageReturn() {
    x_ = leftMargin_;
}

void PclInterpreter::lineFeed() {
    endRaster();
    y_ += vmi_;
    floating_ = false;
    const bool pastText = perforationSkip_ && y_ > std::int64_t{topMargin_} + textLength_;
    if (pastText || y_ > geometry_.logicalHeight) ejectPage();
}

void PclInterpreter::formFeed() {
    endRaster();
    ejectPage();
}

void PclInterpreter::horizontalTab() {
    // Tab stops stand every eight columns from the left margin.
    const std::int64_t stop = std::int64_t{hmi_} * 8;
    if (stop <= 0) return;
    const std::int64_t from = std::max<std::int64_t>(x_ - leftMargin_, 0);
    x_ = std::min<std::int64_t>(leftMargin_ + (from / stop + 1) * stop, geometry_.logicalWidth);
    floating_ = false;
}

void PclInterpreter::backspace() {
    if (x_ > leftMargin_) x_ = std::max<std::int64_t>(x_ - hmi_, leftMargin_);
}

void PclInterpreter::moveX(double units, bool relative) {
    endRaster();
    positioned();
    const double wanted = (relative ? static_cast<double>(x_) : 0.0) + units;
    const double limit = geometry_.logicalWidth;
    if (wanted < -kFarOff || wanted > limit + kFarOff)
        builder_.warn("cursor moves beyond the page were stopped at its edge");
    x_ = static_cast<std::int64_t>(std::llround(std::clamp(wanted, 0.0, limit)));
    floating_ = false;
}

void PclInterpreter::moveY(double units, bool relative) {
    endRaster();
    positioned();
    const double wanted = (relative ? static_cast<double>(y_) : topMargin_) + units;
    const double limit = geometry_.logicalHeight;
    if (wanted < -kFarOff || wanted > limit + kFarOff)
        builder_.warn("cursor moves beyond the page were stopped at its edge");
    y_ = static_cast<std::int64_t>(std::llround(std::clamp(wanted, 0.0, limit)));
    floating_ = false;
}

// A new font (selected, changed, or switched to by SI and SO) brings its own spacing.
void PclInterpreter::fontChanged(int which) {
    if (which != active_) return;
    const PclSoftFont* soft = softFont();
    hmi_ = roundToUnit(soft ? pclSoftAdvance(*soft, nullptr) : pclFontAdvance(fonts_[active_]));
}

CharTable PclInterpreter::tableOf(const PclFont& font) const {
    if (font.symbolSet == 0) return options_.charTable;
    return pclCharTable(font.symbolSet, options_.charTable);
}

// Printers keep spacing in whole PCL units: at 300 units, 16.67 pitch is 18 dots exactly.
JobUnits PclInterpreter::roundToUnit(double units) const {
    const double unit = static_cast<double>(kUnitsPerInch) / unitsPerInch_;
    return static_cast<JobUnits>(std::lround(units / unit) * unit);
}

JobDocument interpretPcl(std::string_view job, const JobOptions& options) {
    JobDocument document;
    PclInterpreter(document, options).run(job);
    return document;
}

}  // namespace folvek::printer
