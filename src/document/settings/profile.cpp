// The print settings in section [Folvk] of a settings file: reading every key with its
// default, and writing them back in one replacement of the file.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

#include "decimal.h"
#include "document_record.h"
#include "file_lock.h"
#include "ini_file.h"
#include "messages.h"
#include "string_table.h"
#include "utf8_cut.h"

namespace folvek {

namespace {

const char kSection[] = "Folvk";

// Values longer than their field are cut to it; most fields hold 31 characters.
constexpr std::size_t kShortValue = 31;
constexpr std::size_t kPathValue = 254;
constexpr std::size_t kEditFontValue = 50;

class ProfileReader {
  public:
    explicit ProfileReader(const IniFile& ini) : ini_(ini) {}

    std::string text(const char* key, const char* fallback, std::size_t limit = kShortValue) const {
        return cutAtCharacter(ini_.get(kSection, key, fallback), limit);
    }
    // Optional blanks and sign, then digits; reading stops at anything else; no digits give 0.
    std::int32_t number(const char* key, std::int32_t fallback) const {
        auto v = ini_.get(kSection, key);
        if (!v) return fallback;
        return leadingDecimal(std::string_view(*v).substr(0, kShortValue));
    }
    std::uint8_t byte(const char* key, std::uint8_t fallback) const {
        return static_cast<std::uint8_t>(number(key, fallback));
    }
    // A real number in C notation whatever the process's locale; what does not parse is 0.
    long double real(const char* key) const {
        auto v = ini_.get(kSection, key);
        if (!v) return 0;
        std::string s = v->substr(0, kShortValue);
        const char* p = s.c_str();
        const char* end = p + s.size();
        while (p < end && (*p == ' ' || *p == '\t')) ++p;
        if (p < end && *p == '+') ++p;
        double d = 0;
        if (std::from_chars(p, end, d).ec != std::errc()) return 0;
        // Margins feed integer page arithmetic; infinities and NaN would make it undefined.
        return std::isfinite(d) ? d : 0;
    }
    bool yes(const char* key, bool fallback) const {
        return text(key, fallback ? "YES" : "NO") == "YES";
    }
    bool notNo(const char* key, bool fallback) const {
        return text(key, fallback ? "YES" : "NO") != "NO";
    }

  private:
    const IniFile& ini_;
};

std::string margin(long double value) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value),
                           std::chars_format::fixed, 2);
    std::string s(buf, r.ec == std::errc() ? r.ptr : buf);
    if (s.empty()) s = "0.00";
    if (s.size() < 4) s.insert(0, 4 - s.size(), ' ');
    return s;
}

const char* flag(std::int32_t on) {
    return on ? "YES" : "NO";
}

// The callers go on with the settings in memory; the user learns that the file kept its old
// content (a read-only or missing directory, a full disk).
void reportUnwritable(const RecordContext& context, const std::string& path,
                      const std::string& reason = "") {
    if (context.messages)
        context.messages->show(
            loadString(StrCannotOpenOutput) + "\n" + path + (reason.empty() ? "" : "\n" + reason),
            "!!!", MsgIcon::Error);
}

}  // namespace

