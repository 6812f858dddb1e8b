// Reading a CUPS job's options for folvektopdf.
#include "cups_job.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace folvek {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool parseNumber(const std::string& s, double* out) {
    if (s.empty()) return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
    return ec == std::errc() && end == s.data() + s.size();
}

bool isTrue(const std::string& v) {
    const std::string l = lower(v);
    return l == "true" || l == "yes" || l == "on" || l.empty();
}

// "iso_b4_250x353mm", "B0", "tabloid": a size the layout does not offer, not a tray or a type.
bool namesASize(const std::string& media) {
    std::size_t start = 0;
    while (start <= media.size()) {
        std::size_t comma = media.find(',', start);
        if (comma == std::string::npos) comma = media.size();
        const std::string t = lower(media.substr(start, comma - start));
        start = comma + 1;
        if (t.find('_') != std::string::npos && t.find('x') != std::string::npos) return true;
        if (t.size() >= 2 && t.size() <= 3 && (t[0] >= 'a' && t[0] <= 'c') &&
            std::all_of(t.begin() + 1, t.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return true;
        if (t == "tabloid" || t == "ledger" || t == "executive" || t == "statement") return true;
    }
    return false;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> parseCupsOptions(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> out;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto blank = [&](std::size_t k) { return std::isspace(static_cast<unsigned char>(text[k])); };
    while (i < n) {
        while (i < n && blank(i)) ++i;
        if (i >= n) break;
        std::string name;
        while (i < n && !blank(i) && text[i] != '=') name += text[i++];
        if (i < n && text[i] == '=') {
            ++i;
            std::string value;
            while (i < n && !blank(i)) {
                const char c = text[i];
                if (c == '\'' || c == '"') {
                    ++i;
                    while (i < n && text[i] != c) {
                        if (text[i] == '\\' && i + 1 < n) ++i;
                        value += text[i++];
                    }
                    if (i < n) ++i;  // the closing quote
                } else {
                    if (c == '\\' && i + 1 < n) ++i;
                    value += text[i++];
                }
            }
            out.emplace_back(name, value);
        } else if (name.size() > 2 && lower(name.substr(0, 2)) == "no") {
            out.emplace_back(name.substr(2), "false");
        } else if (!name.empty()) {
            out.emplace_back(name, "true");
        }
    }
    return out;
}

bool isPlainSettingsName(const std::string& name) {
    if (name.empty() || name.size() > 254) return false;
    if (name.find('/') != std::string::npos || name.find("..") != std::string::npos) return false;
    if (name[0] == '.') return false;  // hidden files are nobody's settings
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string paperFromMedia(const std::string& media) {
    static const struct {
        const char* name;
        const char* paper;
    } sizes[] = {{"a4", "A4"},         {"iso_a4_210x297mm", "A4"},
                 {"a3", "A3"},         {"iso_a3_297x420mm", "A3"},
                 {"a5", "A5"},         {"iso_a5_148x210mm", "A5"},
                 {"letter", "Letter"}, {"na_letter_8.5x11in", "Letter"},
                 {"legal", "Legal"},   {"na_legal_8.5x14in", "Legal"}};
    std::size_t start = 0;
    while (start <= media.size()) {
        std::size_t comma = media.find(',', start);
        if (comma == std::string::npos) comma = media.size();
        const std::string token = lower(media.substr(start, comma - start));
        for (const auto& s : sizes)
            if (token == s.name) return s.paper;
        start = comma + 1;
    }
    return {};
}

bool isPageRangeList(const std::string& text) {
    if (text.empty()) return false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        const std::string part = text.substr(start, comma - start);
        const std::size_t dash = part.find('-');
        auto number = [](const std::string& s) {
            return !s.empty() && s.size() < 10 &&
                   std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
        };
        if (dash == std::string::npos) {
            if (!number(part)) return false;
        } else {
            const std::string a = part.substr(0, dash), b = part.substr(dash + 1);
            if ((a.empty() && b.empty()) || (!a.empty() && !number(a)) ||
                (!b.empty() && !number(b)))
                return false;
        }
        start = comma + 1;
    }
    return true;
}

std::string escapeControls(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c != 0x7F) {
            out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string quotedValue(const std::string& value) {
    std::string out = "\"";
    for (const char c : escapeControls(value)) {
        if (c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string paperFromPpd(const std::string& ppd) {
    std::size_t at = 0;
    while ((at = ppd.find("*DefaultPageSize:", at)) != std::string::npos) {
        if (at == 0 || ppd[at - 1] == '\n' || ppd[at - 1] == '\r') {
            std::size_t i = at + 17;
            while (i < ppd.size() && (ppd[i] == ' ' || ppd[i] == '\t')) ++i;
            std::size_t end = i;
            while (end < ppd.size() && !std::isspace(static_cast<unsigned char>(ppd[end]))) ++end;
            std::string name = ppd.substr(i, end - i);
            // "Letter.Fullbleed", "A4.Transverse": the size is the name before the dot.
            const auto dot = name.find('.');
            if (dot != std::string::npos) name.resize(dot);
            return paperFromMedia(name);
        }
        at += 17;
    }
    return {};
}

JobOptions readJobOptions(const std::vector<std::pair<std::string, std::string>>& options) {
    JobOptions r;
    FilterJob& job = r.job;
    int requested = -1;  // orientation-requested wins over the landscape shorthand
    bool landscape = false;
    auto number = [&](const std::string& name, const std::string& value, double lo, double hi,
                      double* out) {
        double v = 0;
        if (!parseNumber(value, &v) || !(v >= lo && v <= hi)) {
            r.warnings.push_back(escapeControls(name) + "=" + quotedValue(value) +
                                 " is not a number from " + std::to_string(static_cast<int>(lo)) +
                                 " to " + std::to_string(static_cast<int>(hi)) + "; ignored");
            return;
        }
        *out = v;
    };
    static const char* const kMargins[4] = {"page-left", "page-right", "page-top", "page-bottom"};
    for (const auto& [rawName, value] : options) {
        const std::string name = lower(rawName);
        if (name == "folvek-ini") {
            if (!isPlainSettingsName(value)) {
                r.error = "folvek-ini=" + quotedValue(value) +
                          " is refused: give the name of a settings file in the system "
                          "settings directory, without '/' or '..'";
                return r;
            }
            job.settingsName = value;
        } else if (name == "landscape") {
            landscape = isTrue(value);
        } else if (name == "orientation-requested") {
            if (value == "3" || value == "6") {
                requested = 0;
            } else if (value == "4" || value == "5") {
                requested = 1;
            } else {
                r.warnings.push_back("orientation-requested=" + quotedValue(value) +
                                     " is unknown; ignored");
            }
        } else if (name == "media" || name == "pagesize" || name == "media-size-name") {
            const std::string paper = paperFromMedia(value);
            if (!paper.empty()) {
                job.paper = paper;
            } else if (name != "media") {
                r.warnings.push_back(escapeControls(rawName) + "=" + quotedValue(value) +
                                     " is not a paper size we lay out on");
            } else if (namesASize(value)) {
                // A list may name only a tray or a media type; an unknown size is worth telling
                // the administrator about.
                r.warnings.push_back("media=" + quotedValue(value) +
                                     " names no paper size we lay out on (A4, A3, A5, Letter, "
                                     "Legal); A4 is used");
            }
        } else if (name == "cpi") {
            number(rawName, value, 1, 100, &job.cpi);
        } else if (name == "lpi") {
            number(rawName, value, 1, 100, &job.lpi);
        } else if (name == "folvek-encoding") {
            const std::string v = lower(value);
            if (v == "auto") {
                job.encoding = JobEncoding::Auto;
            } else if (v == "866" || v == "cp866" || v == "ibm866" || v == "dos") {
                job.encoding = JobEncoding::Dos;
            } else if (v == "1251" || v == "cp1251" || v == "windows-1251" || v == "windows") {
                job.encoding = JobEncoding::Windows;
            } else {
                r.warnings.push_back("folvek-encoding=" + quotedValue(value) +
                                     " is unknown (866, 1251 or auto); the encoding is detected");
            }
        } else if (name == "folvek-fit") {
            job.fit = isTrue(value) ? 1 : 0;
        } else if (name == "folvek-layout") {
            if (!layoutModeFromName(lower(value), job.layout))
                r.warnings.push_back("folvek-layout=" + value +
                                     " is unknown (job, report or auto); the file decides");
        } else if (name == "folvek-force") {
            job.force = isTrue(value);
        } else if (name == "page-ranges") {
            if (isPageRangeList(value))
                job.pageRanges = value;
            else
                r.warnings.push_back("page-ranges=" + quotedValue(value) +
                                     " is not a list of pages");
        } else if (name.rfind("folvek-", 0) == 0) {
            r.warnings.push_back("unknown option " + quotedValue(rawName) + "; ignored");
        } else {
            for (int m = 0; m < 4; ++m)
                if (name == kMargins[m]) number(rawName, value, 0, 1440, &job.marginPt[m]);
        }
    }
    if (requested >= 0)
        job.orientation = requested;
    else if (landscape)
        job.orientation = 1;
    return r;
}

}  // namespace folvek
