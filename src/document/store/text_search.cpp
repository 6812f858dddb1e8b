// The search over the stored lines: each line is folded once into a buffer of its visible
// characters (tags dropped, frame characters made unmatchable) and scanned with memchr for the
// query's first byte.
#include "text_search.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "line_store.h"
#include "style_tags.h"

namespace folvek {

namespace {

// Stands for a frame character in the folded text; a query never holds it.
constexpr unsigned char kFrame = 0;

const std::array<unsigned char, 256>& foldTable() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
        for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c - 'A' + 'a');
        for (int c = 0xC0; c <= 0xDF; ++c) t[c] = static_cast<unsigned char>(c + 0x20);
        t[0xA8] = 0xB8;  // Ё
        t[0xAA] = 0xBA;  // Є
        t[0xAF] = 0xBF;  // Ї
        t[0xB2] = 0xB3;  // І
        t[0xA1] = 0xA2;  // Ў
        t[0xA5] = 0xB4;  // Ґ
        return t;
    }();
    return table;
}

}  // namespace

unsigned char foldCase(unsigned char c) {
    return foldTable()[c];
}

bool isFrameByte(unsigned char c) {
    // '|' and the look-alikes of the DOS bars and top-right corners; '-', '=' and '+' are
    // also parts of numbers and words, and the top-left look-alike is the letter "г".
    return c == '|' || c == 0xA6 || c == 0xAC;
}

TextQuery::TextQuery(std::string_view text) {
    folded_.reserve(text.size());
    for (unsigned char c : text) folded_.push_back(static_cast<char>(foldCase(c)));
    // A query of frame characters alone finds nothing rather than every table.
    for (char& c : folded_)
        if (isFrameByte(static_cast<unsigned char>(c))) c = '\x01';
    if (folded_.empty()) return;
    const auto& fold = foldTable();
    for (std::size_t at : {std::size_t{0}, folded_.size() / 2, folded_.size() - 1}) {
        const auto f = static_cast<unsigned char>(folded_[at]);
        char pair[2] = {static_cast<char>(f), static_cast<char>(f)};
        for (int c = 0; c < 256; ++c)
            if (fold[c] == f && c != f) pair[1] = static_cast<char>(c);
        const std::pair<char, char> probe{pair[0], pair[1]};
        if (std::find(probes_.begin(), probes_.end(), probe) == probes_.end())
            probes_.push_back(probe);
    }
}

bool TextQuery::mayMatch(const char* text, std::size_t length) const {
    if (folded_.empty() || length < folded_.size()) return false;
    for (const auto& [lower, other] : probes_)
        if (!std::memchr(text, lower, length) &&
            (other == lower || !std::memchr(text, other, length)))
            return false;
    return true;
}

void TextQuery::scan(const char* base, std::size_t length, std::int64_t line,
                     std::vector<TextMatch>& out) const {
    const std::size_t n = folded_.size();
    if (length < n) return;
    const char* end = base + length - n + 1;
    const char first = folded_[0];
    for (const char* p = base; p < end;) {
        p = static_cast<const char*>(std::memchr(p, first, static_cast<std::size_t>(end - p)));
        if (!p) break;
        if (std::memcmp(p, folded_.data(), n) == 0) {
            out.push_back(
                {line, static_cast<std::int32_t>(p - base), static_cast<std::int32_t>(n)});
            p += n;
        } else {
            ++p;
        }
    }
}

void TextQuery::matchLine(const char* text, std::int64_t line, std::vector<TextMatch>& out) const {
    if (!text) return;
    const std::size_t length = std::strlen(text);
    if (!mayMatch(text, length)) return;
    thread_local std::string visible;
    if (visible.size() < length) visible.resize(length);
    char* const base = visible.data();
    char* w = base;
    const auto& fold = foldTable();
    for (const char* p = text; *p;) {
        if (*p == '<') {
            if (int code = tagAt(p)) {
                p += tagLength(code);
                continue;
            }
        }
        const auto c = static_cast<unsigned char>(*p++);
        *w++ = static_cast<char>(isFrameByte(c) ? kFrame : fold[c]);
    }
    scan(base, static_cast<std::size_t>(w - base), line, out);
}

void TextQuery::matchText(std::string_view text, std::int64_t line,
                          std::vector<TextMatch>& out) const {
    if (!mayMatch(text.data(), text.size())) return;
    thread_local std::string visible;
    visible.resize(text.size());
    const auto& fold = foldTable();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        visible[i] = static_cast<char>(isFrameByte(c) ? kFrame : fold[c]);
    }
    scan(visible.data(), visible.size(), line, out);
}

SearchResult searchLines(const LineStore& lines, const TextQuery& query,
                         const std::atomic<bool>* cancel) {
    SearchResult r;
    if (query.empty()) return r;
    const std::size_t count = lines.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (cancel && (i & 1023) == 0 && cancel->load(std::memory_order_relaxed)) {
            r.complete = false;
            return r;
        }
        query.matchLine(lines.textAt(i), static_cast<std::int64_t>(i), r.matches);
        if (r.matches.size() >= kMaxMatches) {
            r.matches.resize(kMaxMatches);
            r.complete = false;
            return r;
        }
    }
    return r;
}

}  // namespace folvek
