// A grid's rows kept in blocks: every row reads back as added, across blocks, after rows
// longer than a block, and after two grids are joined and rows added to the result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "char_grid.h"
#include "document/layout_fakes.h"
#include "document_grid.h"

namespace folvek {
namespace {

std::u16string rowText(std::size_t k) {
    // Lengths from empty to well past a block (65536 characters) now and then.
    const std::size_t length = k % 97 == 0 ? 70000 + k : (k * 37) % 300;
    std::u16string text(length, u' ');
    for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char16_t>(u'А' + (k + i) % 32);
    return text;
}

TEST(GridRows, EveryRowReadsBackAcrossBlocksAndJoins) {
    CharGrid first, second;
    std::vector<std::u16string> want;
    for (std::size_t k = 0; k < 3000; ++k) {
        want.push_back(rowText(k));
        (k < 1800 ? first : second).addRow(want.back(), k % 50 == 0, static_cast<std::int64_t>(k));
    }
    first.append(std::move(second));
    for (std::size_t k = 3000; k < 3500; ++k) {
        want.push_back(rowText(k));
        first.addRow(want.back(), false, static_cast<std::int64_t>(k));
    }
    EXPECT_TRUE(second.rows.empty());
    ASSERT_EQ(first.rows.size(), want.size());
    ASSERT_EQ(first.source.size(), want.size());
    for (std::size_t k = 0; k < want.size(); ++k) {
        ASSERT_EQ(std::u16string(first.rows[k]), want[k]) << k;
        ASSERT_EQ(first.source[k], static_cast<std::int64_t>(k));
        ASSERT_EQ(first.pageStart[k], k < 3000 && k % 50 == 0 ? 1 : 0) << k;
    }
    EXPECT_EQ(first.at(1, 0), want[1][0]);
    EXPECT_EQ(first.at(1, 37), u' ');  // past the end of a row
}

TEST(DocumentGrid, TheRowAfterEachFormFeedStartsAPageOnBothHalves) {
    // Form feeds are rows of their own, empty in the grid; the row after one starts a page,
    // also where a big report is spelled in two halves.
    for (std::size_t n : {std::size_t{8}, std::size_t{20002}}) {
        std::vector<std::string> lines(n, "text | 1");
        const std::vector<std::size_t> feeds = {1, 3, 4, n / 2 - 1, n / 2, n - 2};
        for (std::size_t f : feeds) lines[f] = "\f";
        test::TestRecord t;
        t.setLines(lines);
        const CharGrid grid = documentGrid(*t);
        ASSERT_EQ(grid.rows.size(), n) << n;
        for (std::size_t k = 0; k < n; ++k) {
            const bool feed = lines[k] == "\f";
            const bool after = k > 0 && lines[k - 1] == "\f";
            ASSERT_EQ(grid.pageStart[k], after ? 1 : 0) << n << " " << k;
            ASSERT_EQ(std::u16string(grid.rows[k]), feed ? u"" : u"text | 1") << n << " " << k;
            ASSERT_EQ(grid.source[k], static_cast<std::int64_t>(k));
        }
    }
}

}  // namespace
}  // namespace folvek
