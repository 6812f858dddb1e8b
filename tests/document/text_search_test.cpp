// Finding text as it is shown: case folded for Latin and Cyrillic, tags and frame characters
// never matched, matches in order and not overlapping, a cancel honoured.
#include "text_search.h"

#include <gtest/gtest.h>

#include "line_store.h"

namespace folvek {
namespace {

std::vector<TextMatch> find(const std::string& query, const std::vector<std::string>& lines) {
    LineStore store;
    for (const std::string& l : lines) store.append(l.data(), l.size());
    return searchLines(store, TextQuery(query)).matches;
}

TEST(TextSearch, LettersMatchWithoutRegardToCaseInBothAlphabets) {
    // "итого" / "ИТОГО" / "Итого", and "ёж" / "ЁЖ" in code page 1251.
    const std::string lower = "\xE8\xF2\xEE\xE3\xEE", upper = "\xC8\xD2\xCE\xC3\xCE";
    EXPECT_EQ(find(lower, {upper + " 12", "x " + std::string("\xC8\xF2\xEE\xE3\xEE")}),
              (std::vector<TextMatch>{{0, 0, 5}, {1, 2, 5}}));
    EXPECT_EQ(find(upper, {lower}).size(), 1u);
    EXPECT_EQ(find("\xB8\xE6", {"\xA8\xC6"}).size(), 1u);
    EXPECT_EQ(find("Total", {"TOTAL total ToTaL"}).size(), 3u);
    // Every capital from "А" to "Я" finds its small letter, and so do "Ё", "Є", "Ї", "І", "Ў"
    // and "Ґ", whose places in 1251 lie apart.
    for (int capital = 0xC0; capital <= 0xDF; ++capital)
        EXPECT_EQ(
            find(std::string(1, char(capital + 0x20)), {std::string(1, char(capital))}).size(), 1u)
            << std::hex << capital;
    for (const auto& [capital, small] : {std::pair{0xA8, 0xB8},
                                         {0xAA, 0xBA},
                                         {0xAF, 0xBF},
                                         {0xB2, 0xB3},
                                         {0xA1, 0xA2},
                                         {0xA5, 0xB4}})
        EXPECT_EQ(find(std::string(1, char(small)), {std::string(1, char(capital))}).size(), 1u)
            << std::hex << capital;
    // Other bytes keep their identity: "е" is not "ё", digits are not letters.
    EXPECT_TRUE(find("\xE5", {"\xB8"}).empty());
    EXPECT_TRUE(find("1", {"l"}).empty());
}

TEST(TextSearch, TheQuickLineCheckNeverDropsALineThatMatches) {
    // The first, middle and last letters in either case, split by a tag; a line with all but
    // one of them; a long line after short ones (the fold buffer grows).
    const std::string word = "\xEA\xF3\xE7\xED\xE5\xF6";      // "кузнец"
    const std::string mixed = "\xCA\xF3\xE7<B>\xCD\xE5\xD6";  // "Куз<B>НеЦ"
    const std::string longLine = std::string(3000, ' ') + "\xCA\xD3\xC7\xCD\xC5\xD6";
    EXPECT_EQ(find(word, {mixed, "\xEA\xF3\xE7\xE5\xF6", "ab", longLine}),
              (std::vector<TextMatch>{{0, 0, 6}, {3, 3000, 6}}));
}

TEST(TextSearch, TagsAreSkippedAndColumnsCountOnlyWhatIsShown) {
    EXPECT_EQ(find("bold", {"<B>bo</B>ld x"}), (std::vector<TextMatch>{{0, 0, 4}}));
    EXPECT_EQ(find("x", {"<I><U>ab x"}), (std::vector<TextMatch>{{0, 3, 1}}));
    // A tag is never found as text; a broken one is text.
    EXPECT_TRUE(find("<B>", {"<B>a"}).empty());
    EXPECT_EQ(find("<b", {"<b>"}).size(), 1u);
}

TEST(TextSearch, FrameCharactersNeverMatch) {
    EXPECT_EQ(find("sum", {"|sum|"}), (std::vector<TextMatch>{{0, 1, 3}}));
    EXPECT_TRUE(find("|s", {"|sum|"}).empty());
    EXPECT_TRUE(find("|", {"|a|", "\xA6"}).empty());
    EXPECT_TRUE(find("a \xA6", {"a \xA6"}).empty());
    // Minus and plus are parts of numbers.
    EXPECT_EQ(find("12-34", {"| 12-34 |"}).size(), 1u);
}

TEST(TextSearch, MatchesAreInOrderAndDoNotOverlap) {
    EXPECT_EQ(find("aa", {"aaaaa", "", "baab"}),
              (std::vector<TextMatch>{{0, 0, 2}, {0, 2, 2}, {2, 1, 2}}));
    EXPECT_TRUE(find("", {"abc"}).empty());
    EXPECT_TRUE(find("abcd", {"abc"}).empty());
}

TEST(TextSearch, ACancelStopsTheSearchAndSaysSo) {
    LineStore store;
    for (int i = 0; i < 5000; ++i) store.append("match", 5);
    std::atomic<bool> cancel{true};
    const SearchResult r = searchLines(store, TextQuery("match"), &cancel);
    EXPECT_FALSE(r.complete);
    EXPECT_LT(r.matches.size(), 5000u);
    cancel = false;
    const SearchResult all = searchLines(store, TextQuery("match"), &cancel);
    EXPECT_TRUE(all.complete);
    EXPECT_EQ(all.matches.size(), 5000u);
}

}  // namespace
}  // namespace folvek
