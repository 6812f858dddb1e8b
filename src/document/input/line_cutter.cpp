// The cutter's hot loop copies plain text straight into the line store; everything else (line
// ends, form feeds, NUL, printer codes, backspaces, multi-byte characters it cannot finish in
// the block) goes through slowByte one byte at a time, which keeps state across read blocks.
#include "line_cutter.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "codepage.h"
#include "input_tables.h"
#include "style_scan.h"
#include "style_tags.h"

namespace folvek {

namespace {

constexpr std::uint16_t kOutDrop = 0xFEFF;  // a byte-order mark inside the text: dropped

struct Tag {
    std::uint16_t flag;
    const char* on;
    const char* off;
};
constexpr Tag kTags[] = {
    {kBold, "<B>", "</B>"}, {kItalic, "<I>", "</I>"}, {kUnderline, "<U>", "</U>"}};

// Second byte ranges of UTF-8 that keep sequences shortest and out of the surrogates.
bool validSecond(unsigned char lead, unsigned char b) {
    if ((b & 0xC0) != 0x80) return false;
    if (lead == 0xE0) return b >= 0xA0;
    if (lead == 0xED) return b < 0xA0;
    if (lead == 0xF0) return b >= 0x90;
    if (lead == 0xF4) return b < 0x90;
    return true;
}

int utf8Length(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

std::uint16_t outputFor(std::uint32_t cp) {
    return cp == 0xFEFF ? kOutDrop : outputForCodePoint(cp);
}

}  // namespace

LineCutter::LineCutter(LineStore& lines, TextEncoding encoding, bool scan, std::uint16_t flags)
    : lines_(lines),
      table_(inputByteTable(encoding)),
      boxBytes_(oemToAnsiTable()),
      asciiFast_(encoding != TextEncoding::Cp1251),
      utf8_(encoding == TextEncoding::Utf8),
      scan_(scan),
      flags_(flags) {
    for (int b = 0; b < 256; ++b) boxArms_[b] = boxCodeOf866(static_cast<std::uint8_t>(b));
    // In text read as 866 the byte 0xA6 comes from the double vertical alone, so that one
    // needs no code; UTF-8 may hold a real broken bar.
    if (encoding == TextEncoding::Cp866) {
        boxArms_[kDosDoubleBar] = 0;
        lines_.setDoubleBarsImplied();
    }
}

void LineCutter::added() {
    if (lines_.size() >= limit_) full_ = true;
}

// Turns the line's 866 codes into arms in place and files them.
void LineCutter::fileBoxes(std::size_t lineIndex, std::uint8_t* box, std::size_t length) {
    std::uint8_t any = 0;
    for (std::size_t i = 0; i < length; ++i) any |= box[i] = boxArms_[box[i]];
    if (any) lines_.setBoxCodes(lineIndex, box, length);
}

bool LineCutter::feed(const unsigned char* p, const unsigned char* end) {
    while (p < end) {
        if (full_) {
            cutShort_ = true;  // bytes beyond the last line the store may hold
            return false;
        }
        ensurePiece();
        if (!codes_.active() && pendLen_ == 0 && !cut_ && col_ == len_) {
            const unsigned char* q = fast(p, end);
            if (q != p) {
                p = q;
                continue;
            }
        }
        if (!slowByte(*p++)) return false;
    }
    return true;
}

const unsigned char* LineCutter::fast(const unsigned char* p, const unsigned char* end) {
    const std::uint16_t first = table_[*p];
    if (first == kOutControl || (first == kOutMulti && !utf8_)) return p;
    if (pitchDirty_) foldPitch();
    if (styleDirty_) {
        syncStyle();
        ensurePiece();
    }
    std::size_t n = static_cast<std::size_t>(end - p);
    // Output never outgrows input here, so the room left in the chunk bounds the input taken.
    n = std::min(n, kPiece - chunkLen_);
    char* out = out_;
    std::size_t pos = len_;
    std::size_t i = 0;
    const std::uint64_t highMask = asciiFast_ ? 0x8080808080808080ull : 0;
    while (i + 8 <= n) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        if ((((w - 0x2020202020202020ull) & ~w & 0x8080808080808080ull) | (w & highMask)) != 0)
            break;
        if (asciiFast_) {
            std::memcpy(out + pos, p + i, 8);
        } else {
            for (int k = 0; k < 8; ++k) out[pos + k] = static_cast<char>(table_[p[i + k]]);
        }
        pos += 8;
        i += 8;
    }
    for (; i < n; ++i) {
        const unsigned char c = p[i];
        std::uint16_t v = table_[c];
        if (v < 0x100) {
            out[pos++] = static_cast<char>(v);
            continue;
        }
        if (v == kOutMulti) {
            // Two- and three-byte characters complete in this block; the rest goes slowly.
            std::uint32_t cp;
            int used;
            if (c >= 0xC2 && c <= 0xDF && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {
                cp = (std::uint32_t(c & 0x1F) << 6) | (p[i + 1] & 0x3F);
                used = 2;
            } else if (c >= 0xE0 && c <= 0xEF && i + 2 < n && validSecond(c, p[i + 1]) &&
                       (p[i + 2] & 0xC0) == 0x80) {
                cp = (std::uint32_t(c & 0x0F) << 12) | (std::uint32_t(p[i + 1] & 0x3F) << 6) |
                     (p[i + 2] & 0x3F);
                used = 3;
            } else {
                break;
            }
            v = outputFor(cp);
            i += static_cast<std::size_t>(used - 1);
            if (v < 0x100) {
                out[pos++] = static_cast<char>(v);
                continue;
            }
            if (v == kOutDrop) continue;
        }
        if (isBoxOut(v)) {
            // What putBoxChar does, without leaving the loop: here col_ == len_ == pos, and
            // pos stays within the piece.
            const auto dos = static_cast<std::uint8_t>(v);
            box_[pos] = dos;
            anyBox_ = true;
            out[pos++] = static_cast<char>(boxBytes_[dos]);
            continue;
        }
        if (v == kOutUnmappable) {
            ++unmappable_;
            out[pos++] = '?';
            continue;
        }
        break;
    }
    chunkLen_ += pos - len_;
    len_ = col_ = pos;
    if (chunkLen_ == kPiece) endChunk();
    return p + i;
}

bool LineCutter::slowByte(unsigned char b) {
    if (codes_.active()) {
        const bool taken = codes_.feed(b);
        afterCodes();
        if (taken) return true;
    }
    if (pendLen_) {
        utf8Continue(b);
        return true;
    }
    const std::uint16_t v = table_[b];
    if (v == kOutControl) return control(b);
    if (cut_) {
        countDropped();
        return true;
    }
    if (v == kOutMulti) {
        utf8Start(b);
        return true;
    }
    emit(v);
    return true;
}

bool LineCutter::control(unsigned char b) {
    switch (b) {
        case '\r':
            if (codes_.carriageReturnEndsLine()) {
                ++chunkLen_;
                endChunk();
                return true;
            }
            col_ = 0;  // the next characters strike over the line
            return true;
        case '\n':
            ++chunkLen_;
            endChunk();
            return true;
        case 0x1A:
            return false;
        case '\0':
            if (cut_) {
                countDropped();
            } else {
                cutAt_ = chunkLen_;
                cut_ = true;
                countDropped();
            }
            return true;
        case '\f':
            if (cut_) {
                countDropped();
                return true;
            }
            ++chunkLen_;
            formFeed();
            if (chunkLen_ == kPiece) endChunk();
            return true;
        case 0x08:
            if (!cut_) backspace();
            return true;
        default:
            codes_.feed(b);
            afterCodes();
            return true;
    }
}

void LineCutter::countDropped() {
    if (++chunkLen_ == kPiece) endChunk();
}

void LineCutter::emit(std::uint16_t v) {
    if (v == kOutDrop) return;
    if (pitchDirty_) foldPitch();
    if (styleDirty_ && col_ == len_) syncStyle();
    ensurePiece();
    if (isBoxOut(v)) {
        putBoxChar(static_cast<std::uint8_t>(v));
    } else if (v == kOutUnmappable) {
        ++unmappable_;
        putCell('?');
    } else {
        putCell(static_cast<char>(v));
    }
    if (chunkLen_ == kPiece) endChunk();
}

void LineCutter::overstrike(char c) {
    while (col_ < len_ && tagByte_[col_]) ++col_;
    if (col_ == len_) {
        putCell(c);
        return;
    }
    char& old = out_[col_];
    std::uint8_t add = 0;
    if (old == c) {
        if (c != ' ') add = kBold;
    } else if (c == '_') {
        add = kUnderline;
    } else if (old == '_') {
        old = c;
        add = kUnderline;
    } else if (c != ' ') {
        old = c;  // a different character: the later one shows, as on paper it would win
    }
    if (add) {
        over_[col_] |= add;
        anyOver_ = true;
    }
    ++col_;
}

void LineCutter::backspace() {
    if (col_ == 0) return;
    --col_;
    while (col_ > 0 && tagByte_[col_]) --col_;
}

void LineCutter::utf8Start(unsigned char b) {
    const int n = utf8Length(b);
    if (n == 0) {  // a stray continuation byte or an impossible lead
        emit(kOutUnmappable);
        return;
    }
    pend_[0] = b;
    pendLen_ = 1;
    pendNeed_ = n;
}

void LineCutter::utf8Continue(unsigned char b) {
    const bool ok = pendLen_ == 1 ? validSecond(pend_[0], b) : (b & 0xC0) == 0x80;
    if (!ok) {
        // The broken sequence is one unknown character; the byte that broke it starts afresh.
        pendLen_ = 0;
        emit(kOutUnmappable);
        slowByte(b);
        return;
    }
    pend_[pendLen_++] = b;
    if (pendLen_ < pendNeed_) return;
    std::uint32_t cp = pend_[0] & (0x7F >> pendNeed_);
    for (int k = 1; k < pendNeed_; ++k) cp = (cp << 6) | (pend_[k] & 0x3F);
    pendLen_ = 0;
    emit(outputFor(cp));
}

void LineCutter::afterCodes() {
    if (codes_.generation() == codesGen_) return;
    codesGen_ = codes_.generation();
    styleDirty_ = pitchDirty_ = true;
}

void LineCutter::foldPitch() {
    pitchDirty_ = false;
    const double cpi = codes_.cpi(), lpi = codes_.lpi();
    if (!pitchSeen_) {
        cpiMin_ = cpiMax_ = cpi;
        lpiMin_ = lpiMax_ = lpi;
        pitchSeen_ = true;
        return;
    }
    cpiMin_ = std::min(cpiMin_, cpi);
    cpiMax_ = std::max(cpiMax_, cpi);
    lpiMin_ = std::min(lpiMin_, lpi);
    lpiMax_ = std::max(lpiMax_, lpi);
}

void LineCutter::syncStyle() {
    styleDirty_ = false;
    const std::uint16_t want = codes_.style();
    if (want == emitted_) return;
    for (const Tag& t : kTags)
        if ((emitted_ & t.flag) && !(want & t.flag)) appendTag(t.off, 4);
    for (const Tag& t : kTags)
        if (!(emitted_ & t.flag) && (want & t.flag)) appendTag(t.on, 3);
    emitted_ = want;
}

void LineCutter::appendTag(const char* tag, std::size_t n) {
    // A tag is never cut, and the character it is for still fits after it.
    if (chunkLen_ + n + 1 > kPiece) endChunk();
    ensurePiece();
    std::memcpy(out_ + len_, tag, n);
    std::memset(tagByte_ + len_, 1, n);
    anyTag_ = true;
    len_ += n;
    col_ = len_;
    chunkLen_ += n;
}

void LineCutter::startPiece() {
    out_ = lines_.beginAppend(kPiece);
    len_ = col_ = 0;
}

void LineCutter::scanLast(std::size_t len) {
    if (!scan_) return;
    lines_.setStyleAt(lines_.size() - 1, flags_);
    if (len) applyLineTags(lines_.textAt(lines_.size() - 1), len, flags_);
}

void LineCutter::commitPiece() {
    if (anyOver_) {
        commitRebuilt();
        std::memset(over_, 0, len_);
        anyOver_ = false;
    } else {
        lines_.endAppend(len_);
        if (anyBox_) fileBoxes(lines_.size() - 1, box_, len_);
        scanLast(len_);
        added();
    }
    if (anyBox_) {
        std::memset(box_, 0, len_ + 1);
        anyBox_ = false;
    }
    if (anyTag_) {
        std::memset(tagByte_, 0, len_);
        anyTag_ = false;
    }
}

// Overstruck cells become tags around them, on top of the styles in effect there.
void LineCutter::commitRebuilt() {
    out_[len_] = '\0';
    std::string s;
    std::vector<std::uint8_t> sbox;  // the box codes of s, by byte
    s.reserve(len_ + 64);
    std::uint16_t cur = flags_, extra = 0;
    const auto want = [&](std::uint16_t w) {
        for (const Tag& t : kTags)
            if ((extra & t.flag) && !(w & t.flag)) s += t.off;
        for (const Tag& t : kTags)
            if (!(extra & t.flag) && (w & t.flag)) s += t.on;
        extra = w;
    };
    for (std::size_t i = 0; i < len_;) {
        if (const int code = tagAt(out_ + i)) {
            want(0);
            s.append(out_ + i, static_cast<std::size_t>(tagLength(code)));
            applyTag(out_ + i, cur);
            i += static_cast<std::size_t>(tagLength(code));
            continue;
        }
        const std::uint16_t w = over_[i] & ~cur;
        if (w != extra) want(w);
        if (box_[i]) {
            sbox.resize(s.size() + 1, 0);
            sbox[s.size()] = box_[i];
        }
        s += out_[i++];
    }
    want(0);
    // The tags may have made the piece too long: it goes on in further lines, cut between tags.
    std::size_t at = 0;
    bool first = true;
    sbox.resize(s.size(), 0);
    while ((first || at < s.size()) && !full_) {
        std::size_t n = std::min(kPiece, s.size() - at);
        if (at + n < s.size()) {
            for (std::size_t k = at + n > 4 ? at + n - 3 : at; k < at + n; ++k)
                if (s[k] == '<' && tagAt(s.c_str() + k) &&
                    k + tagLength(tagAt(s.c_str() + k)) > at + n)
                    n = k - at;
        }
        if (first) {
            std::memcpy(out_, s.data(), n);
            lines_.endAppend(n);
            first = false;
        } else {
            lines_.append(s.data() + at, n);
        }
        if (anyBox_) fileBoxes(lines_.size() - 1, sbox.data() + at, n);
        scanLast(n);
        added();
        at += n;
    }
}

void LineCutter::formFeed() {
    commitPiece();
    if (!full_) {
        char* ff = lines_.beginAppend(1);
        ff[0] = '\f';
        lines_.endAppend(1);
        scanLast(1);
        added();
    }
    if (full_) {
        out_ = nullptr;
        len_ = col_ = 0;
        return;
    }
    startPiece();
}

void LineCutter::endChunk() {
    const std::size_t counted = cut_ ? cutAt_ : chunkLen_;
    if (counted > static_cast<std::size_t>(maxLength_))
        maxLength_ = static_cast<std::int32_t>(counted);
    ensurePiece();
    commitPiece();
    chunkLen_ = 0;
    cut_ = false;
    out_ = nullptr;
    len_ = col_ = 0;
}

void LineCutter::finish() {
    if (pendLen_) {  // a character cut off by the end of the file
        pendLen_ = 0;
        emit(kOutUnmappable);
    }
    if (chunkLen_ > 0 && !full_) endChunk();
}

}  // namespace folvek
