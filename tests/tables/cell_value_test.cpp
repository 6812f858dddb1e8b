// The value rules: the number forms reports use, dates, and the codes that must stay text.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "cell_value.h"
#include "sheet_text.h"

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
    EXPECT_EQ(plainValue(cellValue(u"-0,00"), ','), "-0,00");
    EXPECT_EQ(plainValue(cellValue(u"12 345 678 901,2345"), '.'), "12345678901.2345");
    EXPECT_EQ(plainValue(cellValue(u"123 456 789 012 345"), ','), "123456789012345");
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

// Random numbers in the report forms: the value read is the one a decimal reader gives for the
// same digits, and it is written back as the shortest text that reads back, as to_chars writes.
TEST(CellValue, NumbersReadAndWrittenAsDecimalReadersDo) {
    std::mt19937_64 random(30);
    for (int n = 0; n < 100000; ++n) {
        const int whole = 1 + static_cast<int>(random() % 15);
        const int decimals = static_cast<int>(random() % (16 - whole));
        std::string digits = std::to_string(1 + random() % 9);
        while (static_cast<int>(digits.size()) < whole + decimals)
            digits += static_cast<char>('0' + random() % 10);
        std::string plain = digits.substr(0, whole);
        if (decimals) plain += '.' + digits.substr(whole);
        if (random() % 2) plain = '-' + plain;
        double want = 0;
        std::from_chars(plain.data(), plain.data() + plain.size(), want);
        std::u16string text(plain.begin(), plain.end());
        if (decimals) text[text.find(u'.')] = random() % 2 ? u',' : u'.';
        const CellValue v = cellValue(text);
        if (!decimals && whole >= 10) {
            EXPECT_EQ(v.kind, ValueKind::Text) << plain;  // a code, not a number
            continue;
        }
        ASSERT_EQ(v.kind, ValueKind::Number) << plain;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(v.number), std::bit_cast<std::uint64_t>(want))
            << plain;
        // As plain text, the digits printf gives with the cell's decimals.
        char printed[64];
        std::snprintf(printed, sizeof printed, "%.*f", v.decimals, v.number);
        std::string comma = printed;
        std::replace(comma.begin(), comma.end(), '.', ',');
        ASSERT_EQ(plainValue(v, ','), comma) << plain;
    }
    // Written: report values, dates' serial days, and any other double.
    const auto check = [](double v) {
        char buf[400];
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
        std::string got;
        appendNumber(got, v);
        ASSERT_EQ(got, std::string(buf, r.ptr));
    };
    for (const double v : {0.0, -0.0, 1.0, -1.0, 0.5, 0.1, 1e-9, 1.5e-10, 99999999999999.9, 1e14,
                           -1e14, 123456789012.34, 35859.0, 1e300, 5e-324})
        check(v);
    for (int n = 0; n < 100000; ++n) {
        const int decimals = static_cast<int>(random() % 11);
        const auto mantissa = static_cast<std::int64_t>(random() % 100000000000000ull);
        check(static_cast<double>(n % 2 ? -mantissa : mantissa) / std::pow(10.0, decimals));
        check(std::bit_cast<double>(random()));
    }
}

TEST(CellValue, EveryMonthsLastDayAndTheDayAfter) {
    // 2023: no leap year; 2024: 29 February.
    const int last[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    auto date = [](int d, int m, int y) {
        char16_t text[11];
        const std::string s = (d < 10 ? "0" : "") + std::to_string(d) + (m < 10 ? ".0" : ".") +
                              std::to_string(m) + "." + std::to_string(y);
        for (std::size_t k = 0; k <= s.size(); ++k) text[k] = static_cast<char16_t>(s[k]);
        return std::u16string(text);
    };
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(cellValue(date(last[m - 1], m, 2023)).kind, ValueKind::Date) << m;
        EXPECT_EQ(cellValue(date(last[m - 1] + 1, m, 2023)).kind, ValueKind::Text) << m;
        EXPECT_EQ(cellValue(date(1, m, 2023)).kind, ValueKind::Date) << m;
    }
    EXPECT_EQ(cellValue(u"29.02.2024").kind, ValueKind::Date);
    EXPECT_EQ(cellValue(u"30.02.2024").kind, ValueKind::Text);
    // The spreadsheets' serial days: 1900 starts on day 2, the last day they know is 2958465.
    const std::pair<std::u16string, double> serials[] = {
        {u"01.01.1900", 2},       {u"01.03.1900", 61},    {u"31.12.1999", 36525},
        {u"01.01.2000", 36526},   {u"29.02.2024", 45351}, {u"01.03.2024", 45352},
        {u"31.12.9999", 2958465},
    };
    for (const auto& [text, serial] : serials) {
        const CellValue v = cellValue(text);
        ASSERT_EQ(v.kind, ValueKind::Date) << std::string(text.begin(), text.end());
        EXPECT_DOUBLE_EQ(v.number, serial) << std::string(text.begin(), text.end());
    }
    for (const std::u16string text : {u"31.12.1899", u"01.02.2023.", u"01..2023", u"01.02.20231",
                                      u"01.02.023", u"01.02.2023 ", u"0a.02.2023"})
        EXPECT_EQ(cellValue(text).kind, ValueKind::Text) << std::string(text.begin(), text.end());
}

TEST(CellValue, DigitCountsAtTheirLimits) {
    struct Case {
        std::u16string text;
        bool number;
    };
    const Case cases[] = {
        {u"1234567890123,45", true},        // fifteen digits
        {u"12345678901234,56", false},      // sixteen
        {u"123 456 789 012 345", true},     // fifteen in groups
        {u"1 234 567 890 123 456", false},  // sixteen in groups
        {u"999999999", true},               // nine without groups
        {u"1234567890", false},             // ten: an ИНН or an account
        {u"1 234 567 890", true},           // ten in groups are an amount
        {u"1234567890,5", true},            // ten with decimals are an amount too
        {u"0,00000000000001", true},        // fourteen decimals and the zero
        {u"0,000000000000001", false},      // fifteen decimals and the zero
        {u"1,5", true},
        {u"1.5", true},
        {u"1,", false},
        {u"1,5a", false},
        {u"1 000 000", true},
        {u"1 0000", false},
        {u"1000 000", false},
        {u"(1 000,5)", true},
        {u"\u22121,5", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cellValue(c.text).kind == ValueKind::Number, c.number)
            << std::string(c.text.begin(), c.text.end());
    const CellValue big = cellValue(u"123 456 789 012 345");
    EXPECT_DOUBLE_EQ(big.number, 123456789012345.0);
    EXPECT_EQ(cellValue(u"0,00000000000001").decimals, 14);
    EXPECT_DOUBLE_EQ(cellValue(u"\u22121,5").number, -1.5);
    EXPECT_EQ(numberFormat(cellValue(u"1 000,125")), "#,##0.000");
    EXPECT_EQ(numberFormat(cellValue(u"42")), "0");
    EXPECT_EQ(numberFormat(cellValue(u"01.02.2023")), "dd.mm.yyyy");
    EXPECT_EQ(plainValue(cellValue(u"-1 250,5"), '.'), "-1250.5");
    EXPECT_EQ(plainValue(cellValue(u"7"), ','), "7");
}

}  // namespace
}  // namespace folvek
