// PCL 5 in print files: the syntax every parameterized sequence follows, so that unknown ones
// go whole, and the text-mode commands that change what the text looks like (stroke weight,
// style, underline, pitch, line spacing) or the page (length, orientation). Epson also uses
// ESC & ( *, always with binary parameters; PCL follows them with printable characters, which
// tells the two apart.
#include <algorithm>

#include "pcl_codes.h"
#include "printer_codes.h"

namespace folvek {

namespace {

constexpr int kFieldLimit = 16;              // a value field longer than this is no PCL
constexpr std::uint32_t kDataLimit = 32767;  // the largest data block a W parameter announces
constexpr double kPitchLimit = 64;           // pitch and line spacing beyond this: not honoured
constexpr double kPageLinesLimit = 32767;    // the longest page a page-length command sets
constexpr int kPjlLineLimit = 512;           // a job-language line longer than this is text

bool isDigit(unsigned char b) {
    return b >= '0' && b <= '9';
}
bool isGroup(unsigned char b) {
    return b >= 0x60 && b <= 0x7E;
}
bool isValueStart(unsigned char b) {
    return isDigit(b) || b == '+' || b == '-' || b == '.';
}
bool isParameter(unsigned char b) {
    return b >= 0x40 && b <= 0x7E && b != 0x5F;
}

}  // namespace

void PclSequence::start(unsigned char group) {
    group_ = group;
    state_ = State::Value;
    clearField();
}

void PclSequence::clearField() {
    whole_ = fraction_ = 0;
    scale_ = 1;
    negative_ = dot_ = digits_ = false;
    length_ = 0;
}

PclSequence::Step PclSequence::feed(unsigned char b) {
    if (state_ == State::Data) {
        if (--data_ == 0) state_ = afterData_;
        return Step::Taken;
    }
    if (state_ != State::Value) return Step::Rejected;
    if (isParameter(b)) {
        const bool last = b <= 0x5E;
        parameter_ = last ? b : static_cast<unsigned char>(b - 0x20);
        value_ = (negative_ ? -1 : 1) * (whole_ + fraction_);
        hasValue_ = digits_;
        clearField();
        state_ = last ? State::Idle : State::Value;
        if (parameter_ == 'W' && value_ >= 1) {
            data_ = static_cast<std::uint32_t>(std::min<double>(value_, kDataLimit));
            afterData_ = state_;
            state_ = State::Data;
        }
        return Step::Parameter;
    }
    if (++length_ > kFieldLimit) {
        state_ = State::Idle;
        return Step::Rejected;
    }
    if (isDigit(b)) {
        digits_ = true;
        if (dot_) {
            scale_ /= 10;
            fraction_ += (b - '0') * scale_;
        } else {
            whole_ = whole_ * 10 + (b - '0');
        }
        return Step::Taken;
    }
    if ((b == '+' || b == '-') && length_ == 1) {
        negative_ = b == '-';
        return Step::Taken;
    }
    if (b == '.' && !dot_) {
        dot_ = true;
        return Step::Taken;
    }
    state_ = State::Idle;
    return Step::Rejected;
}

// The byte after ESC & ( ) *.
bool PrinterCodes::pclLead(unsigned char b) {
    switch (cmd_) {
        case '&':
        case '*':
            if (isGroup(b)) {
                startPcl(b);
                return true;
            }
            break;
        case ')':
            if (isGroup(b)) {
                startPcl(b);
                return true;
            }
            if (isValueStart(b)) {
                startPcl(0);
                return pclByte(b);
            }
            // No Epson command: ESC ) alone goes.
            state_ = State::Idle;
            afterE_ = pclDialect_ = false;
            return false;
        case '%':
            // ESC %-12345X ends one printer language and hands over to the job language, and in
            // a PCL job ESC %0B and ESC %1B enter HP-GL/2 (ESC %0A goes back): a digit there
            // waits for the byte after it. The Epson ESC % takes a 0 or 1.
            if (b == '-') {
                startPcl(0);
                return pclByte(b);
            }
            if (pclDialect_ && isDigit(b)) {
                params_[0] = b;
                state_ = State::PclGroup;
                return true;
            }
            break;
        case '(':
            if (isDigit(b)) {
                startPcl(0);
                return pclByte(b);
            }
            if (isGroup(b) || isValueStart(b)) {  // ESC ( c nL nH, ESC ( - nL nH: one more byte
                params_[0] = b;
                state_ = State::PclGroup;
                return true;
            }
            break;
    }
    params_[0] = b;
    epsonParams(1);
    return true;
}

// ESC ( and a group character or sign: PCL goes on with a printable character. ESC % and a
// digit: PCL when the letter A or B follows.
bool PrinterCodes::pclGroup(unsigned char b) {
    const unsigned char first = params_[0];
    if (cmd_ == '%') {
        if (b == 'A' || b == 'B') {
            startPcl(0);
            pclByte(first);
            return pclByte(b);
        }
        epsonParams(1);  // Epson's ESC % n after all: the byte after it is not the command's
        return false;
    }
    if (isGroup(first) ? (isValueStart(b) || isParameter(b)) : (isDigit(b) || b == '.')) {
        startPcl(isGroup(first) ? first : 0);
        if (!isGroup(first)) pclByte(first);
        return pclByte(b);
    }
    params_[1] = b;
    epsonParams(2);
    return true;
}

void PrinterCodes::startPcl(unsigned char group) {
    if (afterE_) reset();  // the ESC E before this was a reset, not bold
    afterE_ = false;
    pclDialect_ = true;
    pcl_.start(group);
    state_ = State::Pcl;
}

bool PrinterCodes::pclByte(unsigned char b) {
    const PclSequence::Step step = pcl_.feed(b);
    if (step == PclSequence::Step::Parameter) pclParameter();
    if (!pcl_.active()) state_ = pjl_ ? State::PjlStart : hpgl_ ? State::HpGl : State::Idle;
    pjl_ = hpgl_ = false;
    return step != PclSequence::Step::Rejected;
}

// After ESC %-12345X come job-language lines, each starting with @PJL, and then the printer
// language again; a line that is no such line is text.
bool PrinterCodes::pjlByte(unsigned char b) {
    if (state_ == State::PjlStart) {
        // A blank line between or after them stays what it was (a line break), and what comes
        // after it may still be a job-language line or a PCL XL stream.
        if (b == '\r' || b == '\n') return false;
        if (b == '@') {
            state_ = State::PjlLine;
            got_ = 0;
            return true;
        }
        // PCL XL's stream header (") HP-PCL XL;"): a binary job, which only the printer-language
        // reader can lay out.
        if (b == ')') jobCommands_ = true;
        state_ = State::Idle;
        return false;
    }
    if (b == '\n') {
        state_ = State::PjlStart;
        return true;
    }
    if (++got_ > kPjlLineLimit) {
        state_ = State::Idle;
        return false;
    }
    return true;
}

void PrinterCodes::pclParameter() {
    const unsigned char group = pcl_.group(), p = pcl_.parameter();
    const double v = pcl_.value();
    const auto pitch = [this](double cpi) {
        if (cpi <= 0 || cpi > kPitchLimit) return;
        pclCpi_ = cpi;
        pitchSet_ = true;
        changed();
    };
    const auto spacing = [this](double lpi) {
        if (lpi <= 0 || lpi > kPitchLimit) return;
        spacing216_ = 216 / lpi;
        pitchSet_ = true;
        changed();
    };
    // The secondary font (ESC ) ...) shows only after SO; font, symbol-set, cursor, margin
    // and raster commands change nothing the text keeps.
    // Cursor moves, pictures, rules, margins and the form length let the job lay itself out.
    if ((cmd_ == '&' && (group == 'a' || (group == 'l' && (p == 'P' || p == 'F' || p == 'E')))) ||
        (cmd_ == '*' && (group == 'p' || group == 'r' || group == 'b' || group == 'c')) ||
        (cmd_ == '%' && p == 'B'))
        jobCommands_ = true;
    if (cmd_ == '%') {
        pjl_ = p == 'X' && v == -12345;
        hpgl_ = p == 'B';
    } else if (cmd_ == '(' && group == 's') {
        if (p == 'B') {  // stroke weight: 0 medium, positive bolder, negative lighter
            emphasized_ = v > 0;
            doubleStrike_ = false;
            changed();
        } else if (p == 'S') {  // style: the posture is the value modulo 4 (1, 2: italic)
            const int posture = v >= 0 ? static_cast<int>(v) % 4 : 0;
            italic_ = posture == 1 || posture == 2;
            changed();
        } else if (p == 'H') {
            pitch(v);
        }
    } else if (cmd_ == '&' && group == 'd') {
        if (p == 'D' || p == '@') {  // 0 fixed, 3 floating; @ ends it
            underline_ = p == 'D';
            changed();
        }
    } else if (cmd_ == '&' && group == 'l') {
        if (p == 'D') {
            spacing(v);
        } else if (p == 'C') {  // vertical motion index, 1/48 inch a line
            if (v > 0) spacing(48 / v);
        } else if (p == 'P') {
            if (v >= 1 && v <= kPageLinesLimit) pageLines_ = static_cast<std::int32_t>(v);
        } else if (p == 'O') {
            // The layout has one orientation for the whole document: the first one is kept.
            if (orientation_ < 0 && v >= 0 && v <= 3) orientation_ = static_cast<std::int32_t>(v);
        }
    } else if (cmd_ == '&' && group == 'k') {
        if (p == 'H') {  // horizontal motion index, 1/120 inch a column
            if (v > 0) pitch(120 / v);
        } else if (p == 'G') {  // line termination: 1 and 3 make CR a line end too
            const int mode = static_cast<int>(v);
            if (mode >= 0 && mode <= 3) crLf_ = mode == 1 || mode == 3;
        } else if (p == 'S') {  // pitch mode: 0 ten, 2 compressed, 4 elite
            const int mode = static_cast<int>(v);
            if (mode == 0 || mode == 2 || mode == 4) pitch(mode == 0 ? 10 : mode == 2 ? 16.67 : 12);
        }
    }
}

}  // namespace folvek
