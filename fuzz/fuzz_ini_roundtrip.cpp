// Settings files from anywhere. First the reader and writer on arbitrary text: every line comes
// back as it was and a value set is the value read. Then the profile: the input also gives
// every setting; saved over the arbitrary file and loaded into a fresh record, each one reads
// back as it was set (texts within their field lengths, margins to two decimals).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "document/layout_fakes.h"
#include "fuzz_support.h"
#include "ini_file.h"
#include "utf8_cut.h"

using namespace folvek;

namespace {

std::string trimBlanks(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return s.substr(i);
}

// A value a settings file can hold: one line, blanks around it do not count.
std::string storable(std::string s, std::size_t limit, bool nul = false) {
    std::string out;
    for (char c : s)
        if (c != '\r' && c != '\n' && (!nul || c != '\0')) out.push_back(c);
    out = trimBlanks(out);
    if (out.size() > limit) out = trimBlanks(out.substr(0, limit));
    return out;
}

// The program sets only UTF-8 texts (a file without a mark that is no UTF-8 is read as code
// page 1251): other bytes become '?'.
std::string utf8Only(std::string s) {
    if (isValidUtf8(s)) return s;
    for (char& c : s)
        if (static_cast<unsigned char>(c) >= 0x80) c = '?';
    return s;
}

// Names the program itself uses: letters and digits.
std::string name(fuzz::Bytes& in) {
    std::string s = in.text(8), out;
    for (char c : s) {
        const char a = static_cast<char>('A' + static_cast<unsigned char>(c) % 26);
        out.push_back((c & 0x40) ? static_cast<char>(a + 32) : a);
    }
    return out.empty() ? "K" : out;
}

long double marginFrom(fuzz::Bytes& in) {
    const std::uint32_t v = in.u32();
    const int kind = in.byte() % 4;
    if (kind == 0) return 0;
    if (kind == 1) return static_cast<std::int32_t>(v) / 100.0L;  // whole hundredths
    double d;
    std::uint64_t bits = std::uint64_t{v} << 32 | in.u32();
    std::memcpy(&d, &bits, sizeof d);
    // The file holds 31 characters of a value: about 1e27 at two decimals.
    if (!std::isfinite(d) || std::fabs(d) >= 1e27) return kind == 2 ? 39.370078 : -12.5;
    return d;
}

void checkMargin(long double set, long double got) {
    const double s = static_cast<double>(set), g = static_cast<double>(got);
    FUZZ_CHECK(std::fabs(s - g) <= 0.005 + std::fabs(s) * 1e-15);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The input: a key and value, every setting, then the text of the settings file.
    fuzz::Bytes in(data, size);
    test::TestRecord tp;
    DocumentRecord& set = *tp;
    const std::string section = name(in), key = name(in);
    const std::string value = storable(in.text(40), 1000);
    set.logFont.height = static_cast<std::int32_t>(in.u32());
    set.logFont.weight = static_cast<std::int32_t>(in.u32());
    set.logFont.italic = in.byte();
    set.logFont.charSet = in.byte();
    set.logFont.setFaceName(utf8Only(storable(in.text(40), 31, true)).c_str());
    set.TopMargin = marginFrom(in);
    set.BottomMargin = marginFrom(in);
    set.LeftMargin = marginFrom(in);
    set.PenWidth = static_cast<std::int32_t>(in.u32());
    set.TopFile = utf8Only(storable(in.text(300), 254));
    set.BottFile = utf8Only(storable(in.text(300), 254));
    const std::uint32_t flags = in.u32();
    std::int32_t* const flagFields[] = {&set.IsTopPicture, &set.IsBotPicture, &set.InAll1,
                                        &set.InAll2,       &set.asBackground, &set.inTextEnd,
                                        &set.IsNumPage,    &set.IsDos,        &set.isWrap};
    for (std::size_t i = 0; i < std::size(flagFields); ++i) *flagFields[i] = (flags >> i) & 1;
    set.Compress1 = static_cast<std::int32_t>(in.u32());
    set.Compress2 = static_cast<std::int32_t>(in.u32());
    set.HeightString = static_cast<std::int32_t>(in.u32());
    set.Zoom = static_cast<std::int32_t>(in.u32());
    set.Orient = static_cast<std::int32_t>(in.u32());
    const std::string text = in.rest();

    // The reader and writer alone.
    {
        const std::string path = fuzz::writeInput("raw.ini", text.data(), text.size());
        IniFile ini;
        FUZZ_CHECK(ini.load(path));
        const std::size_t before = ini.lines().size();
        ini.set(section, key, value);
        FUZZ_CHECK(ini.get(section, key) == value);
        FUZZ_CHECK(ini.save(path));
        IniFile back;
        FUZZ_CHECK(back.load(path));
        // A UTF-16 file that came back as bytes (its text was no UTF-8) may look like UTF-16
        // again when it holds NULs; anything else comes back unchanged.
        bool holdable = ini.encoding().form != IniEncoding::Form::Utf16LE &&
                        ini.encoding().form != IniEncoding::Form::Utf16BE;
        if (!holdable) {
            holdable = true;
            for (const std::string& line : ini.lines())
                holdable = holdable && line.find('\0') == std::string::npos;
        }
        // A file without a mark is read as UTF-8 when it is UTF-8 and as code page 1251 when
        // it is not (as Windows writes it): bytes set into it that are no UTF-8 (the program
        // itself only sets UTF-8) come back as the code page reads them. Such bytes cannot be
        // written as UTF-16 at all: a UTF-16 file then comes back as bytes.
        if (ini.encoding().form != IniEncoding::Form::Utf8Bom && !isValidUtf8(value))
            holdable = false;
        if (holdable) {
            FUZZ_CHECK(back.lines() == ini.lines());
            FUZZ_CHECK(back.get(section, key) == value);
        }
        // One line replaced, or a key, or a blank, a header and a key added.
        FUZZ_CHECK(back.lines().size() >= before && back.lines().size() <= before + 3);
    }

    // The profile over the same text.
    const std::string path = fuzz::writeInput("profile.ini", text.data(), text.size());
    FUZZ_CHECK(set.saveProfile(path.c_str()) == 1);
    FUZZ_CHECK(tp.messages.shown.empty());
    test::TestRecord fresh;
    DocumentRecord& got = *fresh;
    got.loadProfile(path);
    FUZZ_CHECK(got.iniPath == path);
    FUZZ_CHECK(got.logFont.height ==
               std::clamp(set.logFont.height, -kFontSizeLimit, kFontSizeLimit));
    FUZZ_CHECK(got.logFont.weight == set.logFont.weight);
    FUZZ_CHECK(got.logFont.italic == set.logFont.italic);
    FUZZ_CHECK(got.logFont.charSet == set.logFont.charSet);
    FUZZ_CHECK(std::strcmp(got.logFont.faceName, set.logFont.faceName) == 0);
    checkMargin(set.TopMargin, got.TopMargin);
    checkMargin(set.BottomMargin, got.BottomMargin);
    checkMargin(set.LeftMargin, got.LeftMargin);
    FUZZ_CHECK(got.PenWidth == set.PenWidth);
    FUZZ_CHECK(got.TopFile == set.TopFile);
    FUZZ_CHECK(got.BottFile == set.BottFile);
    const std::int32_t* const gotFlags[] = {&got.IsTopPicture, &got.IsBotPicture, &got.InAll1,
                                            &got.InAll2,       &got.asBackground, &got.inTextEnd,
                                            &got.IsNumPage,    &got.IsDos,        &got.isWrap};
    for (std::size_t i = 0; i < std::size(gotFlags); ++i)
        FUZZ_CHECK(*gotFlags[i] == *flagFields[i]);
    FUZZ_CHECK(got.Compress1 == set.Compress1);
    FUZZ_CHECK(got.Compress2 == set.Compress2);
    FUZZ_CHECK(got.HeightString == set.HeightString);
    FUZZ_CHECK(got.Zoom == set.Zoom);
    FUZZ_CHECK(got.Orient == set.Orient);
    return 0;
}
