// The parameterized PCL 5 commands: cursor positioning, page control, spacing, fonts and symbol
// sets. Raster graphics and rectangle fills are in pcl_graphics.cpp. Values out of a command's
// range leave the setting as it was, as the printers do.
#include <algorithm>
#include <cmath>
#include <string>

#include "pcl_interpreter.h"

namespace folvek::printer {
namespace {

constexpr JobUnits kDecipoint = kUnitsPerInch / 720;
constexpr double kMaxPageLength = 200.0 * kUnitsPerInch;  // longer forms are no paper

}  // namespace

void PclInterpreter::field(const PclCommand& f) {
    switch (f.byte) {
        case '&':
            fieldAmpersand(f);
            break;
        case '(':
        case ')':
            fieldFont(f, f.byte == '(' ? 0 : 1);
            break;
        case '*':
            fieldStar(f);
            break;
        default:
            break;
    }
}

void PclInterpreter::fieldAmpersand(const PclCommand& f) {
    const double v = f.value;
    switch (f.group) {
        case 'l':
            fieldPageControl(f);
            return;
        case 'a':
            fieldPosition(f);
            return;
        case 'k':
            if (f.param == 'H' && v >= 0) {  // HMI in 1/120 inch
                hmi_ = roundToUnit(std::min(v, 32767.0) * (kUnitsPerInch / 120));
            } else if (f.param == 'S') {  // pitch mode: 10, 16.67 or 12 characters per inch
                const double pitch = v == 2 ? 16.67 : v == 4 ? 12 : v == 0 ? 10 : 0;
                if (pitch > 0) {
                    fonts_[0].pitch = pitch;
                    fontChanged(0);
                }
            } else if (f.param == 'G' && v >= 0 && v <= 3) {
                lineTermination_ = static_cast<int>(v);
            }
            return;
        case 'd':
            if (f.param == 'D') underline_ = true;
            if (f.param == '@') underline_ = false;
            return;
        case 'f':
            if (f.param == 'Y') macroId_ = static_cast<int>(std::clamp(v, 0.0, 32767.0));
            if (f.param == 'S' && v == 0 && stack_.size() < 20) stack_.emplace_back(x_, y_);
            if (f.param == 'S' && v == 1 && !stack_.empty()) {
                endRaster();
                positioned();
                x_ = std::clamp<std::int64_t>(stack_.back().first, 0, geometry_.logicalWidth);
                y_ = std::clamp<std::int64_t>(stack_.back().second, 0, geometry_.logicalHeight);
                stack_.pop_back();
                floating_ = false;
            }
            return;
        case 's':
            if (f.param == 'C') wrap_ = v == 0;
            return;
        case 'u':
            if (f.param == 'D' && v >= 96 && v <= 7200 && v == std::floor(v) &&
                kUnitsPerInch % static_cast<int>(v) == 0)
                unitsPerInch_ = static_cast<int>(v);
            return;
        case 'p':
            // Transparent print data: every byte prints as a character, control codes too.
            if (f.param == 'X') {
                endRaster();
                for (char b : f.data) {
                    const auto byte = static_cast<unsigned char>(b);
                    printChar(byte < 0x20 ? U' ' : toUnicode(tableOf(activeFont()), byte));
                }
            }
            return;
        default:
            return;
    }
}

// ESC &a: cursor moves in columns, rows and decipoints, and the side margins.
void PclInterpreter::fieldPosition(const PclCommand& f) {
    const double v = f.value;
    switch (f.param) {
        case 'C':
            moveX(v * hmi_, f.signedValue);
            return;
        case 'H':
            moveX(v * kDecipoint, f.signedValue);
            return;
        case 'R':
            // A row stands on its baseline, three quarters of a line below its top.
            moveY(v * vmi_ + (f.signedValue ? 0 : vmi_ * 3 / 4), f.signedValue);
            return;
        case 'V':
            moveY(v * kDecipoint, f.signedValue);
            return;
        case 'L': {
            positioned();
            const double left = std::max(0.0, v) * hmi_;
            if (left < rightMargin_) {
                leftMargin_ = static_cast<JobUnits>(left);
                x_ = std::max<std::int64_t>(x_, leftMargin_);
            }
            return;
        }
        case 'M': {
            positioned();
            const double right =
                std::min<double>((std::max(0.0, v) + 1) * hmi_, geometry_.logicalWidth);
            if (right > leftMargin_) {
                rightMargin_ = static_cast<JobUnits>(right);
                x_ = std::min<std::int64_t>(x_, rightMargin_);
            }
            return;
        }
        default:
            return;
    }
}

void PclInterpreter::fieldPageControl(const PclCommand& f) {
    const double v = f.value;
    switch (f.param) {
        case 'A': {  // page size
            PclPaper paper;
            const int size = f.intValue();
            if (!pclPaperForSize(size, paper) || size == pageSize_) return;
            ejectIfMarked();
            pageSize_ = size;
            paper_ = paper;
            resetPage();
            return;
        }
        case 'O':  // orientation
            if (v < 0 || v > 3 || static_cast<int>(v) == orientation_) return;
            ejectIfMarked();
            orientation_ = static_cast<int>(v);
            resetPage();
            return;
        case 'P': {  // page length in lines: the form is that long
            const double length = v * vmi_;
            if (v < 1 || length < kUnitsPerInch / 300 || length > kMaxPageLength) {
                if (v >= 1) builder_.warn("a page length longer than any paper was ignored");
                return;
            }
            document_.features.formLength = true;
            ejectIfMarked();
            const bool landscape = orientation_ == 1 || orientation_ == 3;
            (landscape ? paper_.width : paper_.height) = static_cast<JobUnits>(length);
            pageSize_ = -1;
            resetPage();
            return;
        }
        case 'E':
        case 'F':
        case 'L':
        case 'C':
        case 'D':
            fieldTextArea(f);
            return;
        case 'U':  // registration: the logical page moved on the sheet, in decipoints
            registerLeft_ = static_cast<JobUnits>(std::clamp(v, -7200.0, 7200.0) * kDecipoint);
            return;
        case 'Z':
            registerTop_ = static_cast<JobUnits>(std::clamp(v, -7200.0, 7200.0) * kDecipoint);
            return;
        case 'X':
            if (v > 1)
                builder_.warn("the job asks for " + std::to_string(static_cast<long>(v)) +
                              " copies; its pages are shown once");
            return;
        case 'H':  // paper source 0: eject the page
            if (v == 0) ejectIfMarked();
            return;
        default:
            return;
    }
}

// ESC &l: the text area (top margin, text length, perforation skip) and line spacing.
void PclInterpreter::fieldTextArea(const PclCommand& f) {
    const double v = f.value;
    switch (f.param) {
        case 'E': {  // top margin in lines
            const double top = v * vmi_;
            if (v < 0 || vmi_ == 0 || top > geometry_.logicalHeight) return;
            positioned();
            topMargin_ = static_cast<JobUnits>(top);
            textLength_ =
                std::max<JobUnits>(0, geometry_.logicalHeight - topMargin_ - kUnitsPerInch / 2);
            if (floating_) home();
            return;
        }
        case 'F': {  // text length in lines
            const double length = v * vmi_;
            if (v < 1 || vmi_ == 0 || topMargin_ + length > geometry_.logicalHeight) return;
            document_.features.formLength = true;
            textLength_ = static_cast<JobUnits>(length);
            return;
        }
        case 'L':
            if (v == 0 || v == 1) perforationSkip_ = v == 1;
            return;
        case 'C':  // VMI in 1/48 inch
            if (v < 0 || v > 336) return;
            vmi_ = static_cast<JobUnits>(std::lround(v * (kUnitsPerInch / 48)));
            if (floating_) home();
            return;
        case 'D':  // lines per inch
            if (v < 1 || v > 48) return;
            vmi_ = static_cast<JobUnits>(std::lround(kUnitsPerInch / v));
            if (floating_) home();
            return;
        default:
            return;
    }
}

void PclInterpreter::fieldFont(const PclCommand& f, int which) {
    PclFont& font = fonts_[which];
    const double v = f.value;
    if (f.group == 0) {
        if (f.param == '@') {  // default font: back to what the printer starts with
            if (v == 0 || v == 3) fonts_[0] = PclFont{};
            if (v == 1 || v == 3) fonts_[1] = PclFont{};
        } else if (f.param == 'X') {  // a downloaded font by its ID
            if (softFonts_.find(f.intValue())) font.softFont = f.intValue();
        } else if (f.param >= 'A' && f.param <= 'Z') {
            font.symbolSet = pclSymbolSet(v, f.param);
            font.softFont = -1;
        }
        fontChanged(0);
        fontChanged(1);
        return;
    }
    if (f.group != 's') return;
    if (f.param == 'W') {  // ESC )s#W: a font header; ESC (s#W: a glyph
        const bool taken = which == 1 ? softFonts_.header(f.data) : softFonts_.glyph(f.data);
        if (!taken && !f.data.empty())
            builder_.warn("downloaded fonts other than bitmap fonts are not drawn");
        return;
    }
    font.softFont = -1;
    switch (f.param) {
        case 'P':
            font.proportional = v == 1;
            break;
        case 'H':
            if (v > 0) font.pitch = std::clamp(v, 0.44, 576.0);
            break;
        case 'V':
            if (v > 0) font.points = std::clamp(v, 0.25, 999.75);
            break;
        case 'S':
            font.style = static_cast<int>(std::clamp(v, 0.0, 32767.0));
            break;
        case 'B':
            font.weight = static_cast<int>(std::clamp(v, -7.0, 7.0));
            break;
        case 'T':
            font.typeface = static_cast<int>(std::clamp(v, 0.0, 65535.0));
            break;
        default:
            return;
    }
    fontChanged(which);
}

}  // namespace folvek::printer
