// The notes about wide lines, word for word: the headless tools' warning, the status field and
// its tip, the print dialog's note; the Russian count of characters for each ending; the font
// size in points with a decimal comma.
#include <gtest/gtest.h>

#include <string>

#include "cut_lines.h"
#include "document/layout_fakes.h"

namespace folvek::test {
namespace {

TEST(CutLines, TheWarningOfTheHeadlessTools) {
    TestRecord t;
    t->widestLine = 132;
    t->sheetColumns = 96;
    EXPECT_EQ(cutLinesWarning(*t, "use --fit"), "");
    t->linesCut = 1;
    EXPECT_EQ(cutLinesWarning(*t, "use --fit"),
              "WARNING: 1 line is wider than the sheet and cut (the widest has 132 columns, a "
              "sheet holds 96); use --fit");
    t->linesCut = 3;
    t->isWrap = 1;
    EXPECT_EQ(cutLinesWarning(*t, "hint"),
              "WARNING: 3 lines are wider than their pages' continuation sheets and cut (the "
              "widest has 132 columns, a sheet holds 96); hint");
}

TEST(CutLines, StatusTipAndDialogNote) {
    TestRecord t;
    t->widestLine = 132;
    t->sheetColumns = 96;
    EXPECT_EQ(widthStatus(*t), "");
    EXPECT_EQ(widthStatusTip(*t), "");
    EXPECT_EQ(cutLinesDialogNote(*t), "");
    t->linesCut = 2;
    t->FitWidth = 1;  // cut lines are told first, whatever the fit says
    t->fitFontHeight = 9;
    EXPECT_EQ(widthStatus(*t), "Строк шире листа: 2 — Вписать по ширине: Ctrl+W");
    EXPECT_EQ(widthStatusTip(*t),
              "Строк, которые не помещаются на листе и обрезаются у его края: 2 (самая широкая — "
              "132 знака, на листе помещается 96).\nCtrl+W («Вписать по ширине») уменьшает шрифт "
              "так, чтобы поместилась самая широкая строка.");
    EXPECT_EQ(cutLinesDialogNote(*t),
              "Строк шире листа: 2, их концы не попадут на бумагу (самая широкая — 132 знака, на "
              "листе помещается 96).\nВписать по ширине: Ctrl+W или флажок «Вписывать по ширине "
              "листа» в параметрах.");
    t->linesCut = 0;
    t->fitLandscape = true;
    EXPECT_EQ(widthStatus(*t), "Вписано по ширине: 6,5 пт, альбомная");
    EXPECT_EQ(widthStatusTip(*t),
              "Шрифт уменьшен, чтобы самая широкая строка (132 знака) поместилась на листе; лист "
              "повёрнут, иначе шрифт был бы мельче 6 пт.\nCtrl+W возвращает размер шрифта из "
              "параметров.");
    t->fitLandscape = false;
    EXPECT_EQ(widthStatusTip(*t),
              "Шрифт уменьшен, чтобы самая широкая строка (132 знака) поместилась на листе.\n"
              "Ctrl+W возвращает размер шрифта из параметров.");
    t->FitWidth = 0;  // a fit left from before the setting was turned off is not told
    EXPECT_EQ(widthStatus(*t), "");
    EXPECT_EQ(widthStatusTip(*t), "");
}

TEST(CutLines, CharactersCountedInRussianAndPointsWithADecimalComma) {
    TestRecord t;
    t->FitWidth = 1;
    t->fitFontHeight = 10;
    const std::pair<int, const char*> counts[] = {
        {1, "1 знак"},      {2, "2 знака"},      {3, "3 знака"},      {4, "4 знака"},
        {5, "5 знаков"},    {10, "10 знаков"},   {11, "11 знаков"},   {12, "12 знаков"},
        {14, "14 знаков"},  {15, "15 знаков"},   {20, "20 знаков"},   {21, "21 знак"},
        {22, "22 знака"},   {24, "24 знака"},    {25, "25 знаков"},   {101, "101 знак"},
        {104, "104 знака"}, {111, "111 знаков"}, {112, "112 знаков"}, {114, "114 знаков"},
        {121, "121 знак"},  {132, "132 знака"},  {0, "0 знаков"},
    };
    for (const auto& [n, words] : counts) {
        t->widestLine = n;
        EXPECT_NE(widthStatusTip(*t).find(std::string("строка (") + words + ")"), std::string::npos)
            << n << ": " << widthStatusTip(*t);
    }
    // Hundredths of an inch as points: 0.72 a hundredth, one decimal, ",0" left out.
    const std::pair<int, const char*> heights[] = {{100, "72"}, {50, "36"}, {1, "0,7"},
                                                   {13, "9,4"}, {25, "18"}, {7, "5"}};
    for (const auto& [height, shown] : heights) {
        t->fitFontHeight = height;
        EXPECT_EQ(widthStatus(*t), std::string("Вписано по ширине: ") + shown + " пт") << height;
    }
}

}  // namespace
}  // namespace folvek::test
