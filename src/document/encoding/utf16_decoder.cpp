// The decoding loop and the UTF-8 it writes.
#include "utf16_decoder.h"

namespace folvek {

namespace {

void putUtf8(std::uint32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

constexpr std::uint32_t kReplacement = 0xFFFD;

}  // namespace

void Utf16Decoder::unit(std::uint16_t u, std::string& out) {
    if (high_) {
        if (u >= 0xDC00 && u <= 0xDFFF) {
            putUtf8(0x10000 + ((std::uint32_t(high_) - 0xD800) << 10) + (u - 0xDC00), out);
            high_ = 0;
            return;
        }
        putUtf8(kReplacement, out);
        high_ = 0;
    }
    if (u >= 0xD800 && u <= 0xDBFF) {
        high_ = u;
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
        putUtf8(kReplacement, out);
    } else {
        putUtf8(u, out);
    }
}

void Utf16Decoder::decode(const unsigned char* data, std::size_t len, std::string& out) {
    std::size_t i = 0;
    if (odd_ >= 0 && len > 0) {
        const auto first = static_cast<unsigned char>(odd_);
        unit(big_ ? std::uint16_t(first << 8 | data[0]) : std::uint16_t(data[0] << 8 | first), out);
        odd_ = -1;
        i = 1;
    }
    for (; i + 1 < len; i += 2)
        unit(big_ ? std::uint16_t(data[i] << 8 | data[i + 1])
                  : std::uint16_t(data[i + 1] << 8 | data[i]),
             out);
    if (i < len) odd_ = data[i];
}

void Utf16Decoder::finish(std::string& out) {
    if (high_) putUtf8(kReplacement, out);
    high_ = 0;
    odd_ = -1;
}

}  // namespace folvek
