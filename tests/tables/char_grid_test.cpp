// The arms of a grid's cells, worked out by hand for small frames: ASCII frames from the first
// column, a cross fed by one dash, '+' over '+', box-drawing characters, a bar a line runs
// into, a lone '+' that is text, and rows taken apart from their neighbours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "char_grid.h"

namespace folvek {
namespace {

constexpr std::uint8_t U = ArmUp, D = ArmDown, L = ArmLeft, R = ArmRight;
constexpr std::uint8_t H = L | R, V = U | D;

CharGrid gridOf(const std::vector<std::u16string>& rows) {
    CharGrid g;
    for (const auto& r : rows) g.addRow(r);
    return g;
}

// Each row's arms, trailing cells without arms left out, so that the cases read short.
std::vector<std::vector<std::uint8_t>> trimmed(const GridArms& grid) {
    std::vector<std::vector<std::uint8_t>> arms;
    for (std::size_t r = 0; r < grid.size(); ++r) {
        arms.emplace_back(grid[r].begin(), grid[r].end());
        while (!arms.back().empty() && arms.back().back() == 0) arms.back().pop_back();
    }
    return arms;
}

TEST(CharGrid, ArmsOfSmallFrames) {
    struct Case {
        const char* name;
        std::vector<std::u16string> rows;
        std::vector<std::vector<std::uint8_t>> arms;
    };
    const Case cases[] = {
        {"ASCII frame from the first column, a lone '+' with one arm is text",
         {u"+--+--+", u"|  |  |", u"+--+--+", u"a +- b"},
         {{R | D, H, H, H | D, H, H, L | D},
          {V, 0, 0, V, 0, 0, V},
          {U | R, H, H, U | H, H, H, U | L},
          {0, 0, 0, H}}},
        {"a cross in the second column, fed by one dash on each side",
         {u" |", u"-+-", u" |"},
         {{0, V}, {H, U | D | L | R, H}, {0, V}}},
        {"'+' right over '+'", {u"+-+", u"+-+"}, {{R | D, H, L | D}, {U | R, H, U | L}}},
        {"box-drawing characters carry their own arms",
         {u"┌─╥┐", u"│ ║│", u"╞═╬╡", u"└─╨┘"},
         {{R | D, H, H | D, L | D},
          {V, 0, V, V},
          {V | R, H, V | H, V | L},
          {U | R, H, U | H, U | L}}},
        {"a bar a line runs into takes it on; a broken bar is a bar",
         {u"--|--", u"==¦"},
         {{H, H, V | H, H, H}, {H, H, V | L}}},
        {"one dash alone is text, two are a line", {u"a-b", u"a--b"}, {{}, {0, H, H}}},
        {"a bar in the second column meets the line on its left; a '+' with one arm does not",
         {u"─|", u"", u"+-|", u"", u"|─"},
         {{H, V | L}, {}, {0, H, V | L}, {}, {V | R, H}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(trimmed(gridArms(gridOf(c.rows))), c.arms);
    }
}

TEST(CharGrid, RowsFilledApartTakeTheirNeighboursAsEmpty) {
    const CharGrid g = gridOf({u"+-+", u"+-+", u"+-+"});
    GridArms arms(g);
    fillArms(g, 1, 2, arms);
    // The middle row alone: its '+' meet nothing above or below, one arm each, so text.
    EXPECT_EQ(trimmed(arms), (std::vector<std::vector<std::uint8_t>>{{}, {0, H}, {}}));
    arms = GridArms(g);
    fillArms(g, 0, 2, arms);
    EXPECT_EQ(trimmed(arms),
              (std::vector<std::vector<std::uint8_t>>{{R | D, H, L | D}, {U | R, H, U | L}, {}}));
    arms = GridArms(g);
    fillArms(g, 1, 3, arms);
    EXPECT_EQ(trimmed(arms),
              (std::vector<std::vector<std::uint8_t>>{{}, {R | D, H, L | D}, {U | R, H, U | L}}));
}

TEST(CharGrid, WhatMayHoldAFrame) {
    EXPECT_FALSE(mayHoldFrame(u"Итого 125,00"));
    EXPECT_FALSE(mayHoldFrame(u""));
    EXPECT_FALSE(mayHoldFrame(u"\u00E9\u24FF"));  // below the box-drawing block
    for (const std::u16string row : {u"a-b", u"a=b", u"a|b", u"a¦b", u"a+b", u"─", u"█"})
        EXPECT_TRUE(mayHoldFrame(row)) << std::string(row.begin(), row.end());
    EXPECT_EQ(boxCharArms(u'┼'), U | D | L | R);
    EXPECT_EQ(boxCharArms(u'╔'), R | D);
    EXPECT_EQ(boxCharArms(u'╝'), U | L);
    EXPECT_EQ(boxCharArms(u'░'), 0);
    EXPECT_EQ(boxCharArms(u'+'), 0);
    EXPECT_EQ(boxCharArms(u'\u2580'), 0);
}

}  // namespace
}  // namespace folvek
