// Finding a text in the document as it is shown: tags never match, frame characters never
// match, and letters match without regard to case (Latin and Cyrillic of code page 1251).
// The search reads lines by index only, so it may run on another thread while nothing
// changes the lines.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace folvek {

class LineStore;

// A match: the line, the visible column of its first character (tags do not count) and its
// length in visible characters.
struct TextMatch {
    std::int64_t line = 0;
    std::int32_t column = 0;
    std::int32_t length = 0;
    auto operator<=>(const TextMatch&) const = default;
};

class TextQuery {
  public:
    // `text` in code page 1251, as the document holds it.
    explicit TextQuery(std::string_view text);
    bool empty() const { return folded_.empty(); }

    // Appends the matches of one stored line, left to right, not overlapping.
    void matchLine(const char* text, std::int64_t line, std::vector<TextMatch>& out) const;
    // The same for a text without tags (a printer job's, in code page 1251, where a byte 0
    // stands for a character the code page lacks): every byte is a visible character.
    void matchText(std::string_view text, std::int64_t line, std::vector<TextMatch>& out) const;

  private:
    bool mayMatch(const char* text, std::size_t length) const;
    void scan(const char* base, std::size_t length, std::int64_t line,
              std::vector<TextMatch>& out) const;

    std::string folded_;
    // For a few of the query's characters, the two bytes that fold to each (the same byte twice
    // when only one does): a line without any of a pair cannot match, and memchr tells fast.
    std::vector<std::pair<char, char>> probes_;
};

struct SearchResult {
    std::vector<TextMatch> matches;  // in document order
    bool complete = true;            // false: cancelled, or stopped at kMaxMatches
};

inline constexpr std::size_t kMaxMatches = 1'000'000;

// Every match in the lines; `cancel` (may be null) is looked at between lines.
SearchResult searchLines(const LineStore& lines, const TextQuery& query,
                         const std::atomic<bool>* cancel = nullptr);

// The byte a frame character of the shown text is drawn as; true for the characters that
// frame tables after the DOS conversion (bars, corners) and never for letters of a word.
bool isFrameByte(unsigned char c);

// The case fold of a code page 1251 byte: upper-case letters to lower case, Ё to ё.
unsigned char foldCase(unsigned char c);

}  // namespace folvek
