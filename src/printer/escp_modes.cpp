// ESC commands of print modes: pitch, proportional, double width and height, bold, italic,
// underline, super- and subscript, character tables; and the IBM Proprinter's own commands.
#include "escp_reader.h"

namespace folvek::printer {
namespace {

// "0"/"1" and 0/1 both switch a mode.
bool on(std::uint8_t n) {
    return (n & 1) != 0;
}

void setStyle(std::uint16_t& style, std::uint16_t bit, bool set) {
    style = static_cast<std::uint16_t>(set ? style | bit : style & ~bit);
}

}  // namespace

bool EscPReader::escapeModes(std::uint8_t c) {
    switch (c) {
        case 'P':
            st_.cpi = 10;
            st_.hmi = 0;
            return true;
        case 'M':
            st_.cpi = 12;
            st_.hmi = 0;
            return true;
        case 'g':
            st_.cpi = 15;
            st_.hmi = 0;
            return true;
        case 'p':
            if (need(1)) st_.proportional = on(next());
            return true;
        case 0x0F:
            st_.condensed = true;
            return true;  // ESC SI
        case 0x0E:
            st_.doubleWidthLine = true;
            return true;  // ESC SO
        case 'W':
            if (need(1)) {
                st_.doubleWidth = on(next());
                if (!st_.doubleWidth) st_.doubleWidthLine = false;
            }
            return true;
        case 'w':
            if (need(1)) st_.doubleHeight = on(next());
            return true;
        case '!':
            if (need(1)) masterSelect(next());
            return true;
        default:
            return escapeStyle(c);
    }
}

bool EscPReader::escapeStyle(std::uint8_t c) {
    switch (c) {
        case 'E':
            setStyle(st_.style, kJobBold, true);
            return true;
        case 'F':
            setStyle(st_.style, kJobBold, false);
            return true;
        case 'G':
            setStyle(st_.style, kJobDoubleStrike, true);
            return true;
        case 'H':
            setStyle(st_.style, kJobDoubleStrike, false);
            return true;
        case '4':
            setStyle(st_.style, kJobItalic, true);
            return true;
        case '5':
            setStyle(st_.style, kJobItalic, false);
            return true;
        case '-':
            if (need(1)) setStyle(st_.style, kJobUnderline, (next() & 3) != 0);
            return true;
        case 'S':
            if (need(1)) {
                const bool sub = on(next());
                setStyle(st_.style, kJobSuperscript, !sub);
                setStyle(st_.style, kJobSubscript, sub);
            }
            return true;
        case 'T':
            setStyle(st_.style, kJobSuperscript | kJobSubscript, false);
            return true;
        case ' ':
            if (need(1)) st_.extraSpace = next() * (model_.pins24 ? 120 : 180);
            return true;
        case 'c':
            if (need(2)) {
                const unsigned n = word();
                if (n > 0 && n <= 1080) st_.hmi = static_cast<JobUnits>(n) * 60;
            }
            return true;
        case 'X':  // pitch and point size: ESC X m nL nH
            if (need(3)) {
                const std::uint8_t m = next();
                const unsigned points = word();  // half points
                if (m == 1) st_.proportional = true;
                if (m >= 5) {
                    st_.proportional = false;
                    st_.hmi = m * 60;  // m/360 inch
                }
                // The cell is four fifths of the point size, as the pins' boxes are.
                if (points > 0 && points <= 2 * 144)
                    st_.pointHeight = static_cast<JobUnits>(points) * 120;
            }
            return true;
        case 't':
            if (need(1)) selectTable(next());
            return true;
        case 'R':
            if (need(1)) st_.international = next();
            return true;
        case '6':
            st_.upperControlsPrint = true;
            return true;
        case '7':
            st_.upperControlsPrint = false;
            return true;
        default:
            return false;
    }
}

// ESC ! n: pitch, proportional, condensed, bold, double strike, double width, italic, underline
// in one byte.
void EscPReader::masterSelect(std::uint8_t n) {
    st_.cpi = (n & 1) ? 12 : 10;
    st_.hmi = 0;
    st_.proportional = (n & 2) != 0;
    st_.condensed = (n & 4) != 0;
    setStyle(st_.style, kJobBold, (n & 8) != 0);
    setStyle(st_.style, kJobDoubleStrike, (n & 16) != 0);
    st_.doubleWidth = (n & 32) != 0;
    setStyle(st_.style, kJobItalic, (n & 64) != 0);
    setStyle(st_.style, kJobUnderline, (n & 128) != 0);
}

void EscPReader::selectTable(std::uint8_t n) {
    if (n >= '0' && n <= '3') n = static_cast<std::uint8_t>(n - '0');
    if (n <= 3) st_.slot = n;
}

// ESC ( t: a table by its Epson number goes into one of the four slots of ESC t.
void EscPReader::assignTable(std::uint8_t slot, std::uint8_t d2, std::uint8_t d3) {
    if (slot >= '0' && slot <= '3') slot = static_cast<std::uint8_t>(slot - '0');
    if (slot > 3) return;
    EscPTableSlot& s = st_.slots[slot];
    if (d2 == 0 && d3 == 0) {
        s.italic = true;
        return;
    }
    CharTable t;
    int codePage = 0;
    if (d3 == 0) {
        switch (d2) {
            case 1:
                codePage = 437;
                break;
            case 3:
                codePage = 850;
                break;
            case 10:
                codePage = 852;
                break;
            case 14:
                codePage = 866;
                break;
            default:
                break;
        }
    }
    if (codePage && charTableForCodePage(codePage, t)) {
        s.italic = false;
        s.table = t;
    } else {
        builder_.warn("a character table the printer layer lacks was replaced by the default");
        s.italic = false;
        s.table = options_.charTable;
    }
}

// The IBM Proprinter's own meanings of ESC letters it shares with ESC/P.
bool EscPReader::proprinterEscape(std::uint8_t c) {
    switch (c) {
        case 'X':  // left and right margins in columns
            if (need(2)) {
                const std::uint8_t l = next(), r = next();
                const JobUnits col = pitchAdvance(true);
                doc_.features.positions = true;
                if (l > 0 && (r == 0 || r > l)) st_.leftMargin = (l - 1) * col;
                if (r > l) st_.rightMargin = r * col;
                if (st_.x < st_.leftMargin) st_.x = st_.leftMargin;
            }
            return true;
        case '\\':  // the next n bytes print as characters, control codes too
            if (need(2)) {
                std::size_t n = word();
                if (n > in_.size() - pos_) n = in_.size() - pos_;
                for (std::size_t i = 0; i < n; ++i) printByte(next());
            }
            return true;
        case '^':
            if (need(1)) printByte(next());
            return true;
        case 'R':
            st_.defaultTabs = true;
            st_.hTabs.clear();
            st_.vTabs.clear();
            return true;
        case ':':
            st_.cpi = 12;
            return true;
        case '_':
            if (need(1)) setStyle(st_.style, kJobOverline, on(next()));
            return true;
        case 'A':
            if (need(1)) st_.storedSpacing = next() * 300;
            return true;
        case '2':
            st_.lineSpacing = st_.storedSpacing > 0 ? st_.storedSpacing : kUnitsPerInch / 6;
            return true;
        case '4':
            st_.topMargin = st_.y;
            return true;  // this line is the top of the form
        case '5':
        case 'I':
        case 'Q':
            if (need(1)) skip(1);
            return true;
        case 'P':
            if (need(1)) st_.proportional = on(next());
            return true;
        case 'j':
            return true;  // stop printing
        case '[':
            proprinterBracket();
            return true;
        case '=':
            if (need(2)) {
                const std::size_t n = word();
                if (need(n)) skip(n);
            }
            return true;
        case 'd':  // forward n/120 inch
            if (need(2)) moveX(st_.x + static_cast<JobUnits>(word()) * (kUnitsPerInch / 120));
            return true;
        default:
            return false;
    }
}

// ESC [ x nL nH data: ESC [ @ sets double height and width; the others are skipped whole.
void EscPReader::proprinterBracket() {
    if (!need(3)) return;
    const std::uint8_t which = next();
    const std::size_t n = word();
    if (!need(n)) return;
    if (which == '@' && n >= 4) {
        const std::uint8_t height = peek(3);
        st_.doubleHeight = (height & 0x0F) == 2;
        if (n >= 5) st_.doubleWidth = (peek(4) & 0x0F) == 2;
    }
    skip(n);
}

}  // namespace folvek::printer
