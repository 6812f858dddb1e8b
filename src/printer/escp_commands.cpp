// ESC commands that move the paper and the head, set the form, and those that only need their
// parameters skipped; the dispatch of every ESC command.
#include <algorithm>

#include "escp_reader.h"

namespace folvek::printer {
namespace {

// Commands with nothing to do here and the number of parameter bytes they take.
int skippedParameters(std::uint8_t c) {
    switch (c) {
        case '<':
        case '8':
        case '9':
            return 0;
        case 'U':
        case 0x19:
        case 's':
        case 'r':
        case 'i':
        case 'x':
        case 'k':
        case 'q':
        case 'a':
        case 'I':
        case 'm':
        case '%':
        case '/':
        case 'h':
            return 1;
        case ':':
            return 3;
        default:
            return -1;
    }
}

}  // namespace

void EscPReader::escape() {
    if (!need(1)) return;
    const std::uint8_t c = next();
    if (model_.proprinter() && proprinterEscape(c)) return;
    if (escapeMotion(c) || escapeModes(c) || escapeOther(c)) return;
    const int n = skippedParameters(c);
    if (n > 0 && need(static_cast<std::size_t>(n))) skip(static_cast<std::size_t>(n));
    // Anything else is a command this printer does not know: the ESC and its letter go.
    if (n < 0) builder_.warn("printer commands this reader does not know were skipped");
}

bool EscPReader::escapeMotion(std::uint8_t c) {
    switch (c) {
        case '@':
            flushLine();
            reset();
            return true;
        case 'J':
            if (need(1)) {
                doc_.features.positions = true;
                moveDown(next() * model_.feedUnit());
            }
            return true;
        case 'j':
            if (need(1)) {
                doc_.features.positions = true;
                reverseFeed(next() * 100);
            }
            return true;
        case '3':
            if (need(1)) st_.lineSpacing = next() * model_.feedUnit();
            return true;
        case 'A':
            if (need(1)) st_.lineSpacing = next() * (model_.pins24 ? 360 : 300);
            return true;
        case '+':
            if (need(1)) st_.lineSpacing = next() * 60;
            return true;
        case '0':
            st_.lineSpacing = kUnitsPerInch / 8;
            return true;
        case '1':
            st_.lineSpacing = kUnitsPerInch * 7 / 72;
            return true;
        case '2':
            st_.lineSpacing = kUnitsPerInch / 6;
            return true;
        case 'C':
            if (!need(1)) return true;
            if (const std::uint8_t n = next(); n != 0) {
                setPageLength(n * st_.lineSpacing);
            } else if (need(1)) {
                setPageLength(next() * kUnitsPerInch);
            }
            return true;
        case 'N':
            if (need(1)) st_.skipPerforation = next() * st_.lineSpacing;
            return true;
        case 'O':
            st_.skipPerforation = 0;
            return true;
        case 'D':
            setHorizontalTabs();
            return true;
        case 'B':
            setVerticalTabs();
            return true;
        case 'b':
            if (need(1)) {
                skip(1);
                skipUntilNul(17);
            }
            return true;  // VFU channels
        default:
            break;
    }
    return escapeMargins(c);
}

bool EscPReader::escapeMargins(std::uint8_t c) {
    switch (c) {
        case 'l':
            if (need(1)) {
                const JobUnits m = next() * pitchAdvance(true);
                doc_.features.positions = true;
                if (m < st_.rightMargin) {
                    st_.leftMargin = m;
                    st_.x = std::max(st_.x, m);
                }
            }
            return true;
        case 'Q':
            if (need(1)) {
                const JobUnits m = next() * pitchAdvance(true);
                doc_.features.positions = true;
                if (m > st_.leftMargin) st_.rightMargin = m;
            }
            return true;
        case '$':
            if (need(2)) {
                const JobUnits u = model_.escp2() && st_.unitSet ? st_.unitH : kUnitsPerInch / 60;
                moveX(st_.leftMargin + static_cast<JobUnits>(word()) * u);
            }
            return true;
        case '\\':
            if (need(2)) {
                const auto d = static_cast<std::int16_t>(word());
                const JobUnits u = model_.escp2() && st_.unitSet ? st_.unitH
                                   : model_.pins24               ? kUnitsPerInch / 180
                                                                 : kUnitsPerInch / 120;
                moveX(st_.x + d * u);
            }
            return true;
        case 'f':  // skip n spaces or n lines
            if (need(2)) {
                const std::uint8_t m = next(), n = next();
                doc_.features.positions = true;
                if (m & 1) {
                    for (int i = 0; i < n; ++i) lineFeed(st_.lineSpacing);
                } else {
                    moveX(std::min(st_.rightMargin, st_.x + n * charAdvance()));
                }
            }
            return true;
        case 'e':  // tab stops every n characters or lines
            if (need(2)) {
                const std::uint8_t m = next(), n = next();
                doc_.features.positions = true;
                if (n == 0) return true;
                if (m & 1) {
                    st_.vTabs.clear();
                    for (int i = 1; i <= 16; ++i)
                        st_.vTabs.push_back(st_.topMargin + i * n * st_.lineSpacing);
                } else {
                    st_.defaultTabs = false;
                    st_.hTabs.clear();
                    for (int i = 1; i <= 32; ++i)
                        st_.hTabs.push_back(st_.leftMargin + i * n * pitchAdvance(true));
                }
            }
            return true;
        default:
            return false;
    }
}

bool EscPReader::escapeOther(std::uint8_t c) {
    switch (c) {
        case '*':
            if (need(1)) bitImage(next());
            return true;
        case 'K':
            bitImage(st_.klyzModes[0]);
            return true;
        case 'L':
            bitImage(st_.klyzModes[1]);
            return true;
        case 'Y':
            bitImage(st_.klyzModes[2]);
            return true;
        case 'Z':
            bitImage(st_.klyzModes[3]);
            return true;
        case '^':
            nineDotImage();
            return true;
        case '.':
            rasterDot();
            return true;
        case '(':
            parenCommand();
            return true;
        case '?':
            if (need(2)) {
                const std::uint8_t which = next(), mode = next();
                const char* letters = "KLYZ";
                for (int i = 0; i < 4; ++i)
                    if (which == letters[i]) st_.klyzModes[static_cast<std::size_t>(i)] = mode;
            }
            return true;
        case 'i':
            if (!st_.graphicsMode) return false;
            rasterLines();
            return true;
        case '&':
            skipUserCharacters();
            return true;
        case 0x01:
            skipEjl();
            return true;
        default:
            return false;
    }
}

// ESC & 0 n m: user-defined characters n to m, each with its attribute bytes and dot columns.
void EscPReader::skipUserCharacters() {
    if (!need(3)) return;
    skip(1);
    const int first = next(), last = next();
    for (int ch = first; ch <= last && have(1); ++ch) {
        if (model_.pins24) {
            if (!need(3)) return;
            skip(1);
            const std::size_t width = next();
            skip(1);
            if (!need(width * 3)) return;
            skip(width * 3);
        } else {
            if (!need(12)) return;
            skip(12);
        }
    }
}

// The EJL lines with which Epson's drivers open a job ("ESC SOH @EJL ... LF").
void EscPReader::skipEjl() {
    while (have(4) && in_.substr(pos_, 4) == "@EJL") {
        const std::size_t end = in_.find('\n', pos_);
        pos_ = end == std::string_view::npos ? in_.size() : end + 1;
    }
}

void EscPReader::skipUntilNul(std::size_t limit) {
    for (std::size_t i = 0; i < limit && have(1); ++i)
        if (next() == 0) return;
}

}  // namespace folvek::printer
