// The Epson-style reader's main loop: text bytes and control codes, the end of the job and the
// width of the carriage the job needed.
#include "escp_reader.h"

#include "escp_scan.h"

#include <algorithm>

namespace folvek::printer {
namespace {

constexpr JobUnits kNarrowCarriage = 8 * kUnitsPerInch;
constexpr JobUnits kWideCarriage = 136 * kUnitsPerInch / 10;
// Ink this far past the narrow carriage still fits it (a driver's rounding).
constexpr JobUnits kCarriageSlack = kUnitsPerInch / 10;

}  // namespace

EscPReader::EscPReader(std::string_view job, const JobOptions& options, JobLanguage dialect)
    : in_(job), options_(options), builder_(doc_, options) {
    model_.dialect = dialect;
    model_.pins24 =
        dialect == JobLanguage::EscP2 || (dialect == JobLanguage::EscP && scanJob(job).pins24);
    doc_.language = dialect;
    carriage_ = options.carriageWidth > 0 ? options.carriageWidth : kWideCarriage;
    reset();
    st_.y = 0;
    builder_.setPageSize(options.carriageWidth > 0 ? options.carriageWidth : kNarrowCarriage,
                         st_.pageLength);
}

void EscPReader::reset() {
    const JobUnits y = st_.y;
    st_ = EscPState{};
    st_.y = y;
    st_.pageLength = options_.pageLength > 0 ? options_.pageLength : 11 * kUnitsPerInch;
    st_.rightMargin = carriage_;
    builder_.setPageSize(0, st_.pageLength);
    for (auto& s : st_.slots) s.table = options_.charTable;
    st_.slots[0].italic = !model_.proprinter();
    st_.slot = 1;
    if (model_.proprinter()) st_.upperControlsPrint = true;
}

bool EscPReader::need(std::size_t n) {
    if (have(n)) return true;
    builder_.warn("the job ends inside a printer command");
    pos_ = in_.size();
    return false;
}

void EscPReader::noteRight(JobUnits right) {
    widest_ = std::max(widest_, right);
}

JobDocument EscPReader::run() {
    while (have(1) && !builder_.pageLimitReached()) {
        const std::uint8_t b = next();
        if (b == 0x1B) {
            escape();
        } else if (b < 0x20 || b == 0x7F || (b >= 0x80 && b < 0xA0 && !printable(b))) {
            control(b);
        } else if (!st_.graphicsMode) {
            printByte(b);
        }
    }
    if (have(1)) builder_.warn("pages beyond the limit were not printed");
    flushLine();
    builder_.finish();
    JobUnits width = options_.carriageWidth;
    if (width <= 0)
        width = widest_ <= kNarrowCarriage + kCarriageSlack ? kNarrowCarriage
                : widest_ <= kWideCarriage + kCarriageSlack ? kWideCarriage
                                                            : std::min(widest_, 2 * kWideCarriage);
    for (auto& p : doc_.pages) p.width = width;
    return std::move(doc_);
}

void EscPReader::control(std::uint8_t b) {
    switch (b & 0x7F) {
        case 0x08:
            backspace();
            break;
        case 0x09:
            horizontalTab();
            break;
        case 0x0A:
            lineFeed(st_.lineSpacing);
            if (!model_.proprinter()) carriageReturn();
            break;
        case 0x0B:
            verticalTab();
            break;
        case 0x0C:
            formFeed();
            break;
        case 0x0D:
            carriageReturn();
            break;
        case 0x0E:
            st_.doubleWidthLine = true;
            break;  // SO
        case 0x0F:
            st_.condensed = true;
            break;  // SI
        case 0x12:
            st_.condensed = false;
            break;  // DC2
        case 0x14:
            st_.doubleWidthLine = false;
            break;  // DC4
        case 0x18:
            dropLine();
            break;  // CAN
        case 0x7F:
            if (!model_.pins24) deleteLast();
            break;  // DEL
        case 0x1C:  // FS 3 n (NEC)
            if (have(2) && peek() == '3') {
                skip(1);
                st_.lineSpacing = next() * (kUnitsPerInch / 360);
            }
            break;
        default:
            break;  // NUL, BEL, DC1, DC3 and the rest print nothing
    }
}

}  // namespace folvek::printer
