// Cutting a PCL 5 job into text, escapes and sequence fields. A field is an optional sign, digits
// with an optional decimal point, and a parameter character: lower case when another field of
// the same sequence follows, upper case when it is the last. A byte that fits nowhere ends the
// sequence and is read again as text, as the printers do with malformed sequences.
#include "pcl_scanner.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace folvek::printer {
namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr std::size_t kFieldLimit = 32;  // a value field longer than this is no PCL
constexpr std::string_view kUniversalExit = "\x1b%-12345X";

bool isGroup(unsigned char b) {
    return b >= 0x60 && b <= 0x7E;
}
bool isParameter(unsigned char b) {
    return b >= 0x40 && b <= 0x7E;
}
bool isValueByte(unsigned char b) {
    return (b >= '0' && b <= '9') || b == '+' || b == '-' || b == '.';
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

}  // namespace

bool PclScanner::next(PclCommand& command) {
    command = PclCommand{};
    while (pos_ < job_.size()) {
        if (inSequence_) {
            if (readField(command)) return true;
            continue;
        }
        const auto b = static_cast<unsigned char>(job_[pos_]);
        if (b != kEsc || pos_ + 1 >= job_.size()) {
            ++pos_;
            command.kind = PclCommand::Kind::Text;
            command.byte = b;
            return true;
        }
        const auto c = static_cast<unsigned char>(job_[pos_ + 1]);
        if (c == '&' || c == '*' || c == '(' || c == ')' || c == '%') {
            pos_ += 2;
            lead_ = c;
            group_ = 0;
            if (pos_ < job_.size() && c != '%') {
                const auto g = static_cast<unsigned char>(job_[pos_]);
                if (isGroup(g)) {
                    group_ = g;
                    ++pos_;
                } else if (c == '&' || c == '*') {
                    continue;  // no group: the sequence is malformed, ESC and its lead go
                }
            }
            inSequence_ = true;
            continue;
        }
        pos_ += 2;
        if (c < 0x21) {  // ESC before a control byte: the control byte still acts
            --pos_;
            continue;
        }
        command.kind = PclCommand::Kind::Escape;
        command.byte = c;
        return true;
    }
    return false;
}

bool PclScanner::readField(PclCommand& command) {
    std::size_t p = pos_;
    double whole = 0, fraction = 0, scale = 1;
    bool negative = false, sign = false, dot = false, digits = false;
    while (p < job_.size() && isValueByte(static_cast<unsigned char>(job_[p]))) {
        const char b = job_[p];
        if (p - pos_ >= kFieldLimit) break;
        if (b == '+' || b == '-') {
            if (p != pos_) break;
            sign = true;
            negative = b == '-';
        } else if (b == '.') {
            if (dot) break;
            dot = true;
        } else {
            digits = true;
            if (dot) {
                scale /= 10;
                fraction += (b - '0') * scale;
            } else {
                whole = std::min(whole * 10 + (b - '0'), 1e12);
            }
        }
        ++p;
    }
    if (p >= job_.size() || !isParameter(static_cast<unsigned char>(job_[p]))) {
        // Malformed: what was read goes, the byte that ended it is read again as text.
        pos_ = p;
        inSequence_ = false;
        return false;
    }
    const auto b = static_cast<unsigned char>(job_[p]);
    pos_ = p + 1;
    const bool last = b <= 0x5E;
    inSequence_ = !last;
    command.kind = PclCommand::Kind::Field;
    command.byte = lead_;
    command.group = group_;
    command.param = last ? b : static_cast<unsigned char>(b - 0x20);
    command.value = (negative ? -1 : 1) * (whole + fraction);
    command.hasValue = digits;
    command.signedValue = sign;
    const bool takesData =
        command.param == 'W' || (lead_ == '&' && group_ == 'p' && command.param == 'X');
    if (takesData && command.value >= 1) {
        const double wanted = command.value;
        const std::size_t left = job_.size() - pos_;
        const std::size_t count =
            wanted >= static_cast<double>(left) ? left : static_cast<std::size_t>(wanted);
        command.dataCut = wanted > static_cast<double>(left);
        command.data = job_.substr(pos_, count);
        pos_ += count;
    }
    return true;
}

std::string_view PclScanner::skipJobLanguage() {
    for (;;) {
        while (pos_ < job_.size() && (job_[pos_] == '\r' || job_[pos_] == '\n')) ++pos_;
        const std::string_view rest = job_.substr(pos_);
        if (!startsWithNoCase(rest, "@PJL")) return {};
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        pos_ = end == std::string_view::npos ? job_.size() : pos_ + end + 1;
        // @PJL ENTER LANGUAGE = PCLXL: what follows until the next exit is not for us.
        std::string upper;
        for (char ch : line)
            if (ch != ' ' && ch != '\t' && ch != '\r')
                upper += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        const std::string_view u = upper;
        constexpr std::string_view kEnter = "@PJLENTERLANGUAGE=";
        if (u.substr(0, kEnter.size()) == kEnter) {
            const std::string_view language = u.substr(kEnter.size());
            if (language != "PCL") {
                if (language == "PCLXL") return "PCL XL";
                if (language == "POSTSCRIPT") return "PostScript";
                return "an unknown language";
            }
        }
    }
}

void PclScanner::skipToUniversalExit() {
    const std::size_t at = job_.find(kUniversalExit, pos_);
    pos_ = at == std::string_view::npos ? job_.size() : at;
}

void PclScanner::skipHpgl() {
    while (pos_ < job_.size()) {
        const std::size_t at = job_.find(static_cast<char>(kEsc), pos_);
        if (at == std::string_view::npos || at + 1 >= job_.size()) {
            pos_ = job_.size();
            return;
        }
        pos_ = at;
        const char c = job_[at + 1];
        if (c == 'E') return;
        if (c == '%') {
            std::size_t p = at + 2;
            while (p < job_.size() && isValueByte(static_cast<unsigned char>(job_[p]))) ++p;
            if (p < job_.size() && (job_[p] == 'A' || job_[p] == 'X')) return;
        }
        pos_ = at + 1;
    }
}

}  // namespace folvek::printer
