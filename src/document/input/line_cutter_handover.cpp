// What a cutter hands on: the state a second cutter resumes from at a line start, and the
// layout figures (pitches, page length, orientation) its commands leave for the document.
#include <algorithm>

#include "line_cutter.h"

namespace folvek {

bool LineCutter::atLineStart() const {
    return !full_ && !out_ && chunkLen_ == 0 && pendLen_ == 0 && !cut_ && !codes_.active();
}

LineCutter::Carry LineCutter::carry() const {
    return {codes_, emitted_, styleDirty_, scan_ ? flags_ : std::uint16_t(0)};
}

void LineCutter::resume(const Carry& c) {
    codes_ = c.codes;
    codesGen_ = codes_.generation();
    emitted_ = c.emitted;
    styleDirty_ = c.styleDirty;
    if (scan_) flags_ = c.flags;
}

PrinterLayout LineCutter::printerLayout() const {
    return printerLayoutAfter(*this);
}

PrinterLayout LineCutter::printerLayoutAfter(const LineCutter& head) const {
    // The pitches text was printed in, by both cutters; the state the commands left, by this.
    bool seen = pitchSeen_;
    double cpiMin = cpiMin_, cpiMax = cpiMax_, lpiMin = lpiMin_, lpiMax = lpiMax_;
    if (&head != this && head.pitchSeen_) {
        cpiMin = seen ? std::min(cpiMin, head.cpiMin_) : head.cpiMin_;
        cpiMax = seen ? std::max(cpiMax, head.cpiMax_) : head.cpiMax_;
        lpiMin = seen ? std::min(lpiMin, head.lpiMin_) : head.lpiMin_;
        lpiMax = seen ? std::max(lpiMax, head.lpiMax_) : head.lpiMax_;
        seen = true;
    }
    PrinterLayout l;
    if (!codes_.pitchIsDefault() && seen) {
        l.cpi = cpiMax;
        l.lpi = lpiMax;
        l.pitchChanged = cpiMin != cpiMax || lpiMin != lpiMax;
    }
    l.pageLines = codes_.pageLines();
    l.pageInches = codes_.pageInches();
    l.orientation = codes_.orientation();
    l.jobCommands = codes_.jobCommands() || head.codes_.jobCommands();
    return l;
}

}  // namespace folvek
