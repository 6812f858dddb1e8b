// The character tables against characters every reference prints the same.
#include <gtest/gtest.h>

#include "char_tables.h"

using namespace folvek::printer;

TEST(CharTables, EachTableDecodesItsOwnLettersAndBoxes) {
    EXPECT_EQ(toUnicode(CharTable::Pc866, 0x80), U'А');
    EXPECT_EQ(toUnicode(CharTable::Pc866, 0xC4), U'─');
    EXPECT_EQ(toUnicode(CharTable::Pc866, 0xF0), U'Ё');
    EXPECT_EQ(toUnicode(CharTable::Pc437, 0x80), U'Ç');
    EXPECT_EQ(toUnicode(CharTable::Pc437, 0xC9), U'╔');
    EXPECT_EQ(toUnicode(CharTable::Pc850, 0x9D), U'Ø');
    EXPECT_EQ(toUnicode(CharTable::Win1251, 0xC0), U'А');
    EXPECT_EQ(toUnicode(CharTable::Pc852, 0xA5), U'ą');
    EXPECT_EQ(toUnicode(CharTable::Win1252, 0x80), U'€');
    for (auto t : {CharTable::Pc437, CharTable::Pc866, CharTable::Win1251})
        EXPECT_EQ(toUnicode(t, 'A'), U'A');
}

TEST(CharTables, OnlyKnownCodePagesChooseATable) {
    CharTable t = CharTable::Pc437;
    EXPECT_TRUE(charTableForCodePage(866, t));
    EXPECT_EQ(t, CharTable::Pc866);
    EXPECT_FALSE(charTableForCodePage(1250, t));
    EXPECT_EQ(t, CharTable::Pc866);
}
