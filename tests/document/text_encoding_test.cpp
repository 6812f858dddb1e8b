// Encoding detection on short and long samples of each encoding, and the encoding names.
#include <gtest/gtest.h>

#include <string>

#include "text_encoding.h"

namespace folvek {
namespace {

struct Sample {
    const char* name;
    std::string bytes;
    TextEncoding expected;
};

std::optional<TextEncoding> detect(const std::string& s) {
    return detectEncoding(reinterpret_cast<const unsigned char*>(s.data()), s.size());
}

TEST(TextEncoding, DetectsEachEncodingInShortAndLongSamples) {
    const Sample samples[] = {
#include "text_encoding_cases.inc"
    };
    for (const Sample& s : samples) {
        const auto got = detect(s.bytes);
        ASSERT_TRUE(got.has_value()) << s.name;
        EXPECT_EQ(*got, s.expected) << s.name;
    }
}

TEST(TextEncoding, UndecidedWithoutEnoughLetters) {
    EXPECT_FALSE(detect("plain ASCII report\n+---+\n| 1 |\n").has_value());
    EXPECT_FALSE(detect("").has_value());
    EXPECT_FALSE(detect("\xA0\xA1").has_value());  // two letters are too few to tell
}

TEST(TextEncoding, BomAndInvalidUtf8) {
    EXPECT_EQ(detect("\xEF\xBB\xBFplain"), TextEncoding::Utf8);
    // Overlong, surrogate and stray continuation bytes are not UTF-8: one of the code pages.
    for (const char* bad : {"\xC0\xAF\xE0\xEE\xEA", "\xED\xA0\x80\xE0\xEE\xEA", "\x80\xE0\xEE\xEA"})
        EXPECT_NE(detect(bad), TextEncoding::Utf8) << bad;
    // A character cut off by the end of the sample still counts as UTF-8.
    EXPECT_EQ(detect("\xD0\x9F\xD1\x80\xD0"), TextEncoding::Utf8);
    // UTF-16 never crashes and is not taken for UTF-8.
    const std::string utf16("\xFF\xFE\x1F\x04\x40\x04", 6);
    EXPECT_NE(detect(utf16), TextEncoding::Utf8);
}

TEST(TextEncoding, SettingAndOptionNames) {
    EXPECT_EQ(encodingChoiceFromSetting("koi8-r"), EncodingChoice::Koi8r);
    EXPECT_EQ(encodingChoiceFromSetting("866"), EncodingChoice::Cp866);
    EXPECT_EQ(encodingChoiceFromSetting("latin1"), EncodingChoice::Auto);
    EXPECT_EQ(encodingChoiceFromSetting(""), EncodingChoice::Auto);
    for (EncodingChoice c : {EncodingChoice::Auto, EncodingChoice::Cp866, EncodingChoice::Cp1251,
                             EncodingChoice::Koi8r, EncodingChoice::Utf8})
        EXPECT_EQ(encodingChoiceFromSetting(encodingChoiceSetting(c)), c);
    EXPECT_EQ(encodingChoiceFromOption("cp1251"), EncodingChoice::Cp1251);
    EXPECT_FALSE(encodingChoiceFromOption("cp437").has_value());
    EXPECT_STREQ(encodingLabel(TextEncoding::Koi8r), "KOI8-R");
}

}  // namespace
}  // namespace folvek
