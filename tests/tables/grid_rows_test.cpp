// A grid's rows kept in blocks: every row reads back as added, across blocks, after rows
// longer than a block, and after two grids are joined and rows added to the result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "char_grid.h"

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

}  // namespace
}  // namespace folvek
