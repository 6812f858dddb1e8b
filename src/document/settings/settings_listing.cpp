// Listing *.ini files by their bytes.
#include "settings_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

namespace folvek {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(lower(a[i]));
        const auto y = static_cast<unsigned char>(lower(b[i]));
        if (x != y) return x < y;
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace

bool startsWithIgnoringCase(const std::string& name, const std::string& prefix) {
    if (prefix.size() > name.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lower(name[i]) != lower(prefix[i])) return false;
    return true;
}

std::vector<std::string> listSettingsFiles(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return names;
    const std::string base = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() < 5 || name[0] == '.') continue;
        std::string tail = name.substr(name.size() - 4);
        for (char& c : tail) c = lower(c);
        if (tail != ".ini") continue;
        struct stat st {};
        if (::stat((base + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    return names;
}

}  // namespace folvek
