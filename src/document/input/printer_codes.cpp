// ESC/P and Proprinter commands: how many parameter bytes each one takes, which of them carry
// data blocks of their own length (graphics, the extended ESC ( group), and what the ones that
// matter for the text do to the printer state. Commands not known here take no parameters, so
// an unknown code costs two bytes at most and never swallows text. ESC & ( ) * may also start
// a PCL sequence, which pcl_codes.cpp reads.
#include "printer_codes.h"

#include <algorithm>
#include <iterator>

namespace folvek {

namespace {

constexpr unsigned char kEsc = 0x1B, kSi = 0x0F, kSo = 0x0E, kDc2 = 0x12;
constexpr int kUntilNulLimit = 64;  // a tab-stop list longer than this lost its NUL

// Parameter bytes of ESC c, for the commands with a fixed count.
int fixedParams(unsigned char c) {
    switch (c) {
        case '-':
        case 'W':
        case 'x':
        case 'k':
        case 't':
        case 'R':
        case 'p':
        case '3':
        case 'A':
        case 'N':
        case 'l':
        case 'Q':
        case 'J':
        case 'j':
        case '!':
        case 'U':
        case 'S':
        case 'w':
        case 'a':
        case 'q':
        case 'r':
        case '/':
        case 'I':
        case 'm':
        case '+':
        case ' ':
        case '%':
        case 'i':
        case 's':
        case '_':
        case 'h':
        case 'C':
        case 'b':
            return 1;
        case 'e':
        case 'f':
        case 'c':
        case '\\':
        case '$':
        case 'X':
        case 'K':
        case 'L':
        case 'Y':
        case 'Z':
            return 2;
        case '(':
        case '[':
        case '*':
        case '^':
        case '&':
        case ':':
            return 3;
    }
    return 0;
}

}  // namespace

std::uint16_t PrinterCodes::style() const {
    return static_cast<std::uint16_t>(((emphasized_ || doubleStrike_) ? 1 : 0) | (italic_ ? 2 : 0) |
                                      (underline_ ? 4 : 0));
}

double PrinterCodes::cpi() const {
    if (pclCpi_ > 0) return pclCpi_;
    if (fifteen_) return 15;
    if (elite_) return condensed_ ? 20 : 12;
    return condensed_ ? 17 : 10;
}

bool PrinterCodes::sameStateAs(const PrinterCodes& other) const {
    // Between commands, what the last one's reading left behind tells nothing.
    const auto settled = [](PrinterCodes c) {
        c.generation_ = 0;
        c.jobCommands_ = false;
        if (c.state_ == State::Idle) {
            c.cmd_ = 0;
            std::fill(std::begin(c.params_), std::end(c.params_), 0);
            c.need_ = c.got_ = 0;
            c.skip_ = 0;
            c.pcl_ = PclSequence();
        }
        return c;
    };
    return settled(*this) == settled(other);
}

void PrinterCodes::reset() {
    emphasized_ = doubleStrike_ = italic_ = underline_ = false;
    condensed_ = elite_ = fifteen_ = false;
    pclCpi_ = 0;
    crLf_ = false;
    spacing216_ = 36;
    changed();
}

bool PrinterCodes::feed(unsigned char b) {
    switch (state_) {
        case State::Idle:
            if (b == kEsc) {
                state_ = State::Command;
            } else if (pclDialect_) {
                // In PCL, SI and SO switch between the primary and secondary fonts.
            } else if (b == kSi) {
                condensed_ = true;
                epsonPitch();
                changed();
            } else if (b == kDc2) {
                condensed_ = false;
                pclCpi_ = 0;
                changed();
            }
            return true;  // SO, DC1, DC3, DC4, BEL, CAN: nothing to keep
        case State::Command:
            // A line end, a NUL or another ESC right after ESC is no command: the ESC alone goes.
            if (b < 0x20 && b != kSi && b != kSo) {
                state_ = State::Idle;
                afterE_ = false;
                return false;
            }
            if (b == '&' || b == '(' || b == ')' || b == '*' || b == '%') {
                cmd_ = b;
                state_ = State::PclLead;
                return true;
            }
            afterE_ = false;
            // ESC E, ESC 9 (margins) and ESC = (half line) are PCL's own two-byte commands too.
            if (b != 'E' && b != '9' && b != '=') pclDialect_ = false;
            command(b);
            return true;
        case State::AfterE:
            // Another command at once may show that ESC E was a PCL reset.
            state_ = State::Idle;
            if (b != kEsc) return false;
            state_ = State::Command;
            afterE_ = true;
            return true;
        case State::PclLead:
            return pclLead(b);
        case State::PclGroup:
            return pclGroup(b);
        case State::Pcl:
            return pclByte(b);
        case State::PjlStart:
        case State::PjlLine:
            return pjlByte(b);
        case State::Params:
            params_[got_++] = b;
            if (--need_ == 0) finish();
            return true;
        case State::Skip:
            if (--skip_ == 0) state_ = State::Idle;
            return true;
        case State::UntilNul:
            if (b == 0 || ++got_ > kUntilNulLimit) state_ = State::Idle;
            return true;
        case State::HpGl:
            // Drawing commands are no text; the ESC of ESC %0A (back to PCL) or of the job's
            // exit ends them.
            if (b == kEsc) state_ = State::Command;
            return true;
    }
    return true;
}

// Bold, double strike, italic, pitch and line spacing: true when `c` was one of them.
bool PrinterCodes::styleCommand(unsigned char c) {
    switch (c) {
        case 'F':
            emphasized_ = false;
            changed();
            break;
        case 'G':
            doubleStrike_ = true;
            changed();
            break;
        case 'H':
            doubleStrike_ = false;
            changed();
            break;
        case '4':
            italic_ = true;
            changed();
            break;
        case '5':
            italic_ = false;
            changed();
            break;
        case 'M':
            elite_ = true;
            fifteen_ = false;
            epsonPitch();
            changed();
            break;
        case 'P':
            elite_ = fifteen_ = false;
            epsonPitch();
            changed();
            break;
        case 'g':
            fifteen_ = true;
            epsonPitch();
            changed();
            break;
        case kSi:
            condensed_ = true;
            epsonPitch();
            changed();
            break;
        case '0':
            spacing216_ = 27;
            pitchSet_ = true;
            changed();
            break;
        case '1':
            spacing216_ = 21;
            pitchSet_ = true;
            changed();
            break;
        case '2':
            spacing216_ = 36;
            changed();
            break;
        default:
            return false;
    }
    return true;
}

void PrinterCodes::command(unsigned char c) {
    cmd_ = c;
    got_ = 0;
    need_ = fixedParams(c);
    if (need_ > 0) {
        state_ = State::Params;
        return;
    }
    state_ = State::Idle;
    if (styleCommand(c)) return;
    switch (c) {
        case '@':
            reset();
            break;
        case 'E':
            if (pclDialect_) {
                reset();
                break;
            }
            emphasized_ = true;
            changed();
            state_ = State::AfterE;
            break;
        case 'D':
        case 'B':
            jobCommands_ = true;  // tab stops
            state_ = State::UntilNul;
            break;
        case '.':  // ESC/P2 raster graphics
            jobCommands_ = true;
            break;
        default:
            break;
    }
}

// ESC & ( * turned out to be Epson commands: the bytes read after them were parameters.
void PrinterCodes::epsonParams(int got) {
    afterE_ = pclDialect_ = false;
    got_ = got;
    need_ = fixedParams(cmd_) - got;
    state_ = State::Params;
    if (need_ <= 0) finish();
}

namespace {

// Moves, margins, form length and bit images: commands only a job's own layout can show. In
// the extended group all but the character table and underline place or draw.
bool placesOrDraws(unsigned char command, unsigned char firstParam) {
    switch (command) {
        case '$':
        case '\\':
        case 'J':
        case 'l':
        case 'Q':
        case 'f':
        case 'C':
        case 'K':
        case 'L':
        case 'Y':
        case 'Z':
        case '*':
        case '^':
            return true;
        case '(':
            return firstParam != 't' && firstParam != '-';
        default:
            return false;
    }
}

}  // namespace

void PrinterCodes::finish() {
    state_ = State::Idle;
    const unsigned n = params_[0];
    const auto length = [this](int lo) { return params_[lo] + 256u * params_[lo + 1]; };
    auto skip = [this](std::uint32_t bytes) {
        skip_ = bytes;
        if (bytes) state_ = State::Skip;
    };
    if (placesOrDraws(cmd_, params_[0])) jobCommands_ = true;
    switch (cmd_) {
        case '-':
            underline_ = !(n == 0 || n == '0');
            changed();
            break;
        case '!':
            elite_ = n & 1;
            condensed_ = n & 4;
            emphasized_ = n & 8;
            doubleStrike_ = n & 16;
            italic_ = n & 64;
            underline_ = n & 128;
            fifteen_ = false;
            epsonPitch();
            changed();
            break;
        case '3':
            if (n) spacing216_ = n, pitchSet_ = true, changed();
            break;
        case 'A':
            if (n) spacing216_ = n * 3.0, pitchSet_ = true, changed();
            break;
        case 'C':
            if (got_ == 1 && n == 0) {  // ESC C 0 n: the length in inches follows
                need_ = 1;
                state_ = State::Params;
            } else if (got_ == 2) {
                pageInches_ = params_[1];
            } else {
                pageLines_ = static_cast<std::int32_t>(n);
            }
            break;
        case 'b':
            state_ = State::UntilNul, got_ = 0;
            break;
        case 'K':
        case 'L':
        case 'Y':
        case 'Z':
            skip(length(0));
            break;
        case '(':
        case '[':
            skip(length(1));
            break;
        case '^':
            skip(2 * length(1));
            break;
        case '*': {
            const unsigned m = params_[0];
            const std::uint32_t perColumn = m >= 71 ? 6 : m >= 32 ? 3 : 1;
            skip(perColumn * length(1));
            break;
        }
        default:
            break;
    }
}

}  // namespace folvek
