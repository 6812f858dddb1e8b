// Encoding detection on short and long samples of each encoding, the letter weights of each
// code page, UTF-8 at the edges of its forms, and the encoding names.
#include <gtest/gtest.h>

#include <map>
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
    // Good UTF-8 letters with one stray 0x80 (the lowest continuation byte) among them.
    EXPECT_NE(detect("\xD0\x9F\xD1\x80\xD0\xB8\x80\xD0\xB2\xD0\xB5\xD1\x82"), TextEncoding::Utf8);
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

// The Russian letters of each code page as the code pages define them, capitals and small
// letters in alphabet order: the detector's weights must say "letter" exactly there, "capital"
// exactly for the capitals, and give a letter the same weight in every code page.
const std::u16string kAlphabet = u"абвгдежзийклмнопрстуфхцчшщъыьэюя";

// The byte of each letter, by the layout of the code page.
std::map<char16_t, unsigned char> bytesOfLetters(TextEncoding page) {
    std::map<char16_t, unsigned char> at;
    const std::u16string capitals = u"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ";
    for (std::size_t k = 0; k < 32; ++k) {
        if (page == TextEncoding::Cp866) {
            at[capitals[k]] = static_cast<unsigned char>(0x80 + k);
            at[kAlphabet[k]] = static_cast<unsigned char>(k < 16 ? 0xA0 + k : 0xE0 + k - 16);
        } else if (page == TextEncoding::Cp1251) {
            at[capitals[k]] = static_cast<unsigned char>(0xC0 + k);
            at[kAlphabet[k]] = static_cast<unsigned char>(0xE0 + k);
        }
    }
    if (page == TextEncoding::Koi8r) {
        // KOI8-R orders the letters by their Latin look-alikes.
        const std::u16string order = u"юабцдефгхийклмнопярстужвьызшэщчъ";
        for (std::size_t k = 0; k < 32; ++k) {
            at[order[k]] = static_cast<unsigned char>(0xC0 + k);
            at[capitals[kAlphabet.find(order[k])]] = static_cast<unsigned char>(0xE0 + k);
        }
    }
    const unsigned char yo[3][2] = {{0xF0, 0xF1}, {0xA8, 0xB8}, {0xB3, 0xA3}};
    at[u'Ё'] = yo[int(page)][0];
    at[u'ё'] = yo[int(page)][1];
    return at;
}

TEST(TextEncoding, LetterWeightsFollowEachCodePagesLetters) {
    const std::u16string capitals = u"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЁ";
    for (TextEncoding page : {TextEncoding::Cp866, TextEncoding::Cp1251, TextEncoding::Koi8r}) {
        const auto letters = bytesOfLetters(page);
        ASSERT_EQ(letters.size(), 66u);
        std::map<unsigned char, char16_t> letterAt;
        for (const auto& [letter, byte] : letters) letterAt[byte] = letter;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const int w = letterScore(page, static_cast<unsigned char>(b));
            SCOPED_TRACE(testing::Message() << "page " << int(page) << " byte " << b);
            if (!letterAt.count(static_cast<unsigned char>(b))) {
                EXPECT_EQ(w, 0) << "not a letter";
                continue;
            }
            const char16_t letter = letterAt[static_cast<unsigned char>(b)];
            const bool capital = capitals.find(letter) != std::u16string::npos;
            EXPECT_LT(w, 0) << "a frequency below one";
            EXPECT_EQ((w & 1) != 0, capital);
            // The same letter weighs the same in every code page, a capital one more.
            const int in1251 =
                letterScore(TextEncoding::Cp1251, bytesOfLetters(TextEncoding::Cp1251).at(letter));
            EXPECT_EQ(w, in1251);
            const char16_t small =
                capital ? (letter == u'Ё' ? u'ё' : char16_t(letter + 0x20)) : letter;
            EXPECT_EQ(w, letterScore(page, letters.at(small)) + (capital ? 1 : 0));
        }
    }
    // The most frequent Russian letter weighs most, the rarest least.
    const auto cp1251 = bytesOfLetters(TextEncoding::Cp1251);
    for (char16_t c : kAlphabet) {
        EXPECT_LE(letterScore(TextEncoding::Cp1251, cp1251.at(c)),
                  letterScore(TextEncoding::Cp1251, cp1251.at(u'о')));
        EXPECT_GE(letterScore(TextEncoding::Cp1251, cp1251.at(c)),
                  letterScore(TextEncoding::Cp1251, cp1251.at(u'ё')));
    }
    EXPECT_EQ(letterScore(TextEncoding::Cp866, 'a'), 0);
    EXPECT_EQ(letterScore(TextEncoding::Utf8, 0xD0), 0);
}

