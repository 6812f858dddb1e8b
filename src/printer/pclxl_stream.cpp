// The PCL XL tokenizer: whitespace, typed values, attribute ids, operators and embedded data,
// each checked against the bytes left so that a cut or corrupt stream ends with a message.
#include "pclxl_stream.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace folvek::printer {
namespace {

constexpr std::uint8_t kAttrUbyte = 0xf8, kAttrUint16 = 0xf9;
constexpr std::uint8_t kDataLength = 0xfa, kDataLengthByte = 0xfb;
constexpr std::string_view kUniversalExit = "\x1b%-12345X";

constexpr int kTypeSize[6] = {1, 2, 4, 2, 4, 4};

bool isWhitespace(std::uint8_t b) {
    return b == 0x00 || (b >= 0x09 && b <= 0x0d) || b == 0x20;
}

std::uint32_t littleEndian(const char* p, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(p[i]);
    return v;
}

// Values beyond a billion mean nothing as a position, size or count; keeping every value
// within that lets a reader convert any of them to int.
constexpr double kMaxValue = 1e9;

double decode(const char* p, std::uint8_t type) {
    const std::uint32_t raw = littleEndian(p, kTypeSize[type]);
    switch (type) {
        case 3:
            return static_cast<std::int16_t>(raw);
        case 4:
            return std::clamp<double>(static_cast<std::int32_t>(raw), -kMaxValue, kMaxValue);
        case 5: {
            const float f = std::bit_cast<float>(raw);
            // NaN and infinities mean nothing either.
            return f == f && f < kMaxValue && f > -kMaxValue ? double(f) : 0.0;
        }
        default:
            return std::min<double>(raw, kMaxValue);
    }
}

}  // namespace

double PxlValue::at(std::uint32_t i) const {
    if (shape != Shape::Array || i >= count) return 0;
    return decode(array.data() + std::size_t{i} * kTypeSize[type], type);
}

bool PxlStream::readNumber(std::uint8_t type, double& out) {
    const int size = kTypeSize[type];
    if (job_.size() - pos_ < static_cast<std::size_t>(size)) return false;
    out = decode(job_.data() + pos_, type);
    pos_ += static_cast<std::size_t>(size);
    return true;
}

bool PxlStream::readValue(std::uint8_t tag, PxlValue& out, std::string& message) {
    const std::uint8_t type = tag & 0x07;
    if (type > 5) {
        message = "the PCL XL stream holds a data type that does not exist";
        return false;
    }
    out = PxlValue{};
    out.type = type;
    const std::uint8_t group = tag & 0xf8;
    if (group == 0xc8) {  // an array: its length as a ubyte or uint16, then the elements
        if (pos_ >= job_.size()) return false;
        const auto lengthTag = static_cast<std::uint8_t>(job_[pos_++]);
        double n = 0;
        if ((lengthTag != 0xc0 && lengthTag != 0xc1) || !readNumber(lengthTag & 0x07, n)) {
            if (lengthTag != 0xc0 && lengthTag != 0xc1)
                message = "a PCL XL array has no valid length";
            return false;
        }
        const std::size_t bytes = static_cast<std::size_t>(n) * kTypeSize[type];
        if (job_.size() - pos_ < bytes) return false;
        out.shape = PxlValue::Shape::Array;
        out.count = static_cast<std::uint32_t>(n);
        out.array = job_.substr(pos_, bytes);
        pos_ += bytes;
        return true;
    }
    const int n = group == 0xc0 ? 1 : group == 0xd0 ? 2 : 4;
    out.shape = n == 1   ? PxlValue::Shape::Scalar
                : n == 2 ? PxlValue::Shape::Xy
                         : PxlValue::Shape::Box;
    for (int i = 0; i < n; ++i)
        if (!readNumber(type, out.v[i])) return false;
    return true;
}

void PxlStream::clearAttributes() {
    for (std::uint8_t id : set_) attrs_[id] = PxlValue{};
    set_.clear();
}

PxlToken PxlStream::next() {
    PxlToken token;
    clearAttributes();
    PxlValue pending;
    bool havePending = false;
    const auto cut = [&token] {
        token.kind = PxlTokenKind::Error;
        if (token.message.empty())
            token.message = "the PCL XL stream ends in the middle of a command";
        return token;
    };
    while (pos_ < job_.size()) {
        const auto tag = static_cast<std::uint8_t>(job_[pos_]);
        if (isWhitespace(tag)) {
            ++pos_;
            continue;
        }
        if (tag == 0x1b) {  // the universal exit ends the stream; anything else is corrupt
            if (job_.substr(pos_, kUniversalExit.size()) != kUniversalExit) break;
            token.kind = PxlTokenKind::End;
            return token;
        }
        ++pos_;
        if (tag >= 0xc0 && tag <= 0xe5) {
            if (!readValue(tag, pending, token.message)) return cut();
            havePending = true;
        } else if (tag == kAttrUbyte || tag == kAttrUint16) {
            double id = 0;
            if (!readNumber(tag == kAttrUbyte ? 0 : 1, id)) return cut();
            if (!havePending) {
                token.message = "a PCL XL attribute has no value";
                return cut();
            }
            if (id < 256) {  // ids past a byte name no attribute we use
                const auto i = static_cast<std::uint8_t>(id);
                if (!attrs_[i].present()) set_.push_back(i);
                attrs_[i] = pending;
            }
            havePending = false;
        } else if (tag == kDataLength || tag == kDataLengthByte) {
            double length = 0;
            if (!readNumber(tag == kDataLength ? 2 : 0, length)) return cut();
            const auto n = static_cast<std::size_t>(length);
            if (job_.size() - pos_ < n) {
                token.message = "data that a PCL XL command announced ran past the job's end";
                pos_ = job_.size();
                return cut();
            }
            token.kind = PxlTokenKind::Data;
            token.data = job_.substr(pos_, n);
            pos_ += n;
            return token;
        } else if (tag >= 0x41 && tag <= 0xbf) {
            token.kind = PxlTokenKind::Operator;
            token.op = tag;
            return token;
        } else {
            --pos_;
            break;
        }
    }
    if (pos_ >= job_.size()) {
        token.kind = PxlTokenKind::End;
        return token;
    }
    token.kind = PxlTokenKind::Error;
    token.message = "the PCL XL stream holds a byte that is no command; the rest was left out";
    return token;
}

std::size_t pxlStreamHeader(std::string_view job, std::size_t at, char& binding) {
    if (at >= job.size()) return 0;
    const std::string_view rest = job.substr(at);
    if (rest.size() < 12 || rest.substr(1, 11) != " HP-PCL XL;") return 0;
    binding = rest[0];
    const std::size_t eol = rest.find('\n');
    return eol == std::string_view::npos ? rest.size() : eol + 1;
}

std::size_t pxlFindStream(std::string_view job) {
    std::size_t pos = 0;
    if (job.substr(0, kUniversalExit.size()) == kUniversalExit) pos = kUniversalExit.size();
    // Job-language lines (@PJL ...) up to the one that enters the language, and the blank
    // lines between and after them.
    for (int lines = 0; pos < job.size(); ++lines) {
        while (pos < job.size() && (job[pos] == '\r' || job[pos] == '\n')) ++pos;
        if (lines == 256 || job.substr(pos, 4) != "@PJL") break;
        const std::size_t eol = job.find('\n', pos);
        if (eol == std::string_view::npos) return std::string_view::npos;
        pos = eol + 1;
    }
    char binding = 0;
    return pxlStreamHeader(job, pos, binding) ? pos : std::string_view::npos;
}

}  // namespace folvek::printer
