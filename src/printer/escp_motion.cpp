// Moving the print position: carriage return, line and form feeds, tab stops, backspace,
// absolute moves, and the sheet that ends when the paper passes the bottom of the form.
#include <algorithm>

#include "escp_reader.h"

namespace folvek::printer {
namespace {

constexpr std::size_t kMaxHorizontalTabs = 32;
constexpr std::size_t kMaxVerticalTabs = 16;

}  // namespace

void EscPReader::carriageReturn() {
    flushLine();
    st_.x = st_.leftMargin;
}

void EscPReader::lineFeed(JobUnits dy) {
    st_.doubleWidthLine = false;
    moveDown(dy);
}

// The paper moves up by dy; past the bottom of the form the sheet is ejected and the position
// carries on at the top of the next one, as on continuous paper.
void EscPReader::moveDown(JobUnits dy) {
    flushLine();
    if (dy <= 0) return;
    fedPast_ = false;
    st_.y += dy;
    const JobUnits limit =
        st_.bottomLimit > 0 ? st_.bottomLimit : st_.pageLength - st_.skipPerforation;
    if (st_.y < limit) return;
    const JobUnits over = st_.bottomLimit > 0 || st_.skipPerforation > 0
                              ? 0
                              : std::min(st_.y - st_.pageLength, st_.pageLength - 1);
    builder_.endPage();
    fedPast_ = true;
    st_.y = st_.topMargin + std::max(over, 0);
}

void EscPReader::moveTo(JobUnits y) {
    flushLine();
    const JobUnits limit = st_.bottomLimit > 0 ? st_.bottomLimit : st_.pageLength;
    if (y < 0 || y >= limit) {
        builder_.warn("a vertical move past the paper was ignored");
        return;
    }
    st_.y = y;
}

void EscPReader::reverseFeed(JobUnits dy) {
    flushLine();
    st_.y = std::max(0, st_.y - dy);
}

// A form feed right after the paper ran onto a fresh sheet by itself ends nothing more: a job
// whose last line fills the form exactly and then feeds the form gets no blank sheet.
void EscPReader::formFeed() {
    flushLine();
    if (!(fedPast_ && builder_.pageEmpty())) builder_.endPage();
    fedPast_ = false;
    st_.y = st_.topMargin;
    st_.x = st_.leftMargin;
    st_.doubleWidthLine = false;
}

// To the next tab stop right of the position; none (or one past the right margin) leaves the
// position where it is.
void EscPReader::horizontalTab() {
    JobUnits target = -1;
    if (st_.defaultTabs) {
        const JobUnits step = 8 * pitchAdvance(true);
        if (step > 0) target = st_.leftMargin + ((st_.x - st_.leftMargin) / step + 1) * step;
    } else {
        for (JobUnits t : st_.hTabs)
            if (t > st_.x) {
                target = t;
                break;
            }
    }
    if (target > st_.x && target <= st_.rightMargin) st_.x = target;
}

// To the next vertical tab stop below; with no stops set a line feed, with none left below the
// next sheet.
void EscPReader::verticalTab() {
    carriageReturn();
    if (st_.vTabs.empty()) {
        lineFeed(st_.lineSpacing);
        return;
    }
    for (JobUnits t : st_.vTabs)
        if (t > st_.y && t < st_.pageLength) {
            st_.doubleWidthLine = false;
            st_.y = t;
            return;
        }
    formFeed();
}

void EscPReader::backspace() {
    st_.x = std::max(st_.leftMargin, st_.x - charAdvance());
}

void EscPReader::moveX(JobUnits x) {
    doc_.features.positions = true;
    if (x < st_.leftMargin || x > st_.rightMargin) {
        builder_.warn("a horizontal move past the margins was ignored");
        return;
    }
    st_.x = x;
}

// ESC D: stops in columns of the current pitch from the left margin, ascending, ended by NUL.
void EscPReader::setHorizontalTabs() {
    st_.hTabs.clear();
    st_.defaultTabs = false;
    const JobUnits col = pitchAdvance(true);
    for (std::size_t i = 0; i <= kMaxHorizontalTabs && have(1); ++i) {
        const std::uint8_t n = next();
        if (n == 0) break;
        const JobUnits t = st_.leftMargin + n * col;
        if (st_.hTabs.size() < kMaxHorizontalTabs && (st_.hTabs.empty() || t > st_.hTabs.back()))
            st_.hTabs.push_back(t);
    }
    if (!st_.hTabs.empty()) doc_.features.positions = true;
}

// ESC B: stops in lines of the current spacing from the top of the form, ended by NUL.
void EscPReader::setVerticalTabs() {
    st_.vTabs.clear();
    for (std::size_t i = 0; i <= kMaxVerticalTabs && have(1); ++i) {
        const std::uint8_t n = next();
        if (n == 0) break;
        const JobUnits t = st_.topMargin + n * st_.lineSpacing;
        if (st_.vTabs.size() < kMaxVerticalTabs && (st_.vTabs.empty() || t > st_.vTabs.back()))
            st_.vTabs.push_back(t);
    }
    if (!st_.vTabs.empty()) doc_.features.positions = true;
}

void EscPReader::setPageLength(JobUnits length) {
    doc_.features.formLength = true;
    if (length <= 0) return;
    const JobUnits most = 22 * kUnitsPerInch;
    if (length > most) {
        builder_.warn("a page length longer than 22 inches was cut to 22");
        length = most;
    }
    st_.pageLength = length;
    st_.bottomLimit = 0;
    st_.skipPerforation = 0;
    builder_.setPageSize(0, length);
}

}  // namespace folvek::printer
