// Reading, editing and atomically rewriting INI files.
#include "ini_file.h"

#include "file_replace.h"
#include "ini_encoding.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace folvek {

namespace {

constexpr std::size_t npos = std::string::npos;

std::string trim(const std::string& s, std::size_t from = 0, std::size_t to = npos) {
    if (to == npos || to > s.size()) to = s.size();
    while (from < to && (s[from] == ' ' || s[from] == '\t')) ++from;
    while (to > from && (s[to - 1] == ' ' || s[to - 1] == '\t')) --to;
    return s.substr(from, to - from);
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y) return false;
    }
    return true;
}

// "[name]" -> name; lines that are not section headers give nullopt.
std::optional<std::string> headerName(const std::string& line) {
    std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    std::size_t close = t.find(']');
    if (close == npos) return std::nullopt;
    return trim(t, 1, close);
}

}  // namespace

bool IniFile::load(const std::string& path) {
    lines_.clear();
    encoding_ = IniEncoding{};
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string data = decodeIniText(raw, encoding_);
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t nl = data.find('\n', start);
        std::size_t end = nl == npos ? data.size() : nl;
        std::string line = data.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(std::move(line));
        start = end + 1;
    }
    return true;
}

std::size_t IniFile::findSection(const std::string& section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        auto name = headerName(lines_[i]);
        if (name && sameName(*name, section)) return i;
    }
    return npos;
}

std::size_t IniFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && !headerName(lines_[i])) ++i;
    return i;
}

std::size_t IniFile::findKey(std::size_t header, const std::string& key) const {
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const std::string& line = lines_[i];
        std::size_t eq = line.find('=');
        if (eq == npos) continue;
        std::string name = trim(line, 0, eq);
        if (!name.empty() && name[0] == ';') continue;  // a comment
        if (sameName(name, trim(key))) return i;
    }
    return npos;
}

std::optional<std::string> IniFile::get(const std::string& section, const std::string& key) const {
    std::size_t header = findSection(section);
    if (header == npos) return std::nullopt;
    std::size_t line = findKey(header, key);
    if (line == npos) return std::nullopt;
    const std::string& text = lines_[line];
    return trim(text, text.find('=') + 1);
}

std::string IniFile::get(const std::string& section, const std::string& key,
                         const std::string& fallback) const {
    auto v = get(section, key);
    return v ? *v : fallback;
}

void IniFile::set(const std::string& section, const std::string& key, const std::string& value) {
    std::string entry = key + "=" + value;
    std::size_t header = findSection(section);
    if (header == npos) {
        if (!lines_.empty() && !trim(lines_.back()).empty()) lines_.emplace_back();
        lines_.push_back("[" + section + "]");
        lines_.push_back(std::move(entry));
        return;
    }
    std::size_t line = findKey(header, key);
    if (line != npos) {
        lines_[line] = std::move(entry);
        return;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    std::size_t at = sectionEnd(header);
    while (at > header + 1 && trim(lines_[at - 1]).empty()) --at;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
}

SaveResult IniFile::save(const std::string& path) const {
    std::string text;
    IniEncoding form = encoding_;
    for (const std::string& line : lines_) {
        text += line;
        text += '\n';
        // A line that ends in CR would lose it to the next reading of an LF file.
        if (!line.empty() && line.back() == '\r') form.crlf = true;
    }
    return saveFile(path, encodeIniText(text, form));
}

}  // namespace folvek
