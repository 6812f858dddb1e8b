// PCL macros: a stretch of the job kept under an ID (ESC &f#Y, ESC &f0X .. ESC &f1X) and run
// again on request (2 execute, 3 call) or at the end of every page as an overlay (4), which is
// how forms are printed under each page's data. A call and an overlay leave the settings as
// they found them; a reset deletes all but the macros made permanent.
#include <algorithm>

#include "pcl_interpreter.h"

namespace folvek::printer {

void PclInterpreter::macroControl(int operation) {
    switch (operation) {
        case 2:  // execute: its settings stay in force
            runMacro(macroId_);
            break;
        case 3: {  // call: its settings are undone afterwards
            const Environment saved = saveEnvironment();
            runMacro(macroId_);
            restoreEnvironment(saved);
            break;
        }
        case 4:
            overlayId_ = macroId_;
            break;
        case 5:
            overlayId_ = -1;
            break;
        case 6:
        case 7:
            for (auto m = macros_.begin(); m != macros_.end();) {
                if (operation == 7 && m->second.permanent) {
                    ++m;
                    continue;
                }
                macroBytes_ -= std::min(macroBytes_, m->second.body.size());
                m = macros_.erase(m);
            }
            break;
        case 8:
            if (auto m = macros_.find(macroId_); m != macros_.end()) {
                macroBytes_ -= std::min(macroBytes_, m->second.body.size());
                macros_.erase(m);
            }
            break;
        case 9:
        case 10:
            if (auto m = macros_.find(macroId_); m != macros_.end())
                m->second.permanent = operation == 10;
            break;
        default:
            break;
    }
}

void PclInterpreter::runMacro(int id) {
    const auto m = macros_.find(id);
    if (m == macros_.end()) return;
    if (macroDepth_ >= kMaxMacroDepth) {
        builder_.warn("macros nested deeper than a printer runs them were left out");
        return;
    }
    // Macros running macros multiply: what they may run in all is bounded.
    macroWork_ += m->second.body.size() + 1;
    if (macroWork_ > kMaxMacroWork) {
        builder_.warn("macros run more often than a job may run them were left out");
        return;
    }
    // The body is copied: the macro may delete or redefine itself while it runs.
    const std::string body = m->second.body;
    PclScanner scanner(body);
    ++macroDepth_;
    execute(scanner, body);
    --macroDepth_;
}

// The overlay runs on the page being ejected from the printer's default settings, and leaves
// the job's settings and cursor as they were.
void PclInterpreter::applyOverlay() {
    if (overlayId_ < 0 || inOverlay_ || !macros_.count(overlayId_)) return;
    inOverlay_ = true;
    const Environment saved = saveEnvironment();
    for (auto& f : fonts_) f = PclFont{};
    active_ = 0;
    underline_ = false;
    vmi_ = kUnitsPerInch / 6;
    fontChanged(0);
    leftMargin_ = 0;
    rightMargin_ = geometry_.logicalWidth;
    x_ = 0;
    home();
    runMacro(overlayId_);
    endRaster();
    restoreEnvironment(saved);
    inOverlay_ = false;
}

PclInterpreter::Environment PclInterpreter::saveEnvironment() const {
    Environment e;
    e.fonts[0] = fonts_[0];
    e.fonts[1] = fonts_[1];
    e.active = active_;
    e.underline = underline_;
    e.floating = floating_;
    e.wrap = wrap_;
    e.perforationSkip = perforationSkip_;
    e.hmi = hmi_;
    e.vmi = vmi_;
    e.left = leftMargin_;
    e.right = rightMargin_;
    e.top = topMargin_;
    e.textLength = textLength_;
    e.rectWidth = rectWidth_;
    e.rectHeight = rectHeight_;
    e.x = x_;
    e.y = y_;
    e.lineTermination = lineTermination_;
    e.unitsPerInch = unitsPerInch_;
    e.patternId = patternId_;
    return e;
}

void PclInterpreter::restoreEnvironment(const Environment& e) {
    endRaster();
    fonts_[0] = e.fonts[0];
    fonts_[1] = e.fonts[1];
    active_ = e.active;
    underline_ = e.underline;
    floating_ = e.floating;
    wrap_ = e.wrap;
    perforationSkip_ = e.perforationSkip;
    hmi_ = e.hmi;
    vmi_ = e.vmi;
    leftMargin_ = e.left;
    rightMargin_ = e.right;
    topMargin_ = e.top;
    textLength_ = e.textLength;
    rectWidth_ = e.rectWidth;
    rectHeight_ = e.rectHeight;
    x_ = std::clamp<std::int64_t>(e.x, 0, geometry_.logicalWidth);
    y_ = std::clamp<std::int64_t>(e.y, 0, geometry_.logicalHeight);
    lineTermination_ = e.lineTermination;
    unitsPerInch_ = e.unitsPerInch;
    patternId_ = e.patternId;
}

}  // namespace folvek::printer
