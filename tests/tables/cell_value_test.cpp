// The value rules: the number forms reports use, dates, and the codes that must stay text.
#include <gtest/gtest.h>

#include "cell_value.h"

namespace folvek {
namespace {

TEST(CellValue, NumbersInTheFormsReportsWrite) {
    struct Case {
        std::u16string text;
        double number;
        int decimals;
        bool grouped;
    };
    const Case cases[] = {
        {u"1 250,00", 1250, 2, true},
        {u"1250.00", 1250, 2, false},
        {u"-15,5", -15.5, 1, false},
        {u"(15,50)", -15.5, 2, false},
        {u"12 345 678", 12345678, 0, true},
        {u"0,75", 0.75, 2, false},
        {u"42", 42, 0, false},
        {u"999999999", 999999999, 0, false},
        {u"1\u00A0000,5", 1000.5, 1, true},
    };
    for (const Case& c : cases) {
        const CellValue v = cellValue(c.text);
        ASSERT_EQ(v.kind, ValueKind::Number) << std::string(c.text.begin(), c.text.end());
        EXPECT_DOUBLE_EQ(v.number, c.number);
        EXPECT_EQ(v.decimals, c.decimals);
        EXPECT_EQ(v.grouped, c.grouped);
    }
    EXPECT_EQ(numberFormat(cellValue(u"1 250,00")), "#,##0.00");
    EXPECT_EQ(numberFormat(cellValue(u"-15,5")), "0.0");
    EXPECT_EQ(plainValue(cellValue(u"1 250,00"), ','), "1250,00");
    EXPECT_EQ(plainValue(cellValue(u"(15,50)"), ','), "-15,50");
}

TEST(CellValue, CodesAndTextAreNeverNumbers) {
    for (const std::u16string text :
         {u"000123", u"7701234567", u"40702810900000012345", u"12 34", u"1 2345", u"1,2,3", u"1.",
          u",5", u"-", u"()", u"(-5)", u"+5", u"5%", u"1 250,00 руб.", u"12-34",
          u"1234567890123456,5", u"", u"00,50", u" 15"}) {
        EXPECT_EQ(cellValue(text).kind, ValueKind::Text) << std::string(text.begin(), text.end());
    }
}

TEST(CellValue, DatesOfRealDays) {
    const CellValue a = cellValue(u"05.03.1998");
    ASSERT_EQ(a.kind, ValueKind::Date);
    EXPECT_EQ(a.year, 1998);
    EXPECT_EQ(a.month, 3);
    EXPECT_EQ(a.day, 5);
    EXPECT_DOUBLE_EQ(a.number, 35859);  // the spreadsheets' serial of 5 March 1998
    EXPECT_EQ(cellValue(u"05.03.98").year, 1998);
    EXPECT_EQ(cellValue(u"05.03.07").year, 2007);
    // Two-digit years run from 1930 to 2029, as the spreadsheets read them.
    EXPECT_EQ(cellValue(u"31.12.29").year, 2029);
    EXPECT_EQ(cellValue(u"01.01.30").year, 1930);
    EXPECT_EQ(cellValue(u"29.02.2000").kind, ValueKind::Date);
    EXPECT_EQ(cellValue(u"29.02.2024").kind, ValueKind::Date);
    // Centuries are leap years only every fourth one: 1900 and 2100 have no 29 February.
    for (const std::u16string text :
         {u"29.02.1900", u"29.02.2100", u"29.02.1999", u"31.04.1998", u"5.3.98", u"05.13.98",
          u"05.03.998", u"05.03", u"00.01.2000"})
        EXPECT_EQ(cellValue(text).kind, ValueKind::Text) << std::string(text.begin(), text.end());
    EXPECT_EQ(plainValue(cellValue(u"05.03.98"), ','), "05.03.1998");
}

}  // namespace
}  // namespace folvek
