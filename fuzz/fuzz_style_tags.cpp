// The tag walker against a plain reading of the tag grammar: a tag is one of <B> <I> <U>
// </B> </I> </U> exactly (upper case); every other byte, a lone '<' included, is a visible
// character, and tags take effect on the characters after them.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "style_tags.h"

using namespace folvek;

namespace {

struct Token {
    int code = 0;        // tag code, 0 for a visible character
    std::size_t at = 0;  // offset in the line
};

std::vector<Token> tokens(const std::string& s) {
    static const struct {
        const char* text;
        int code;
    } kTags[] = {{"<B>", 1}, {"<I>", 2}, {"<U>", 3}, {"</B>", 11}, {"</I>", 12}, {"</U>", 13}};
    std::vector<Token> out;
    for (std::size_t i = 0; i < s.size();) {
        int code = 0;
        for (const auto& t : kTags)
            if (s.compare(i, std::strlen(t.text), t.text) == 0) code = t.code;
        out.push_back({code, i});
        i += code ? (code > 10 ? 4 : 3) : 1;
    }
    return out;
}

void apply(int code, std::uint16_t& style) {
    const std::uint16_t bit = code % 10 == 1 ? kBold : code % 10 == 2 ? kItalic : kUnderline;
    if (code > 10)
        style &= static_cast<std::uint16_t>(~bit);
    else if (code)
        style |= bit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::uint16_t start = data[0] & 7;
    const int pick = data[1] << 8 | data[2];
    std::string line(reinterpret_cast<const char*>(data + 3), size - 3);
    line = line.substr(0, line.find('\0'));  // lines hold no NUL
    const char* c = line.c_str();
    const std::vector<Token> toks = tokens(line);

    for (std::size_t i = 0; i <= line.size(); ++i) {
        int want = 0;
        for (const Token& t : toks)
            if (t.at == i) want = t.code;
        FUZZ_CHECK(tagAt(c + i) == want);
        std::uint16_t a = start, b = start;
        FUZZ_CHECK(applyTag(c + i, a) == want);
        apply(want, b);
        FUZZ_CHECK(a == b);
    }

    std::vector<std::size_t> visible;  // offsets of the visible characters
    for (const Token& t : toks)
        if (!t.code) visible.push_back(t.at);
    FUZZ_CHECK(visibleLength(c) == static_cast<int>(visible.size()));

    // A column from the input, and the columns around the ends.
    const int n = pick % 2048 - 16;
    for (int col : {n, 0, static_cast<int>(visible.size()), static_cast<int>(visible.size()) - 1,
                    static_cast<int>(visible.size()) + 1, -1, 65536 + n}) {
        const bool inside = col >= 0 && static_cast<std::size_t>(col) < visible.size();
        FUZZ_CHECK(visibleCharAt(c, col) == (inside ? line[visible[col]] : '\0'));

        // skipVisible: the tags before the character are applied; one past the last character
        // is the end of the line with every tag applied; further is null.
        std::uint16_t style = start, ref = start;
        const char* got = skipVisible(c, col, style);
        std::size_t stop = line.size();
        if (inside) stop = visible[col];
        for (const Token& t : toks)
            if (t.code && t.at < stop) apply(t.code, ref);
        if (inside) {
            FUZZ_CHECK(got == c + visible[col]);
        } else if (col == static_cast<int>(visible.size())) {
            FUZZ_CHECK(got == c + line.size());
        } else {
            FUZZ_CHECK(got == nullptr);
        }
        FUZZ_CHECK(style == ref);
    }
    FUZZ_CHECK(visibleLength(nullptr) == 0 && visibleCharAt(nullptr, 0) == '\0');
    return 0;
}