TEST(TextEncoding, Utf8BoundariesOfEachSequenceLength) {
    // Shortest forms at both ends of each length, the code points next to the surrogates, and
    // the last code point there is.
    for (const char* good : {"\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80",
                             "\xEF\xBF\xBD", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"})
        EXPECT_EQ(detect(std::string("x") + good + "y"), TextEncoding::Utf8) << good;
    // One past each: overlong, surrogate, past U+10FFFF, a lead byte no form has, a lead
    // byte followed by ASCII.
    for (const char* bad :
         {"\xC1\xBF", "\xE0\x9F\xBF", "\xED\xBF\xBF", "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80",
          "\xF5\x80\x80\x80", "\xF8\x88\x80\x80\x80", "\xC2\x41"})
        EXPECT_NE(detect(std::string("x") + bad + "y"), TextEncoding::Utf8) << bad;
    // A valid multi-byte character ahead of an invalid one does not make the text UTF-8.
    EXPECT_NE(detect("\xD0\x9F\xC1\xBF\xE0\xEE\xEA"), TextEncoding::Utf8);
}

// Only the bytes given, and of a long file only its first 64 KiB, are read: what lies past them
// cannot spoil UTF-8.
TEST(TextEncoding, NothingPastTheSampleIsRead) {
    const std::string text = "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 ";  // "Привет "
    const std::string bad = text + "\xff\xfe";
    EXPECT_EQ(detectEncoding(reinterpret_cast<const unsigned char*>(bad.data()), text.size()),
              TextEncoding::Utf8);
    EXPECT_NE(detect(bad), TextEncoding::Utf8);
    std::string longer;
    while (longer.size() + text.size() <= kDetectSample) longer += text;
    longer += std::string(kDetectSample - longer.size(), ' ');
    EXPECT_EQ(detect(longer + "\xff\xfe"), TextEncoding::Utf8);
    longer.back() = '\xff';  // the sample's last byte is read
    EXPECT_NE(detect(longer + "\xff\xfe"), TextEncoding::Utf8);
}

TEST(TextEncoding, ThreeLettersAreEnoughToTell) {
    EXPECT_EQ(detect("\xAF\xE0\xA8"), TextEncoding::Cp866) << "\"при\" in 866";
    EXPECT_FALSE(detect("\xAF\xE0").has_value()) << "two letters";
    EXPECT_EQ(detect("\xEF\xF0\xE8"), TextEncoding::Cp1251) << "\"при\" in 1251";
    EXPECT_EQ(detect("\xD0\xD2\xC9"), TextEncoding::Koi8r) << "\"при\" in KOI8-R";
}

TEST(TextEncoding, NamesInEverySpellingAndUtf16Marks) {
    const std::pair<const char*, EncodingChoice> settings[] = {
        {"KOI8-R", EncodingChoice::Koi8r}, {" 1251 ", EncodingChoice::Cp1251},
        {"CP866", EncodingChoice::Cp866},  {"Utf-8", EncodingChoice::Utf8},
        {"koi8r", EncodingChoice::Koi8r},  {"utf8", EncodingChoice::Utf8},
        {"\tAUTO", EncodingChoice::Auto},  {"koi 8-r", EncodingChoice::Koi8r},
    };
    for (const auto& [text, choice] : settings)
        EXPECT_EQ(encodingChoiceFromSetting(text), choice) << text;
    EXPECT_FALSE(encodingChoiceFromOption("KOI8-R").has_value()) << "the command line is exact";
    EXPECT_EQ(encodingChoiceFromOption("866"), EncodingChoice::Cp866);
    EXPECT_EQ(encodingChoiceFromOption("auto"), EncodingChoice::Auto);
    EXPECT_STREQ(encodingChoiceSetting(EncodingChoice::Cp1251), "1251");
    EXPECT_STREQ(encodingChoiceSetting(EncodingChoice::Koi8r), "koi8-r");
    EXPECT_STREQ(encodingLabel(TextEncoding::Cp866), "866");
    EXPECT_STREQ(encodingLabel(TextEncoding::Cp1251), "1251");
    EXPECT_STREQ(encodingLabel(TextEncoding::Utf8), "UTF-8");
    EXPECT_STREQ(encodingLabel(TextEncoding::Utf8, Utf16Form::LittleEndian), "UTF-16LE");
    EXPECT_STREQ(encodingLabel(TextEncoding::Utf8, Utf16Form::BigEndian), "UTF-16BE");
    EXPECT_STREQ(encodingLabel(TextEncoding::Cp866, Utf16Form::None), "866");

    auto form = [](const std::string& s) {
        return utf16FormOf(reinterpret_cast<const unsigned char*>(s.data()), s.size());
    };
    EXPECT_EQ(form(std::string("\xFF\xFE", 2)), Utf16Form::LittleEndian);
    EXPECT_EQ(form(std::string("\xFF\xFE\x00", 3)), Utf16Form::LittleEndian);
    EXPECT_EQ(form(std::string("\xFF\xFE\x00\x00", 4)), Utf16Form::None) << "UTF-32's mark";
    EXPECT_EQ(form(std::string("\xFF\xFE\x00\x01", 4)), Utf16Form::LittleEndian);
    EXPECT_EQ(form(std::string("\xFE\xFF\x04\x1F", 4)), Utf16Form::BigEndian);
    EXPECT_EQ(form(std::string("\xFF", 1)), Utf16Form::None);
    EXPECT_EQ(form(std::string("\xFE\xFE", 2)), Utf16Form::None);
    EXPECT_EQ(form(std::string("\xFF\xFF", 2)), Utf16Form::None);
}

}  // namespace
}  // namespace folvek