void DocumentRecord::loadProfile(const std::string& fileName) {
    iniPath = fileName.find('/') == std::string::npos ? context.programDir + fileName : fileName;
    IniFile ini;
    ini.load(iniPath);  // a missing file gives every default
    topSource = botSource = PictureSource{};
    const ProfileReader r(ini);

    // Like the margins, a hand-edited size is bounded.
    logFont.height = std::clamp(r.number("FontSize", -13), -kFontSizeLimit, kFontSizeLimit);
    logFont.weight = r.number("FontWeight", 400);
    logFont.italic = r.byte("FontItalic", 0);
    logFont.charSet = r.byte("FontCharSet", 1);
    logFont.pitchAndFamily = r.byte("PITCH", 0);
    logFont.setFaceName(r.text("FontName", "Courier New").c_str());
    logFont.width = 0;
    logFont.escapement = 0;
    logFont.orientation = 0;
    logFont.underline = 0;
    logFont.strikeOut = 0;
    logFont.outPrecision = 0;
    logFont.clipPrecision = 7;
    logFont.quality = 2;
    EditFontName = r.text("EditFontName", "fixedsys", kEditFontValue);

    TopMargin = r.real("TopMargin");
    BottomMargin = r.real("BottomMargin");
    LeftMargin = r.real("LeftMargin");
    PenWidth = r.number("PenWidth", 0);
    TopFile = r.text("TopFile", "", kPathValue);
    BottFile = r.text("BottFile", "", kPathValue);
    IsTopPicture = r.yes("IsTopPicture", false);
    IsBotPicture = r.yes("IsBotPicture", false);
    Compress1 = r.number("Compress1", 100);
    Compress2 = r.number("Compress2", 100);
    InAll1 = r.yes("InAll1", false);
    InAll2 = r.yes("InAll2", false);
    asBackground = r.yes("asBackground", false);
    inTextEnd = r.yes("inTextEnd", false);
    IsNumPage = r.yes("IsNumPage", true);
    IsDos = r.yes("IsDos", false);
    isWrap = r.notNo("isWrap", false);
    HeightString = r.number("HeightString", 100);
    Zoom = r.number("Zoom", 3);
    Orient = r.number("Orient", 0);
    Encoding = encodingChoiceFromSetting(r.text("Encoding", "auto"));
    // A new settings file is a new choice: what the command line fixed and what the last load
    // derived from the text no longer hold.
    encodingOverride.reset();
    isDosByLoad.reset();
}

int DocumentRecord::saveProfile(const char* fileName) {
    if (fileName) iniPath = fileName;
    // Keys and sections another instance wrote since this one read the file stay: the file is
    // read again and changed under the lock.
    const FileLock lock(iniPath);
    IniFile ini;
    // A file that exists but cannot be read would lose its other keys if rewritten.
    if (!ini.load(iniPath) && ::access(iniPath.c_str(), F_OK) == 0) {
        reportUnwritable(context, iniPath);
        return 0;
    }

    const auto num = [](std::int64_t v) { return std::to_string(v); };
    ini.set(kSection, "FontSize", num(logFont.height));
    ini.set(kSection, "FontWeight", num(logFont.weight));
    ini.set(kSection, "FontItalic", num(logFont.italic));
    ini.set(kSection, "FontCharSet", num(logFont.charSet));
    ini.set(kSection, "FontName", logFont.faceName);
    ini.set(kSection, "TopMargin", margin(TopMargin));
    ini.set(kSection, "BottomMargin", margin(BottomMargin));
    ini.set(kSection, "LeftMargin", margin(LeftMargin));
    ini.set(kSection, "PenWidth", num(PenWidth));
    ini.set(kSection, "TopFile", TopFile);
    ini.set(kSection, "BottFile", BottFile);
    ini.set(kSection, "IsTopPicture", flag(IsTopPicture));
    ini.set(kSection, "IsBotPicture", flag(IsBotPicture));
    ini.set(kSection, "IsNumPage", flag(IsNumPage));
    ini.set(kSection, "IsDos", flag(userIsDos()));
    ini.set(kSection, "Encoding", encodingChoiceSetting(Encoding));
    ini.set(kSection, "Compress1", num(Compress1));
    ini.set(kSection, "Compress2", num(Compress2));
    ini.set(kSection, "HeightString", num(HeightString));
    ini.set(kSection, "Zoom", num(Zoom));
    ini.set(kSection, "InAll1", flag(InAll1));
    ini.set(kSection, "InAll2", flag(InAll2));
    ini.set(kSection, "asBackground", flag(asBackground));
    ini.set(kSection, "inTextEnd", flag(inTextEnd));
    ini.set(kSection, "isWrap", flag(isWrap));
    ini.set(kSection, "Orient", num(Orient));
    const SaveResult saved = ini.save(iniPath);
    if (saved) return 1;
    // A refusal (a read-only file, a link to another user's file) says why; a failed write
    // keeps the message it always had.
    const bool refused = saved.status == SaveStatus::ReadOnly ||
                         saved.status == SaveStatus::ForeignLink ||
                         saved.status == SaveStatus::NotRegular;
    reportUnwritable(context, iniPath, refused ? saveFailureReason(saved) : "");
    return 0;
}

}  // namespace folvek
