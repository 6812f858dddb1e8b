// Tables found from frames drawn with box characters and with ASCII: columns, merged headings,
// multi-line cells, records, and a table continued over a page break.
#include <gtest/gtest.h>

#include "table_finder.h"

namespace folvek {
namespace {

CharGrid gridOf(std::initializer_list<std::u16string> rows) {
    // A row "\f" stands for a form feed: an empty row, the next one starts a page.
    CharGrid g;
    bool afterFormFeed = false;
    for (const auto& r : rows) {
        g.addRow(r == u"\f" ? u"" : r, afterFormFeed);
        afterFormFeed = r == u"\f";
    }
    return g;
}

std::u16string cell(const Table& t, int r, int c) {
    return std::u16string(t.text(r, c));
}

TEST(TableFinder, BoxTableWithMergedTwoLevelHeading) {
    const CharGrid g = gridOf({
        u"Ведомость остатков",
        u"┌────┬─────────────────┐",
        u"│    │      Сумма      │",
        u"│ №  ├────────┬────────┤",
        u"│    │ приход │ расход │",
        u"├────┼────────┼────────┤",
        u"│ 1  │ 100,00 │  50,00 │",
        u"│ 2  │1 250,00│ (15,50)│",
        u"└────┴────────┴────────┘",
    });
    const FoundTables found = findTables(g);
    ASSERT_EQ(found.tables.size(), 1u);
    const Table& t = found.tables[0];
    EXPECT_EQ(t.columns, 3);
    EXPECT_EQ(t.rows, 4);
    EXPECT_EQ(t.headingRows, 2);
    EXPECT_EQ(cell(t, 0, 0), u"№");
    EXPECT_EQ(t.at(0, 0).rowSpan, 2);
    EXPECT_TRUE(t.at(1, 0).covered);
    EXPECT_EQ(cell(t, 0, 1), u"Сумма");
    EXPECT_EQ(t.at(0, 1).columnSpan, 2);
    EXPECT_EQ(cell(t, 1, 1), u"приход");
    EXPECT_EQ(cell(t, 1, 2), u"расход");
    EXPECT_EQ(cell(t, 2, 1), u"100,00");
    EXPECT_EQ(cell(t, 3, 1), u"1 250,00");
    EXPECT_EQ(cell(t, 3, 2), u"(15,50)");
}

TEST(TableFinder, AsciiFrameHeadingLinesJoinedAndMinusSignsStayText) {
    const CharGrid g = gridOf({
        u"+------+-----------+-------+",
        u"| Код  | Наимено-  | Сумма |",
        u"|      | вание     |       |",
        u"+------+-----------+-------+",
        u"|000123| Стол      | -15,5 |",
        u"|000124|Стул -- б/у|  3-4  |",
        u"+------+-----------+-------+",
        u"Итого: 1 - 2 = -1",
    });
    const FoundTables found = findTables(g);
    ASSERT_EQ(found.tables.size(), 1u);
    const Table& t = found.tables[0];
    ASSERT_EQ(t.columns, 3);
    ASSERT_EQ(t.rows, 3);
    EXPECT_EQ(cell(t, 0, 1), u"Наимено-\nвание");
    EXPECT_EQ(cell(t, 1, 0), u"000123");
    EXPECT_EQ(cell(t, 1, 2), u"-15,5");
    EXPECT_EQ(cell(t, 2, 1), u"Стул -- б/у");
}

TEST(TableFinder, RecordsRuledApartAreOneRowEach) {
    const CharGrid g = gridOf({
        u"┌──────┬──────┐",
        u"│ Имя  │ Адрес│",
        u"├──────┼──────┤",
        u"│ Иван │ Тула │",
        u"│      │ д. 5 │",
        u"├──────┼──────┤",
        u"│ Пётр │ Орёл │",
        u"│      │ д. 7 │",
        u"└──────┴──────┘",
    });
    const Table t = findTables(g).tables.at(0);
    ASSERT_EQ(t.rows, 3);
    EXPECT_EQ(cell(t, 1, 1), u"Тула\nд. 5");
    EXPECT_EQ(cell(t, 2, 0), u"Пётр");
}

TEST(TableFinder, BodyLinesWithoutRulesAreRowsAndBlankLinesDropped) {
    const CharGrid g = gridOf({
        u"┌──────┬──────┐",
        u"│ Имя  │ Сумма│",
        u"├──────┼──────┤",
        u"│ а    │ 1,00 │",
        u"│      │      │",
        u"│ б    │ 2,00 │",
        u"├──────┼──────┤",
        u"│Итого │ 3,00 │",
        u"└──────┴──────┘",
    });
    const Table t = findTables(g).tables.at(0);
    ASSERT_EQ(t.rows, 4);
    EXPECT_EQ(cell(t, 2, 0), u"б");
    EXPECT_EQ(cell(t, 3, 1), u"3,00");
}

TEST(TableFinder, TableContinuedOverAPageBreakKeepsItsHeadingOnce) {
    const CharGrid g = gridOf({
        u"┌──────┬──────┐",
        u"│ Имя  │ Сумма│",
        u"├──────┼──────┤",
        u"│ а    │ 1,00 │",
        u"└──────┴──────┘",
        u"\f",
        u"   Лист 2",
        u"┌──────┬──────┐",
        u"│ Имя  │ Сумма│",
        u"├──────┼──────┤",
        u"│ б    │ 2,00 │",
        u"└──────┴──────┘",
        u"\f",
        u"┌──────┬──────┐",
        u"│ Код  │ Сумма│",
        u"├──────┼──────┤",
        u"│ 7    │ 2,00 │",
        u"└──────┴──────┘",
    });
    const FoundTables found = findTables(g);
    ASSERT_EQ(found.tables.size(), 2u);  // the third has another heading: a table of its own
    const Table& t = found.tables[0];
    ASSERT_EQ(t.rows, 3);
    EXPECT_EQ(cell(t, 1, 0), u"а");
    EXPECT_EQ(cell(t, 2, 0), u"б");
    EXPECT_EQ(t.spans.size(), 2u);
    EXPECT_EQ(tableAt(found.tables, 10, 3), 0);
    EXPECT_EQ(tableAt(found.tables, 16, 3), 1);
    EXPECT_EQ(tableAt(found.tables, 6, 3), -1);
    // Without the page break the two are tables of their own.
    EXPECT_EQ(findTableParts(g).size(), 3u);
}

TEST(TableFinder, PartAfterAPageBreakWithRowsRuledApartIsNoHeading) {
    const CharGrid g = gridOf({
        u"+-----+------+",
        u"| N   | Сумма|",
        u"+=====+======+",
        u"|  1  | 1,00 |",
        u"\f",
        u"|  2  | 2,00 |",
        u"|  3  | 3,00 |",
        u"+=====+======+",
        u"|  4  | 4,00 |",
        u"+-----+------+",
    });
    const FoundTables found = findTables(g);
    ASSERT_EQ(found.tables.size(), 1u);
    const Table& t = found.tables[0];
    EXPECT_EQ(t.headingRows, 1);
    ASSERT_EQ(t.rows, 5);
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(cell(t, r, 0), std::u16string(1, u'0' + r));
}

// One body between rules is no run of records: each of its lines is a row of its own. Either
// way only the lines above the first rule are heading.
TEST(TableFinder, BodyLinesAndRecordsAreRowsAndOnlyTheLinesAboveTheRuleAreHeading) {
    const CharGrid g = gridOf({
        u"+----+------+",
        u"| N  | Сумма|",
        u"+----+------+",
        u"| 1  | 1,00 |",
        u"| 2  | 2,00 |",
        u"| 3  | 3,00 |",
        u"+----+------+",
    });
    const FoundTables found = findTables(g);
    ASSERT_EQ(found.tables.size(), 1u);
    const Table& t = found.tables[0];
    EXPECT_EQ(t.headingRows, 1);
    ASSERT_EQ(t.rows, 4);
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(cell(t, r, 0), std::u16string(1, u'0' + r));
        EXPECT_EQ(cell(t, r, 1), std::u16string(1, u'0' + r) + u",00");
    }
    // Records ruled apart: a row each, and the heading still the one row above the first rule.
    const FoundTables records = findTables(gridOf({
        u"+----+------+",
        u"| N  | Сумма|",
        u"+----+------+",
        u"| 1  | 1,00 |",
        u"+----+------+",
        u"| 2  | 2,00 |",
        u"+----+------+",
    }));
    ASSERT_EQ(records.tables.size(), 1u);
    EXPECT_EQ(records.tables[0].headingRows, 1);
    ASSERT_EQ(records.tables[0].rows, 3);
    EXPECT_EQ(cell(records.tables[0], 2, 1), u"2,00");
}

TEST(TableFinder, PiecesOnSeveralCoresFindWhatOneFinds) {
    CharGrid g;
    for (int k = 0; k < 400; ++k) {
        g.addRow(u"┌────┬──────┐", k % 3 == 0);
        g.addRow(u"│ N  │ Сумма│");
        g.addRow(u"├────┼──────┤");
        for (int r = 0; r < k % 7 + 1; ++r)
            g.addRow(u"│ " + std::u16string(1, u'0' + r) + u"  │ 1,50 │");
        g.addRow(u"└────┴──────┘");
        g.addRow(k % 2 ? u"" : u"Итого");
    }
    const std::vector<Table> one = findTableParts(g, {}, 1);
    const std::vector<Table> many = findTableParts(g, {}, 13);
    ASSERT_EQ(one.size(), 400u);
    ASSERT_EQ(many.size(), one.size());
    for (std::size_t k = 0; k < one.size(); ++k) {
        EXPECT_EQ(many[k].rows, one[k].rows);
        EXPECT_EQ(many[k].spans.front().firstRow, one[k].spans.front().firstRow);
        EXPECT_EQ(cell(many[k], many[k].rows - 1, 0), cell(one[k], one[k].rows - 1, 0));
    }
}

TEST(TableFinder, TextThatIsNoTable) {
    const CharGrid g = gridOf({
        u"Счёт 1-2-3 + 4 = 10",
        u"---------------------",
        u"|  Заголовок в рамке |",
        u"---------------------",
        u"",
        u"a | b",
        u"c | d",
    });
    EXPECT_TRUE(findTables(g).tables.empty());
}

// A rectangle selected inside a table: the bars alone make the columns, and the bars of the
// same rows make one table, not one per bar.
TEST(TableFinder, BarsAloneInASelectionMakeColumns) {
    const CharGrid g = gridOf({
        u"Гайка М8  | 120 | 15,50",
        u"Болт М8   |  40 |  7,25",
    });
    EXPECT_TRUE(findTables(g).tables.empty());
    const FoundTables found = findTables(g, {}, true);
    ASSERT_EQ(found.tables.size(), 1u);
    const Table& t = found.tables[0];
    EXPECT_EQ(t.columns, 3);
    EXPECT_EQ(t.rows, 2);
    EXPECT_EQ(cell(t, 1, 0), u"Болт М8");
    EXPECT_EQ(cell(t, 0, 2), u"15,50");
}

}  // namespace
}  // namespace folvek
